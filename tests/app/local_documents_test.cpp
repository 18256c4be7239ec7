// The local documents in the window: the folder chooser and its settings, the
// status bar's indexing and skipped files, a click on a document's source, and
// a whole check of the sample article against data/corpus without any server.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <filesystem>
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
#include "check/grid_model.h"
#include "check/pass_steps.h"
#include "check/window_port.h"
#include "settings/settings.h"
#include "tests/app/event_pump.h"
#include "tests/app/sample_program.h"
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
    EXPECT_EQ(shown->toolTip(), QString::fromStdString(folder));

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
    // The open list follows a later indexing; a new check empties it.
    panel.setSkippedFiles({{QStringLiteral("/文档/新.txt"), QStringLiteral("无法读取")}});
    EXPECT_EQ(dialog->table().rowCount(), 1);
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

}  // namespace
}  // namespace oc
