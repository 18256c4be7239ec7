#include "app/desktop/parameter_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolTip>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/desktop/desktop_program.h"
#include "app/desktop/engine_settings_window.h"
#include "app/desktop/gui_bridge.h"
#include "app/desktop/main_window.h"
#include "app/desktop/qt_platform.h"
#include "app/desktop/qt_text.h"
#include "app/desktop/whole_number_input.h"
#include "services/files.h"
#include "settings/block_settings.h"
#include "settings/engine_settings.h"
#include "settings/settings.h"
#include "settings/settings_snapshot.h"
#include "tests/app/event_pump.h"
#include "tests/support/gbk.h"
#include "tests/support/scripted_platform.h"

namespace oc {
namespace {
using testing::G;
using testing::ScriptedPlatform;

constexpr const char* kSegmentBox = "编辑框_段落数";
constexpr const char* kMinRunBox = "编辑框_飘红检测数";
constexpr const char* kLastSegmentBox = "编辑框_最后段字数";

class ParameterWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        path_ = dir_.path().toStdString() + "/" + G("配置.ini");
    }

    // The settings file as a user might have left it (GBK bytes).
    void writeSettings(const std::string& utf8Body) {
        std::ofstream out(nativePath(path_), std::ios::binary);
        out << G(utf8Body);
    }

    std::string fileBytes() const {
        std::ifstream in(nativePath(path_), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    QTemporaryDir dir_;
    Text path_;
    ScriptedPlatform platform_;
};

TEST(WholeNumber, Normalisation) {
    const std::pair<const char*, const char*> cases[] = {
        {"040", "40"},
        {"40abc", "40"},
        {"  17", "17"},
        {"\t-5x", "-5"},
        {"+8", "8"},
        {"0", ""},
        {"-0", ""},
        {"", ""},
        {"abc", ""},
        {"-", ""},
        {"99999999999", "2147483647"},
        {"-99999999999", "-2147483648"},
        {"99999999999999999999999", "2147483647"},
        {"2147483647", "2147483647"},
        {"３８", ""},  // full-width digits are not digits here
        {"12 34", "12"},
    };
    for (auto [in, out] : cases) {
        EXPECT_EQ(normaliseWholeNumber(QString::fromUtf8(in)), QString::fromUtf8(out)) << in;
    }
}

TEST_F(ParameterWindowTest, WindowLooksAsDesigned) {
    platform_.setScreenSize(1025, 769);
    ParameterWindow window(platform_, path_);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("参数设置"));
    EXPECT_EQ(window.pos(), QPoint((1025 - 461) / 2, (769 - 394) / 2));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());  // fixed frame
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMinMaxButtonsHint);
    auto* save = window.findChild<QPushButton*>(QStringLiteral("按钮_保存参数"));
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->text(), QStringLiteral("保存"));
    EXPECT_EQ(save->geometry(), QRect(288, 320, 80, 32));
    // Wide enough for what may be typed.
    for (const char* name :
         {kSegmentBox, kMinRunBox, kLastSegmentBox, "编辑框_查询间隔", "编辑框_页面超时"}) {
        WholeNumberEdit* box = window.box(name);
        box->setText(QStringLiteral("120"));
        EXPECT_GE(box->width(), box->fontMetrics().horizontalAdvance(box->text()) + 12) << name;
    }
    auto* hint = window.findChild<QLabel*>(QStringLiteral("标签4"));
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->text(),
              QStringLiteral("至少多少个汉字连续出现，才算飘红，此值越小，原创精确度越高"));
    EXPECT_TRUE(hint->wordWrap());
    // The query interval keeps its row; the save button is under the own sites.
    WholeNumberEdit* interval = window.box("编辑框_查询间隔");
    ASSERT_NE(interval, nullptr);
    EXPECT_EQ(interval->geometry(), QRect(136, 168, 40, 32));
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("标签7"))->text(),
              QStringLiteral("查询间隔设置"));
    // The page deadline beside it.
    WholeNumberEdit* pageTimeout = window.box("编辑框_页面超时");
    ASSERT_NE(pageTimeout, nullptr);
    EXPECT_EQ(pageTimeout->y(), interval->y());
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("标签10"))->text(),
              QStringLiteral("页面超时"));
    const QList<QWidget*> all = window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* a : all) {
        EXPECT_TRUE(window.rect().contains(a->geometry())) << a->objectName().toStdString();
        for (QWidget* b : all) {
            EXPECT_TRUE(a == b || !a->geometry().intersects(b->geometry()))
                << a->objectName().toStdString() << " " << b->objectName().toStdString();
        }
    }
    // No caption is cut, and the hint tells the real limit of a segment.
    for (QLabel* label : window.findChildren<QLabel*>()) {
        if (!label->wordWrap() && !label->text().isEmpty()) {
            EXPECT_GE(label->contentsRect().width(),
                      label->fontMetrics().horizontalAdvance(label->text()))
                << label->text().toStdString();
        }
    }
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("标签2"))->text(),
              QStringLiteral("百度的查询限制在38个汉字以内"));
    // 缓存天数 in the row of the save button.
    EXPECT_EQ(window.box("编辑框_缓存天数")->y(), 320);
    EXPECT_EQ(window.findChildren<QLabel*>().size(), 19);
}

// The values in force: the file's as written, the default of a key it lacks
// marked "（默认）"; a save writes the defaults shown.
TEST_F(ParameterWindowTest, ShowsTheValuesInForceWithDefaultsMarked) {
    auto marked = [](ParameterWindow& window, const char* box) {
        return window.findChild<QLabel*>(QString::fromUtf8(box) + QStringLiteral("_默认"))
            ->isVisibleTo(&window);
    };
    {
        ParameterWindow window(platform_, path_);  // no file yet
        EXPECT_EQ(window.box(kSegmentBox)->text(), "38");
        EXPECT_EQ(window.box(kMinRunBox)->text(), "30");
        EXPECT_EQ(window.box(kLastSegmentBox)->text(), "5");
        EXPECT_TRUE(marked(window, kSegmentBox));
        EXPECT_TRUE(marked(window, kLastSegmentBox));
    }
    writeSettings("[原创检测配置]\r\n段落字数=036abc\r\n飘红检测数=\r\n");
    ParameterWindow window(platform_, path_);
    EXPECT_EQ(window.box(kSegmentBox)->text(), "036abc");
    EXPECT_EQ(window.box(kMinRunBox)->text(), "");  // present, though empty
    EXPECT_EQ(window.box(kLastSegmentBox)->text(), "5");
    EXPECT_FALSE(marked(window, kSegmentBox));
    EXPECT_FALSE(marked(window, kMinRunBox));
    EXPECT_TRUE(marked(window, kLastSegmentBox));
    window.box(kMinRunBox)->setText(QStringLiteral("20"));
    window.saveParameters();
    const ParameterTexts saved = loadParameterTexts(path_);
    EXPECT_EQ(saved.segmentChars, "036abc");
    EXPECT_EQ(saved.lastSegmentChars, "5");
    EXPECT_EQ(saved.intervalSeconds, "0");
}

// Every value out of its range is refused with a message: the window stays
// open with the edits and the file is not touched.
TEST_F(ParameterWindowTest, ValuesOutOfRangeAreRefusedAndNothingIsSaved) {
    const std::string body =
        "[原创检测配置]\r\n段落字数=30\r\n飘红检测数=20\r\n最后段字数=5\r\n查询间隔=3\r\n";
    writeSettings(body);
    struct Case {
        const char* segment;
        const char* minRun;
        const char* last;
        const char* interval;
        const char* says;
    };
    const Case cases[] = {
        {"", "20", "5", "3", "请填写分段文本字数"},
        {"11", "11", "5", "3", "分段文本字数应在 12～38"},
        {"39", "20", "5", "3", "分段文本字数应在 12～38"},
        {"30", "", "5", "3", "请填写飘红计数字数"},
        {"30", "11", "5", "3", "飘红计数字数应在 12～30"},
        {"30", "999999999", "5", "3", "飘红计数字数应在 12～30"},
        {"30", "20", "31", "3", "最后一段字数应在 0～30"},
        {"30", "20", "-1", "3", "最后一段字数应在 0～30"},
        {"30", "20", "5", "121", "查询间隔应在 0～120"},
        {"30", "20", "5", "-1", "查询间隔应在 0～120"},
    };
    ParameterWindow window(platform_, path_);
    std::size_t messages = 0;
    for (const Case& c : cases) {
        window.box(kSegmentBox)->setText(QString::fromUtf8(c.segment));
        window.box(kMinRunBox)->setText(QString::fromUtf8(c.minRun));
        window.box(kLastSegmentBox)->setText(QString::fromUtf8(c.last));
        window.box("编辑框_查询间隔")->setText(QString::fromUtf8(c.interval));
        window.saveParameters();
        const std::vector<testing::ShownMessage> shown = platform_.messages();
        ASSERT_EQ(shown.size(), ++messages) << c.says;
        EXPECT_NE(testing::U(shown.back().message).find(c.says), std::string::npos)
            << testing::U(shown.back().message);
        EXPECT_TRUE(platform_.closedWindows().empty()) << c.says;
        EXPECT_EQ(window.box(kMinRunBox)->text(), QString::fromUtf8(c.minRun));
        EXPECT_EQ(testing::U(fileBytes()), body) << c.says;
    }
    // The page deadline: 1 to 600 seconds.
    window.box("编辑框_查询间隔")->setText(QStringLiteral("3"));
    window.box("编辑框_页面超时")->setText(QStringLiteral("601"));
    window.saveParameters();
    ASSERT_EQ(platform_.messages().size(), ++messages);
    EXPECT_NE(testing::U(platform_.messages().back().message).find("页面超时应在 1～600"),
              std::string::npos);
    EXPECT_EQ(testing::U(fileBytes()), body);
    window.box("编辑框_页面超时")->setText(QStringLiteral("120"));
    // The edges of the ranges, and empty boxes meaning 0, are saved.
    window.box(kSegmentBox)->setText(QStringLiteral("12"));
    window.box(kMinRunBox)->setText(QStringLiteral("12"));
    window.box(kLastSegmentBox)->setText(QString());
    window.box("编辑框_查询间隔")->setText(QStringLiteral("120"));
    window.saveParameters();
    EXPECT_EQ(platform_.messages().size(), messages);
    EXPECT_EQ(platform_.closedWindows().size(), 1u);
    EXPECT_EQ(loadParameterTexts(path_).minRunChars, "12");
}

// "搜索引擎…" opens the engines' section as the file holds it (an empty box
// shows the built-in value greyed); an address that is no base URL is refused
// with the window left open; usable values reach the next check.
TEST_F(ParameterWindowTest, TheEngineWindowShowsAndSavesTheAddressesAndTheUserAgent) {
    const std::string body = "[搜索引擎]\r\n百度=http://127.0.0.1:9/\r\n";
    writeSettings(body);
    ParameterWindow window(platform_, path_);
    window.show();
    auto* button = window.findChild<QPushButton*>(QStringLiteral("按钮_搜索引擎设置"));
    ASSERT_NE(button, nullptr);
    button->click();
    auto* engines = window.findChild<EngineSettingsWindow*>();
    ASSERT_NE(engines, nullptr);
    EXPECT_TRUE(engines->isVisible());
    EXPECT_EQ(engines->baiduBox()->text(), QStringLiteral("http://127.0.0.1:9/"));
    EXPECT_TRUE(engines->box360()->text().isEmpty());
    EXPECT_EQ(engines->box360()->placeholderText(), QStringLiteral("http://www.so.com"));

    engines->box360()->setText(QStringLiteral("so.example"));
    engines->saveEngines();
    ASSERT_EQ(platform_.messages().size(), 1u);
    EXPECT_NE(testing::U(platform_.messages()[0].message).find("360地址无效：“so.example”"),
              std::string::npos);
    EXPECT_TRUE(engines->isVisible());
    EXPECT_EQ(testing::U(fileBytes()), body);

    engines->box360()->setText(QStringLiteral("https://so.example:8443"));
    engines->blockWaitBox()->setText(QStringLiteral("61"));
    engines->saveEngines();
    ASSERT_EQ(platform_.messages().size(), 2u);
    EXPECT_NE(testing::U(platform_.messages()[1].message).find("屏蔽等待应在 1～60 分钟"),
              std::string::npos);
    EXPECT_EQ(testing::U(fileBytes()), body);

    engines->blockWaitBox()->setText(QStringLiteral("3"));
    engines->onBlockBox()->setCurrentText(QStringLiteral("自动等待"));
    engines->userAgentBox()->setText(QStringLiteral("编辑部 Agent/2"));
    engines->saveEngines();
    EXPECT_EQ(platform_.messages().size(), 2u);
    EXPECT_FALSE(engines->isVisible());
    EXPECT_TRUE(window.isVisible());  // the parameter window stays open
    const SettingsSnapshot next = loadSettingsSnapshot(path_, {});
    EXPECT_EQ(next.endpoints.baidu, "http://127.0.0.1:9");
    EXPECT_EQ(next.endpoints.engine360, "https://so.example:8443");
    EXPECT_EQ(testing::U(next.userAgent), "编辑部 Agent/2");
    const BlockSettings block = loadBlockSettings(path_);
    EXPECT_EQ(block.onBlock, OnBlock::Wait);
    EXPECT_EQ(block.waitMinutes, 3);
    // Opened again, it shows what was saved.
    EngineSettingsWindow again(platform_, path_);
    EXPECT_EQ(again.onBlockBox()->currentText(), QStringLiteral("自动等待"));
    EXPECT_EQ(again.blockWaitBox()->text(), QStringLiteral("3"));
    EXPECT_EQ(again.box360()->text(), QStringLiteral("https://so.example:8443"));
}

// 忽略网站 shows the value in force and is saved with the numbers in one save:
// a list of several lines becomes one line; an entry that names no site is
// refused like a number out of range, and nothing is saved.
TEST_F(ParameterWindowTest, OwnSitesAreShownAndSavedWithTheNumbers) {
    const std::string body =
        "[原创检测配置]\r\n段落字数=30\r\n飘红检测数=20\r\n忽略网站=a.cn，b.cn\r\n";
    writeSettings(body);
    ParameterWindow window(platform_, path_);
    QPlainTextEdit* sites = window.ignoredSitesBox();
    ASSERT_NE(sites, nullptr);
    EXPECT_EQ(sites->toPlainText(), QStringLiteral("a.cn，b.cn"));

    sites->setPlainText(QStringLiteral("my.cn\nhttps:// 坏!站.cn\n"));
    window.saveParameters();
    ASSERT_EQ(platform_.messages().size(), 1u);
    const std::string message = testing::U(platform_.messages()[0].message);
    EXPECT_NE(message.find("“https://”、“坏!站.cn”"), std::string::npos) << message;
    EXPECT_NE(message.find("参数没有保存"), std::string::npos) << message;
    EXPECT_EQ(testing::U(fileBytes()), body);
    EXPECT_TRUE(platform_.closedWindows().empty());

    sites->setPlainText(QStringLiteral("my.cn\r\n*.blog.my.cn\n"));
    window.box(kSegmentBox)->setText(QStringLiteral("32"));
    window.saveParameters();
    EXPECT_EQ(platform_.closedWindows().size(), 1u);
    const ParameterTexts saved = loadParameterTexts(path_);
    EXPECT_EQ(saved.segmentChars, "32");
    EXPECT_EQ(saved.ignoredSites, "my.cn *.blog.my.cn");
    EXPECT_EQ(testing::U(loadIgnoredSites(path_)), "my.cn *.blog.my.cn");

    // Emptied, the list is saved empty: no site is ignored any more.
    ParameterWindow again(platform_, path_);
    EXPECT_EQ(again.ignoredSitesBox()->toPlainText(), QStringLiteral("my.cn *.blog.my.cn"));
    again.ignoredSitesBox()->clear();
    again.saveParameters();
    EXPECT_EQ(loadIgnoredSites(path_), "");
}

TEST_F(ParameterWindowTest, LosingFocusNormalisesAndSaveWritesUnchanged) {
    writeSettings(
        "[原创检测配置]\r\n段落字数=30\r\n飘红检测数=20\r\n最后段字数=07\r\n查询间隔=5\r\n");
    ParameterWindow window(platform_, path_);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    WholeNumberEdit* segment = window.box(kSegmentBox);
    WholeNumberEdit* minRun = window.box(kMinRunBox);
    segment->setFocus();
    segment->setText(QStringLiteral("040"));
    segment->setCursorPosition(1);
    minRun->setFocus();  // the segment box loses the focus
    EXPECT_EQ(segment->text(), "40");
    EXPECT_EQ(segment->cursorPosition(), 1);
    minRun->setText(QStringLiteral("0"));
    segment->setFocus();
    EXPECT_EQ(minRun->text(), "");
    segment->setText(QStringLiteral("99999999999"));
    WholeNumberEdit* interval = window.box("编辑框_查询间隔");
    EXPECT_EQ(interval->text(), "5");
    interval->setFocus();
    interval->setText(QStringLiteral("030"));

    // Pressing save takes the focus first: the values out of range are refused.
    auto* save = window.findChild<QPushButton*>(QStringLiteral("按钮_保存参数"));
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_EQ(segment->text(), "2147483647");
    EXPECT_EQ(platform_.messages().size(), 1u);
    EXPECT_EQ(loadParameterTexts(path_).segmentChars, "30");

    segment->setText(QStringLiteral("36"));
    minRun->setText(QStringLiteral("24"));
    interval->setFocus();
    interval->setText(QStringLiteral("030"));
    // The untouched box keeps "07".
    QTest::mouseClick(save, Qt::LeftButton);
    const ParameterTexts saved = loadParameterTexts(path_);
    EXPECT_EQ(saved.segmentChars, "36");
    EXPECT_EQ(saved.minRunChars, "24");
    EXPECT_EQ(saved.lastSegmentChars, "07");
    EXPECT_EQ(saved.intervalSeconds, "30");  // normalised: it had the focus
}

// The boxes take digits only: a typed space or letter is refused with the
// reason, a pasted "5 200" is refused whole rather than cut to 5.
TEST_F(ParameterWindowTest, BoxesTakeDigitsOnlyAndSayWhy) {
    ParameterWindow window(platform_, path_);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    WholeNumberEdit* interval = window.box("编辑框_查询间隔");
    interval->setFocus();
    interval->clear();
    QToolTip::hideText();
    QTest::keyClicks(interval, QStringLiteral("1 2a"));
    EXPECT_EQ(interval->text(), QStringLiteral("12"));
    EXPECT_EQ(QToolTip::text(), WholeNumberEdit::refusalReason());
    QToolTip::hideText();
    QGuiApplication::clipboard()->setText(QStringLiteral("5 200"));
    interval->selectAll();
    interval->paste();
    EXPECT_EQ(interval->text(), QStringLiteral("12"));
    EXPECT_EQ(QToolTip::text(), WholeNumberEdit::refusalReason());
    QToolTip::hideText();
}

// The main window shows while 忽略网站 leaves sites out, the list as the
// tooltip, and follows the parameter window when it closes.
TEST_F(ParameterWindowTest, TheMainWindowShowsTheIgnoredSites) {
    ASSERT_TRUE(saveIgnoredSites(path_, G("own-site.example\r\nblog.example.com")));
    DesktopOptions options;
    options.settingsPath = path_;
    DesktopProgram program(options);
    auto* shown = program.window().component<QLabel>(MainWindow::kIgnoredSitesLabel);
    EXPECT_TRUE(shown->isVisibleTo(&program.window()));
    EXPECT_EQ(shown->text(), QStringLiteral("已忽略 2 个网站"));
    EXPECT_TRUE(shown->toolTip().contains(QStringLiteral("own-site.example")));
    EXPECT_TRUE(shown->toolTip().contains(QStringLiteral("blog.example.com")));
    // The guide names the settings file in force and every parameter with its key.
    const QString guide = program.window().component<QTextBrowser>("超文本浏览框1")->toPlainText();
    EXPECT_TRUE(guide.contains(qstringFromGbk(path_))) << guide.toStdString();
    for (const char* key : {"段落字数", "飘红检测数", "最后段字数", "检测方式", "飘红覆盖率",
                            "查询间隔", "页面超时", "缓存天数", "忽略网站", "屏蔽时", "屏蔽等待"}) {
        EXPECT_TRUE(guide.contains(QString::fromUtf8(key))) << key;
    }

    ASSERT_TRUE(program.qtPlatform().showWindow(ProgramWindow::Parameters, false));
    auto* parameters = qobject_cast<ParameterWindow*>([] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (qobject_cast<ParameterWindow*>(top) != nullptr) {
                return top;
            }
        }
        return static_cast<QWidget*>(nullptr);
    }());
    ASSERT_NE(parameters, nullptr);
    parameters->ignoredSitesBox()->clear();
    parameters->saveParameters();
    EXPECT_TRUE(testing::pumpUntil([&] { return !shown->isVisibleTo(&program.window()); }));
}

// A settings file that cannot be written (its folder is a regular file): the
// window names the file and the reason, and stays open with the edits; once
// the file can be written, the same press saves and closes.
TEST_F(ParameterWindowTest, CheckModeCoverageAndCacheDaysAreShownCheckedAndSaved) {
    {
        // Without the keys: 整句, 80 and 7 days.
        ParameterWindow window(platform_, path_);
        EXPECT_EQ(window.modeBox()->currentText(), QStringLiteral("整句"));
        EXPECT_EQ(window.box("编辑框_飘红覆盖率")->text(), QStringLiteral("80"));
        EXPECT_EQ(window.box("编辑框_缓存天数")->text(), QStringLiteral("7"));
        window.box("编辑框_缓存天数")->setText(QStringLiteral("366"));
        window.saveParameters();
        ASSERT_EQ(platform_.messages().size(), 1u);
        EXPECT_NE(testing::U(platform_.messages()[0].message).find("缓存天数应在 0～365 之间"),
                  std::string::npos);
        window.box("编辑框_缓存天数")->setText(QStringLiteral("0"));
        // Out of 50-100: refused with a message, nothing saved.
        window.box("编辑框_飘红覆盖率")->setText(QStringLiteral("49"));
        window.saveParameters();
        ASSERT_EQ(platform_.messages().size(), 2u);
        EXPECT_NE(testing::U(platform_.messages()[1].message).find("飘红覆盖率应在 50～100 之间"),
                  std::string::npos);
        EXPECT_EQ(loadParameterTexts(path_).mode, "");
        window.modeBox()->setCurrentIndex(1);
        window.box("编辑框_飘红覆盖率")->setText(QStringLiteral("90"));
        window.saveParameters();
    }
    const CheckSettings settings = loadCheckSettings(path_);
    EXPECT_EQ(settings.mode, CheckMode::Classic);
    EXPECT_EQ(settings.coveragePercent, 90);
    EXPECT_EQ(loadSettingsSnapshot(path_, {}).cacheDays, 0);
    ParameterWindow again(platform_, path_);
    EXPECT_EQ(again.modeBox()->currentText(), QStringLiteral("经典"));
}

TEST_F(ParameterWindowTest, FailedSaveSaysWhereAndWhyAndKeepsTheEdits) {
    const std::string blocker = dir_.path().toStdString() + "/not-a-folder";
    std::ofstream(blocker) << "x";
    const std::string file = blocker + "/配置.ini";
    ParameterWindow window(platform_, G(file));
    window.box(kSegmentBox)->setText(QStringLiteral("35"));
    window.saveParameters();

    const std::vector<testing::ShownMessage> shown = platform_.messages();
    ASSERT_EQ(shown.size(), 1u);
    const std::string message = testing::U(shown[0].message);
    EXPECT_NE(message.find(file), std::string::npos) << message;
    EXPECT_NE(message.find("不是文件夹"), std::string::npos) << message;
    EXPECT_NE(message.find("参数没有保存"), std::string::npos) << message;
    EXPECT_TRUE(platform_.closedWindows().empty());
    EXPECT_EQ(window.box(kSegmentBox)->text(), QStringLiteral("35"));

    std::filesystem::remove(blocker);
    std::filesystem::create_directory(blocker);
    window.saveParameters();
    EXPECT_EQ(platform_.closedWindows().size(), 1u);
    EXPECT_EQ(loadParameterTexts(G(file)).segmentChars, "35");
}

// Opened through the platform the window is modal, closes after saving, and
// its close box discards the edits.
TEST_F(ParameterWindowTest, ModalWindowSavesAndCloses) {
    GuiBridge bridge;
    QtPlatform platform(bridge, path_);
    auto actOnWindow = [](std::function<void(ParameterWindow&)> act) {
        QTimer::singleShot(0, [act] {
            auto* window = qobject_cast<ParameterWindow*>(QApplication::activeModalWidget());
            ASSERT_NE(window, nullptr);
            act(*window);
        });
    };

    actOnWindow([](ParameterWindow& window) {
        window.box(kSegmentBox)->setText(QStringLiteral("25"));
        window.close();
    });
    EXPECT_TRUE(platform.showWindow(ProgramWindow::Parameters, true));
    EXPECT_EQ(loadParameterTexts(path_).segmentChars, "");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    actOnWindow([](ParameterWindow& window) {
        window.box(kSegmentBox)->setText(QStringLiteral("25"));
        window.box(kMinRunBox)->setText(QStringLiteral("14"));
        window.saveParameters();
    });
    EXPECT_TRUE(platform.showWindow(ProgramWindow::Parameters, true));
    const ParameterTexts saved = loadParameterTexts(path_);
    EXPECT_EQ(saved.segmentChars, "25");
    EXPECT_EQ(saved.minRunChars, "14");
    EXPECT_EQ(saved.lastSegmentChars, "5");  // the default it showed
}

}  // namespace
}  // namespace oc
