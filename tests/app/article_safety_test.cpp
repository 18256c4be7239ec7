// Nothing the user wrote is lost (every replacement of the article can be
// taken back, the article outlives a restart, 拷贝出去 copies what the box
// shows) and nothing shown is stale (results of an article since edited are
// greyed and cannot be rechecked; 清空文本 and 打开文件 put them away).
#include <gtest/gtest.h>

#include <QClipboard>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>

#include "app/desktop/desktop_program.h"
#include "app/desktop/main_window.h"
#include "app/desktop/progress_panel.h"
#include "app/desktop/qt_platform.h"
#include "app/desktop/result_grid.h"
#include "check/window_port.h"
#include "tests/app/event_pump.h"
#include "tests/app/sample_program.h"
#include "tests/app/search_sim_process.h"
#include "tests/support/gbk.h"
#include "tests/support/scripted_platform.h"

namespace oc {
namespace {
using testing::G;
using testing::pumpUntil;
using testing::ScriptedPlatform;
using testing::U;

QPlainTextEdit* articleBox(MainWindow& window) {
    return window.component<QPlainTextEdit>(component::kArticleBox);
}

void click(MainWindow& window, const char* button) {
    window.component<QPushButton>(button)->click();
}

void undo(QPlainTextEdit* box) {
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
}

// 清空文本, 复制进来 and 打开文件 each replace the article in one step Ctrl+Z
// takes back; an empty clipboard changes nothing and says so.
TEST(ArticleSafety, EveryReplacementIsOneUndoStep) {
    ScriptedPlatform platform;
    MainWindow window(platform);
    QPlainTextEdit* box = articleBox(window);
    box->setPlainText(QStringLiteral("原来的文章\n第二段"));

    click(window, "按钮_清空文本");
    EXPECT_TRUE(box->toPlainText().isEmpty());
    undo(box);
    EXPECT_EQ(box->toPlainText(), QStringLiteral("原来的文章\n第二段"));

    platform.setClipboardText(G("剪贴板里的文章\r\n第二行"));
    click(window, "按钮_复制进来");
    EXPECT_EQ(box->toPlainText(), QStringLiteral("剪贴板里的文章\n第二行"));
    undo(box);
    EXPECT_EQ(box->toPlainText(), QStringLiteral("原来的文章\n第二段"));

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.txt"));
    std::ofstream(QFile::encodeName(file).toStdString()) << "文件里的文章";
    window.setFileChooser([file] { return file; });
    click(window, "按钮_打开文件");
    EXPECT_EQ(box->toPlainText(), QStringLiteral("文件里的文章"));
    undo(box);
    EXPECT_EQ(box->toPlainText(), QStringLiteral("原来的文章\n第二段"));
    EXPECT_TRUE(platform.messages().empty());

    platform.setClipboardText("");
    click(window, "按钮_复制进来");
    EXPECT_EQ(box->toPlainText(), QStringLiteral("原来的文章\n第二段"));
    ASSERT_EQ(platform.messages().size(), 1u);
    EXPECT_EQ(U(platform.messages()[0].message), "剪贴板里没有文字，文章没有改动。");
}

// 拷贝出去 puts on the clipboard exactly what the box shows, characters GBK
// lacks included.
TEST(ArticleSafety, CopyOutKeepsEveryCharacter) {
    GuiBridge bridge;
    QtPlatform platform(bridge, "");
    MainWindow window(platform);
    articleBox(window)->setPlainText(QStringLiteral("原创😀度\n€ ẞ"));
    click(window, "按钮_拷贝出去");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("原创😀度\n€ ẞ"));
}

// The article is written (UTF-8) into the folder of the results store a moment
// after the last edit and when the window closes, and is back after a restart,
// as is the division between the article and the results.
TEST(ArticleSafety, TheArticleOutlivesARestart) {
    QTemporaryDir dir;
    ScriptedPlatform platform;
    DesktopOptions options;
    options.settingsPath = dir.filePath(QStringLiteral("配置.ini")).toStdString();
    options.storeFile = dir.filePath(QStringLiteral("data/checks.db")).toStdString();
    options.platform = &platform;
    const QString kept = dir.filePath(QStringLiteral("data/article.txt"));
    auto readKept = [&kept] {
        QFile file(kept);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    };
    int articleHeight = 0;
    {
        DesktopProgram program(options);
        QPlainTextEdit* box = articleBox(program.window());
        EXPECT_TRUE(box->toPlainText().isEmpty());
        box->setPlainText(QStringLiteral("第一稿😀"));
        // Not at once: a moment after the last edit.
        EXPECT_FALSE(QFile::exists(kept));
        ASSERT_TRUE(pumpUntil([&] { return readKept() == QStringLiteral("第一稿😀"); },
                              std::chrono::seconds(5)));
        box->setPlainText(QStringLiteral("第二稿\n第二段"));
        // The user moves the division between the article and the results.
        program.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&program.window()));
        auto* splitter = program.window().component<QSplitter>(MainWindow::kSplitter);
        QSplitterHandle* handle = splitter->handle(1);
        const QPoint middle = handle->rect().center();
        QTest::mousePress(handle, Qt::LeftButton, {}, middle);
        QTest::mouseMove(handle, middle - QPoint(0, 80));
        QTest::mouseRelease(handle, Qt::LeftButton, {}, middle - QPoint(0, 80));
        articleHeight = splitter->sizes().front();
        EXPECT_LT(articleHeight, splitter->sizes().back());
        program.window().close();
        EXPECT_EQ(readKept(), QStringLiteral("第二稿\n第二段"));
    }
    DesktopProgram again(options);
    EXPECT_EQ(articleBox(again.window())->toPlainText(), QStringLiteral("第二稿\n第二段"));
    again.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&again.window()));
    EXPECT_EQ(again.window().component<QSplitter>(MainWindow::kSplitter)->sizes().front(),
              articleHeight);
    // No temporary file is left beside it.
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("data")))
                  .entryList(QDir::Files)
                  .filter(QStringLiteral("article")),
              QStringList{QStringLiteral("article.txt")});
}

bool cellsGrey(ResultGrid& grid) {
    const QVariant colour = grid.model()->index(0, 1).data(Qt::ForegroundRole);
    return colour.value<QBrush>().color() == QColor(0x80, 0x80, 0x80);
}

// After a check: an edit greys values and grids, says why and turns 重查未核实
// off; taking the edit back makes them fresh again; 清空文本 and 打开文件 put
// the results away, the status bar's counts with them.
TEST(ArticleSafety, ResultsOfAnEditedArticleAreStale) {
    QTemporaryDir dir;
    testing::SearchSimProcess sim{QStringList()};
    ASSERT_FALSE(sim.url().isEmpty());
    ScriptedPlatform platform;
    auto program = testing::startOnSampleArticle(dir.path(), sim.url(), sim.url(), &platform);
    MainWindow& window = program->window();
    QPlainTextEdit* box = articleBox(window);
    auto runCheck = [&] {
        click(window, "按钮_检测");
        return pumpUntil([&] { return !program->checkRunning(); }, std::chrono::seconds(60));
    };
    ASSERT_TRUE(runCheck());
    auto* value = window.component<QLabel>(component::kBaiduValueLabel);
    auto* group = window.component<QGroupBox>(MainWindow::kResultGroup);
    ResultGrid& grid = *window.grid(component::kBaiduGrid);
    ASSERT_FALSE(value->text().isEmpty());
    ASSERT_GT(grid.rowCount(), 1);
    EXPECT_FALSE(window.resultsStale());
    EXPECT_TRUE(group->title().isEmpty());
    EXPECT_FALSE(cellsGrey(grid));
    window.setRecheckWanted(true);
    auto* recheck = window.component<QPushButton>(component::kRecheckButton);
    EXPECT_TRUE(recheck->isEnabled());

    box->moveCursor(QTextCursor::End);
    QTest::keyClicks(box, QStringLiteral("x"));
    EXPECT_TRUE(window.resultsStale());
    EXPECT_EQ(group->title(), QStringLiteral("文章已修改，结果对应修改前的文章"));
    EXPECT_FALSE(value->isEnabled());
    EXPECT_FALSE(window.component(component::k360CoverageLabel)->isEnabled());
    EXPECT_TRUE(cellsGrey(grid));
    EXPECT_FALSE(recheck->isEnabled());
    // The values themselves stay, for the article they belong to.
    EXPECT_FALSE(value->text().isEmpty());

    undo(box);
    EXPECT_FALSE(window.resultsStale());
    EXPECT_TRUE(group->title().isEmpty());
    EXPECT_TRUE(value->isEnabled());
    EXPECT_FALSE(cellsGrey(grid));
    EXPECT_TRUE(recheck->isEnabled());

    auto countsShown = [&] {
        for (QLabel* part : window.progress().findChildren<QLabel*>()) {
            if (part->text().contains(QLatin1Char('/'))) {
                return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(countsShown());
    const QString article = box->toPlainText();
    click(window, "按钮_清空文本");
    EXPECT_TRUE(value->text().isEmpty());
    EXPECT_TRUE(window.component<QLabel>(component::k360VerdictLabel)->text().isEmpty());
    EXPECT_EQ(grid.rowCount(), 1);
    EXPECT_EQ(window.grid(component::k360Grid)->rowCount(), 1);
    EXPECT_FALSE(window.resultsStale());
    EXPECT_FALSE(recheck->isEnabled());
    EXPECT_FALSE(window.component(MainWindow::kExportReportButton)->isEnabled());
    EXPECT_FALSE(countsShown());
    // The article comes back; its results do not.
    undo(box);
    EXPECT_EQ(box->toPlainText(), article);
    EXPECT_TRUE(value->text().isEmpty());

    // 文章字数 follows the typing, counted as the check counts it.
    ASSERT_TRUE(runCheck());
    auto* count = window.component<QLabel>(component::kCharCountLabel);
    const int checked = count->text().toInt();
    EXPECT_GT(checked, 100);
    box->moveCursor(QTextCursor::Start);
    box->insertPlainText(QStringLiteral("原创度"));
    pumpUntil([&] { return count->text().toInt() == checked + 3; });
    EXPECT_EQ(count->text().toInt(), checked + 3);

    QTemporaryDir files;
    const QString file = files.filePath(QStringLiteral("b.txt"));
    std::ofstream(QFile::encodeName(file).toStdString()) << "另一篇文章";
    window.setFileChooser([file] { return file; });
    click(window, "按钮_打开文件");
    EXPECT_TRUE(value->text().isEmpty());
    EXPECT_EQ(grid.rowCount(), 1);
    EXPECT_FALSE(window.resultsStale());
    pumpUntil([&] { return count->text() == QStringLiteral("5"); });
    EXPECT_EQ(count->text(), QStringLiteral("5"));
}

}  // namespace
}  // namespace oc
