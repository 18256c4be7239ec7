#include "app/desktop/parameter_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "app/desktop/gui_bridge.h"
#include "app/desktop/qt_platform.h"
#include "app/desktop/whole_number_input.h"
#include "services/files.h"
#include "settings/settings.h"
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
    EXPECT_EQ(window.pos(), QPoint((1025 - 405) / 2, (769 - 242) / 2));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());  // fixed frame
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMinMaxButtonsHint);
    auto* save = window.findChild<QPushButton*>(QStringLiteral("按钮_保存参数"));
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->text(), QStringLiteral("保存"));
    EXPECT_EQ(save->geometry(), QRect(232, 168, 80, 32));
    EXPECT_EQ(window.box(kSegmentBox)->geometry(), QRect(136, 32, 24, 32));
    EXPECT_EQ(window.box(kMinRunBox)->geometry(), QRect(136, 72, 24, 32));
    EXPECT_EQ(window.box(kLastSegmentBox)->geometry(), QRect(136, 120, 24, 32));
    auto* hint = window.findChild<QLabel*>(QStringLiteral("标签4"));
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->text(),
              QStringLiteral("至少多少个汉字连续出现，才算飘红，此值越小，原创精确度越高"));
    EXPECT_TRUE(hint->wordWrap());
    // The query interval shares the save button's row and stays clear of it.
    WholeNumberEdit* interval = window.box("编辑框_查询间隔");
    ASSERT_NE(interval, nullptr);
    EXPECT_EQ(interval->geometry(), QRect(136, 168, 32, 32));
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("标签7"))->text(),
              QStringLiteral("查询间隔设置"));
    for (QLabel* label : window.findChildren<QLabel*>()) {
        EXPECT_FALSE(label->geometry().intersects(save->geometry()))
            << label->objectName().toStdString();
        EXPECT_FALSE(label->geometry().intersects(interval->geometry()))
            << label->objectName().toStdString();
    }
    EXPECT_EQ(window.findChildren<QLabel*>().size(), 8);
}

TEST_F(ParameterWindowTest, LoadsWithoutDefaultsAndWithoutNormalising) {
    {
        ParameterWindow window(platform_, path_);  // no file yet
        EXPECT_EQ(window.box(kSegmentBox)->text(), "");
        EXPECT_EQ(window.box(kMinRunBox)->text(), "");
        EXPECT_EQ(window.box(kLastSegmentBox)->text(), "");
    }
    writeSettings("[原创检测配置]\r\n段落字数=040abc\r\n飘红检测数=20\r\n");
    ParameterWindow window(platform_, path_);
    EXPECT_EQ(window.box(kSegmentBox)->text(), "040abc");
    EXPECT_EQ(window.box(kMinRunBox)->text(), "20");
    EXPECT_EQ(window.box(kLastSegmentBox)->text(), "");
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

    // Pressing save takes the focus first; the untouched box keeps "07".
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("按钮_保存参数")),
                      Qt::LeftButton);
    const ParameterTexts saved = loadParameterTexts(path_);
    EXPECT_EQ(saved.segmentChars, "2147483647");
    EXPECT_EQ(saved.minRunChars, "");
    EXPECT_EQ(saved.lastSegmentChars, "07");
    EXPECT_EQ(saved.intervalSeconds, "30");  // normalised: it had the focus
}

// A settings file that cannot be written (its folder is a regular file): the
// window names the file and the reason, and stays open with the edits; once
// the file can be written, the same press saves and closes.
TEST_F(ParameterWindowTest, FailedSaveSaysWhereAndWhyAndKeepsTheEdits) {
    const std::string blocker = dir_.path().toStdString() + "/not-a-folder";
    std::ofstream(blocker) << "x";
    const std::string file = blocker + "/配置.ini";
    ParameterWindow window(platform_, G(file));
    window.box(kSegmentBox)->setText(QStringLiteral("25"));
    window.saveParameters();

    const std::vector<testing::ShownMessage> shown = platform_.messages();
    ASSERT_EQ(shown.size(), 1u);
    const std::string message = testing::U(shown[0].message);
    EXPECT_NE(message.find(file), std::string::npos) << message;
    EXPECT_NE(message.find("不是文件夹"), std::string::npos) << message;
    EXPECT_NE(message.find("参数没有保存"), std::string::npos) << message;
    EXPECT_TRUE(platform_.closedWindows().empty());
    EXPECT_EQ(window.box(kSegmentBox)->text(), QStringLiteral("25"));

    std::filesystem::remove(blocker);
    std::filesystem::create_directory(blocker);
    window.saveParameters();
    EXPECT_EQ(platform_.closedWindows().size(), 1u);
    EXPECT_EQ(loadParameterTexts(G(file)).segmentChars, "25");
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
    EXPECT_EQ(saved.lastSegmentChars, "");
}

}  // namespace
}  // namespace oc
