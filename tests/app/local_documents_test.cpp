// The local documents in the window: the folder chooser and its settings, the
// status bar's indexing and skipped files, a click on a document's source, and
// a whole check of the sample article against data/corpus without any server.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <filesystem>
#include <map>
#include <thread>

#include "app/desktop/desktop_program.h"
#include "app/desktop/grid_click.h"
#include "app/desktop/local_folder_chooser.h"
#include "app/desktop/main_window.h"
#include "app/desktop/progress_panel.h"
#include "app/desktop/qt_text.h"
#include "app/desktop/qt_window_port.h"
#include "app/desktop/result_grid.h"
#include "app/desktop/skipped_files_dialog.h"
#include "app/desktop/tab_control.h"
#include "check/grid_model.h"
#include "check/pass_steps.h"
#include "check/window_port.h"
#include "settings/settings.h"
#include "tests/app/event_pump.h"
#include "tests/app/sample_program.h"
#include "tests/app/shown_tip.h"
#include "tests/support/file_fixtures.h"
#include "tests/support/gbk.h"
#include "tests/support/scripted_platform.h"

namespace oc {
namespace {
using testing::G;
using testing::pumpUntil;
using testing::ScriptedPlatform;
using testing::TempFolder;
using testing::U;

QString text(QWidget* widget) {
    return widget->property("text").toString();
}

// The folder is kept in the settings file, whatever characters it holds, and
// shown again by the next window; a folder that cannot be saved is said and
// not shown, so the window never shows a folder the check would not use.
TEST(LocalFolderChooser, KeepsTheChoiceInTheSettingsFile) {
    ScriptedPlatform platform;
    TempFolder settings;
    const Text settingsPath = G(settings.nativePath("配置.ini"));
    const std::string folder = settings.nativePath("文档 😀 Ω");
    std::filesystem::create_directories(folder);

    LocalFolderChooser chooser(platform);
    chooser.resize(400, 24);
    chooser.bindSettings(settingsPath);
    auto* shown = chooser.findChild<QLabel*>(QStringLiteral("标签_本地文档目录"));
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->text(), QStringLiteral("（未选择文件夹）"));
    int asked = 0;
    chooser.setChooser([&] {
        ++asked;
        return qstringFromNativePath(folder);
    });
    chooser.findChild<QPushButton*>(QStringLiteral("按钮_选择本地文档目录"))->click();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(chooser.folder(), folder);
    EXPECT_EQ(loadLocalFolder(settingsPath), folder);
    EXPECT_EQ(testing::shownTip(shown->toolTip()), QString::fromStdString(folder));

    LocalFolderChooser next(platform);
    next.bindSettings(settingsPath);
    EXPECT_EQ(next.folder(), folder);

    // A dialog closed without a folder changes nothing.
    next.setChooser([] { return QString(); });
    EXPECT_FALSE(next.choose());
    EXPECT_EQ(next.folder(), folder);

    // A settings file that cannot be written: said, and the old folder stays.
    const std::string blocker = settings.nativePath("不是文件夹");
    testing::putFileBytes(blocker, "x");
    LocalFolderChooser unsaved(platform);
    unsaved.bindSettings(G(blocker + "/配置.ini"));
    unsaved.setChooser([&] { return qstringFromNativePath(folder); });
    EXPECT_FALSE(unsaved.choose());
    EXPECT_TRUE(unsaved.folder().empty());
    ASSERT_EQ(platform.messages().size(), 1u);
    EXPECT_EQ(U(platform.messages()[0].message).rfind("本地文档目录没有保存", 0), 0u);
}

// Ticking the local engine without a folder asks for one; none chosen, the
// box is unticked again. With a folder, ticking asks nothing.
TEST(LocalFolderChooser, TickingTheLocalEngineWithoutAFolderAsksForOne) {
    ScriptedPlatform platform;
    TempFolder settings;
    LocalFolderChooser chooser(platform);
    chooser.bindSettings(G(settings.nativePath("配置.ini")));
    QCheckBox local(QStringLiteral("查本地文档"));
    chooser.requireFolderFor(local);
    QString answer;
    int asked = 0;
    chooser.setChooser([&] {
        ++asked;
        return answer;
    });

    local.click();
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(local.isChecked());

    answer = QString::fromStdString(settings.native());
    local.click();
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(local.isChecked());
    local.click();  // unticked
    local.click();  // ticked again: the folder is known
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(local.isChecked());

    // The window's box beside the web engines asks through the 本地 page's
    // chooser, whichever page shows.
    MainWindow window(platform);
    auto* windowChooser = window.component<LocalFolderChooser>(kLocalFolderChooser);
    ASSERT_NE(windowChooser, nullptr);
    int windowAsked = 0;
    windowChooser->setChooser([&] {
        ++windowAsked;
        return QString();
    });
    window.component<QCheckBox>(component::kLocalCheckBox)->click();
    EXPECT_EQ(windowAsked, 1);
    EXPECT_FALSE(window.component<QCheckBox>(component::kLocalCheckBox)->isChecked());
}

// The local engine's slot of the status bar shows the indexing with grouped
// digits until its segments are counted; the skipped files sit behind a
// button whose list follows later reports, and a new check forgets them.
TEST(ProgressPanel, ShowsTheIndexingAndTheSkippedFiles) {
    ProgressPanel panel;
    panel.resize(900, 20);
    auto* local = panel.findChild<QLabel*>(QStringLiteral("标签_进度本地"));
    auto* bar = panel.findChild<QProgressBar*>(QStringLiteral("进度条_本地"));
    auto* skipped = panel.findChild<QPushButton*>(QStringLiteral("按钮_已跳过文件"));
    ASSERT_TRUE(local && bar && skipped);

    panel.begin();
    panel.update(0, 0, 43);
    panel.indexing(1234, 10000);
    EXPECT_EQ(local->text(), QStringLiteral("索引 1,234 / 10,000 个文件"));
    EXPECT_EQ(bar->value() * 10000 / bar->maximum(), 1234);
    EXPECT_EQ(indexProgressText(0, 7), QStringLiteral("索引 0 / 7 个文件"));
    // Files count neither in the title nor in the estimate.
    EXPECT_EQ(panel.titlePrefix(), QStringLiteral("[0%] "));
    panel.update(ProgressPanel::kLocalEngine, 0, 12);
    EXPECT_EQ(local->text(), QStringLiteral("本地 0/12"));
    panel.indexing(10000, 10000);  // late: the segments are being counted
    EXPECT_EQ(local->text(), QStringLiteral("本地 0/12"));
    panel.update(ProgressPanel::kLocalEngine, 12, 12);
    EXPECT_EQ(panel.titlePrefix(), QStringLiteral("[21%] "));  // 12 of 55

    EXPECT_TRUE(skipped->isHidden());
    EXPECT_EQ(panel.showSkippedFiles(), nullptr);
    panel.setSkippedFiles({{QStringLiteral("/文档/图片.txt"), QStringLiteral("不是文本文件")},
                           {QStringLiteral("/文档/大.txt"), QStringLiteral("文件超过 20 MB")}});
    EXPECT_FALSE(skipped->isHidden());
    EXPECT_EQ(skipped->text(), QStringLiteral("已跳过 2 个文件"));
    skipped->click();
    auto* dialog = panel.findChild<SkippedFilesDialog*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    ASSERT_EQ(dialog->table().rowCount(), 2);
    EXPECT_EQ(dialog->table().item(0, 0)->text(), QStringLiteral("/文档/图片.txt"));
    EXPECT_EQ(dialog->table().item(1, 1)->text(), QStringLiteral("文件超过 20 MB"));
    // The open list follows a later indexing; a new check empties it. A
    // file name that looks like markup is shown as it is, in its tip too.
    const QString markup = QStringLiteral("/文档/<b>新</b><img src=x>.txt");
    panel.setSkippedFiles({{markup, QStringLiteral("无法读取")}});
    EXPECT_EQ(dialog->table().rowCount(), 1);
    EXPECT_EQ(testing::shownTip(dialog->table().item(0, 0)->toolTip()), markup);
    panel.begin();
    EXPECT_TRUE(skipped->isHidden());
    EXPECT_EQ(dialog->table().rowCount(), 0);
    dialog->close();
}

// Reports from the indexing thread reach the status bar through the bridge:
// the burst of one folder is thinned out, but its last report always shows.
TEST(QtWindowPortLocal, IndexingAndSkippedFilesReachTheStatusBar) {
    ScriptedPlatform platform;
    GuiBridge bridge;
    MainWindow window(platform);
    QtWindowPort port(bridge, window);
    PassEnvironment env;
    port.reportLocalEngineTo(env);
    window.progress().begin();
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (std::size_t i = 1; i <= 5000; ++i) {
            env.indexProgress(i, 5000);
        }
        env.skippedFiles({{std::string("/docs/\xE5\x9B\xBE.bin.txt"), G("不是文本文件")}});
        port.flush();  // the reports are queued without waiting
        done = true;
    });
    ASSERT_TRUE(pumpUntil([&] { return done.load(); }));
    worker.join();
    EXPECT_EQ(text(window.progress().findChild<QLabel*>(QStringLiteral("标签_进度本地"))),
              QStringLiteral("索引 5,000 / 5,000 个文件"));
    SkippedFilesDialog* dialog = window.progress().showSkippedFiles();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->table().item(0, 0)->text(), QStringLiteral("/docs/图.bin.txt"));
    EXPECT_EQ(dialog->table().item(0, 1)->text(), QStringLiteral("不是文本文件"));
    dialog->close();
}

// A click on a 来源 cell of the local grid opens the document with the
// desktop's default program, its path untouched by GBK; a document gone
// since, or one the desktop cannot open, is said.
TEST(LocalGridClick, OpensTheDocumentOfTheSource) {
    ScriptedPlatform platform;
    TempFolder docs;
    const std::string path = docs.nativePath("文档 😀.txt");
    testing::putFileBytes(path, "x");
    ResultGrid grid;
    grid.setObjectName(qstringFromUtf8(component::kLocalGrid));
    setupResultGrid(grid);
    for (int row = 1; row <= 3; ++row) {
        grid.appendRow(toText(row), row);
        grid.setCell(row, kSourceColumn, G("标题"));
    }
    grid.setCellTip(1, kSourceColumn, "");
    grid.setCellTip(2, kSourceColumn, G("/不存在/a.txt"));
    // The window receives the path as the pass writes it: GB18030, every character kept.
    ASSERT_TRUE(grid.setCellTip(3, kSourceColumn, cellTextOf(path)));

    grid.moveCursorTo(3, kSourceColumn);
    handleGridClick(grid, platform);
    EXPECT_EQ(platform.openedFiles(), std::vector<std::string>{path});
    EXPECT_EQ(grid.textColour(3, kSourceColumn), kColourPurple);
    EXPECT_TRUE(platform.opened().empty());

    grid.moveCursorTo(1, kSourceColumn);  // no source: nothing
    handleGridClick(grid, platform);
    EXPECT_TRUE(platform.messages().empty());
    grid.moveCursorTo(2, kSourceColumn);
    handleGridClick(grid, platform);
    ASSERT_EQ(platform.messages().size(), 1u);
    EXPECT_EQ(U(platform.messages()[0].message),
              "文件已不存在，可能已被移走或删除：\n/不存在/a.txt");

    platform.setShellOpens(false);
    grid.setTextColour(3, kSourceColumn, 3, kSourceColumn, 0);
    grid.moveCursorTo(3, kSourceColumn);
    handleGridClick(grid, platform);
    ASSERT_EQ(platform.messages().size(), 2u);
    EXPECT_EQ(U(platform.messages()[1].message), "无法打开文件，路径已复制到剪贴板");
    EXPECT_EQ(U(platform.clipboardText()), docs.nativePath("文档 ?.txt"));
    EXPECT_EQ(grid.textColour(3, kSourceColumn), 0u);
    EXPECT_EQ(platform.openedFiles().size(), 2u);
}

// The whole program with only the local engine ticked, its folder in the
// settings file, and no search engine anywhere: the web passes are never asked.
class LocalDesktopTest : public ::testing::Test {
  protected:
    std::unique_ptr<DesktopProgram> start(const std::string& folder) {
        EXPECT_TRUE(saveLocalFolder(G(settings_.nativePath("配置.ini")), folder));
        auto program = testing::startOnSampleArticle(
            QString::fromStdString(settings_.native()), QStringLiteral("http://127.0.0.1:9"),
            QStringLiteral("http://127.0.0.1:9"), &platform_);
        MainWindow& window = program->window();
        window.component<QCheckBox>(component::kBaiduCheckBox)->setChecked(false);
        window.component<QCheckBox>(component::k360CheckBox)->setChecked(false);
        window.component<QCheckBox>(component::kLocalCheckBox)->setChecked(true);
        return program;
    }
    static void check(DesktopProgram& program) {
        program.window().component<QPushButton>(component::kCheckButton)->click();
        ASSERT_TRUE(pumpUntil([&] { return !program.checkRunning(); }));
    }

    TempFolder settings_;
    ScriptedPlatform platform_;
};

// The sample article against data/corpus: the passages copied from four of
// its documents are 命中 with that document as source, the rest 原创.
TEST_F(LocalDesktopTest, SampleArticleFindsItsCopiedPassagesInTheCorpus) {
    const std::string corpus = OC_SOURCE_DIR "/data/corpus";
    auto program = start(corpus);
    ASSERT_TRUE(platform_.messages().empty());  // the folder was known: nothing asked
    check(*program);
    ASSERT_TRUE(platform_.messages().empty()) << U(platform_.messages()[0].message);

    ResultGrid* grid = program->window().grid(component::kLocalGrid);
    ASSERT_EQ(grid->rowCount(), 44);
    const std::map<int, std::pair<const char*, const char*>> copied = {
        {6, {"菜市场的早晨", "city-morning-market.txt"}},
        {7, {"菜市场的早晨", "city-morning-market.txt"}},
        {8, {"菜市场的早晨", "city-morning-market.txt"}},
        {12, {"老城的茶馆", "tea-old-teahouse.txt"}},
        {13, {"老城的茶馆", "tea-old-teahouse.txt"}},
        {17, {"天空为什么是蓝色的", "science-why-sky-blue.txt"}},
        {18, {"天空为什么是蓝色的", "science-why-sky-blue.txt"}},
        {25, {"红烧肉的火候", "cooking-braised-pork.txt"}},
        {26, {"红烧肉的火候", "cooking-braised-pork.txt"}},
    };
    for (int row = 1; row < grid->rowCount(); ++row) {
        const auto hit = copied.find(row);
        EXPECT_EQ(U(grid->cellText(row, kStatusColumn)), hit != copied.end() ? "命中" : "原创")
            << row;
        EXPECT_TRUE(grid->cellText(row, kUrlColumn).empty()) << row;
        if (hit != copied.end()) {
            EXPECT_EQ(U(grid->cellText(row, kSourceColumn)), hit->second.first) << row;
            EXPECT_EQ(grid->sourceTip(row).toStdString(), corpus + "/" + hit->second.second) << row;
        }
    }
    auto caption = [&](std::string_view name) { return text(program->window().component(name)); };
    EXPECT_EQ(caption(component::kLocalValueLabel), QStringLiteral("79.07%"));
    EXPECT_EQ(caption(component::kLocalCoverageLabel), QStringLiteral("已核实 43/43"));
    EXPECT_FALSE(caption(component::kLocalVerdictLabel).isEmpty());
    EXPECT_TRUE(caption(component::kBaiduValueLabel).isEmpty());  // not run
    EXPECT_EQ(
        text(program->window().progress().findChild<QLabel*>(QStringLiteral("标签_进度本地"))),
        QStringLiteral("本地 已核实 43/43"));

    // A click on a source opens its document, not a web page.
    auto* tabs = program->window().component<TabControl>("选择夹1");
    tabs->setCurrentIndex(MainWindow::kLocalPage);
    const QRect cell = grid->visualRect(grid->model()->index(12 - 1, kSourceColumn - 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(platform_.openedFiles(), std::vector<std::string>{corpus + "/tea-old-teahouse.txt"});
    EXPECT_TRUE(platform_.opened().empty());
}

// A binary file in the folder is left out and listed from the status bar;
// the text document beside it is still found.
TEST_F(LocalDesktopTest, TheSkippedFilesAreListedFromTheStatusBar) {
    TempFolder docs;
    QFile sample(QStringLiteral(OC_SOURCE_DIR "/data/corpus/tea-old-teahouse.txt"));
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    testing::putFileBytes(docs.nativePath("茶馆.txt"), sample.readAll().toStdString());
    testing::putFileBytes(docs.nativePath("图片.txt"), std::string("\x89PNG\r\n\x1a\n\0\0\0", 11));
    auto program = start(docs.native());
    check(*program);

    ResultGrid* grid = program->window().grid(component::kLocalGrid);
    EXPECT_EQ(U(grid->cellText(12, kStatusColumn)), "命中");
    auto* skipped =
        program->window().progress().findChild<QPushButton*>(QStringLiteral("按钮_已跳过文件"));
    ASSERT_NE(skipped, nullptr);
    EXPECT_TRUE(skipped->isVisible());
    EXPECT_EQ(skipped->text(), QStringLiteral("已跳过 1 个文件"));
    skipped->click();
    auto* dialog = program->window().findChild<SkippedFilesDialog*>();
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(dialog->table().rowCount(), 1);
    EXPECT_EQ(dialog->table().item(0, 0)->text().toStdString(), docs.nativePath("图片.txt"));
    EXPECT_EQ(dialog->table().item(0, 1)->text(), QStringLiteral("不是文本文件"));
    dialog->close();
}

// A folder gone since it was chosen: the check says so, writes no row, and
// the window is usable again.
TEST_F(LocalDesktopTest, AMissingFolderIsSaidAndChecksNothing) {
    auto program = start(settings_.nativePath("不存在"));
    check(*program);
    ASSERT_EQ(platform_.messages().size(), 1u);
    EXPECT_EQ(U(platform_.messages()[0].message),
              "本地文档目录不存在：" + settings_.nativePath("不存在"));
    EXPECT_EQ(program->window().grid(component::kLocalGrid)->rowCount(), 1);
    EXPECT_TRUE(program->window().component(component::kCheckButton)->isEnabled());
}

}  // namespace
}  // namespace oc
