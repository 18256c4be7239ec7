// 历史记录 in the window: a check of the sample article against the search
// simulator is kept, opened again it shows the same values and rows, and 对比
// after an edit names what changed; a check an engine blocked, reopened in a
// later session, has its unverified rows asked again into the same record.
#include <gtest/gtest.h>

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextBrowser>

#include "app/desktop/article_box.h"
#include "app/desktop/desktop_program.h"
#include "app/desktop/history_dialog.h"
#include "app/desktop/main_window.h"
#include "app/desktop/qt_text.h"
#include "app/desktop/result_grid.h"
#include "check/window_port.h"
#include "store/sqlite_check_store.h"
#include "store/store_location.h"
#include "tests/app/event_pump.h"
#include "tests/app/sample_program.h"
#include "tests/app/search_sim_process.h"
#include "tests/support/scripted_platform.h"

namespace oc {
namespace {
using testing::pumpUntil;

// What the window shows of the check: labels and every cell and tooltip of the grids.
QStringList shownResults(MainWindow& window) {
    QStringList shown;
    for (std::string_view label :
         {component::kCharCountLabel, component::kBaiduValueLabel, component::kBaiduCoverageLabel,
          component::k360ValueLabel, component::k360CoverageLabel, component::k360VerdictLabel}) {
        shown << window.component<QLabel>(label)->text();
    }
    for (std::string_view name : {component::kBaiduGrid, component::k360Grid}) {
        ResultGrid* grid = window.grid(name);
        for (int row = 1; row < grid->rowCount(); ++row) {
            for (int column = 0; column < grid->columnCount(); ++column) {
                shown << qstringFromGbk(grid->cellText(row, column))
                      << qstringFromGbk(grid->cellTip(row, column));
            }
        }
    }
    return shown;
}

TEST(HistoryWindow, ACheckReopenedShowsTheSameResultsAndComparesWithAnEditedOne) {
    QTemporaryDir dir;
    testing::SearchSimProcess sim{QStringList()};
    ASSERT_FALSE(sim.url().isEmpty());
    testing::ScriptedPlatform platform;
    auto program = testing::startOnSampleArticle(dir.path(), sim.url(), sim.url(), &platform);
    MainWindow& window = program->window();
    auto* check = window.component<QPushButton>(component::kCheckButton);
    check->click();
    ASSERT_TRUE(pumpUntil([&] { return !program->checkRunning(); }, std::chrono::seconds(60)));
    const QStringList first = shownResults(window);
    ASSERT_GT(first.size(), 40);

    // An edit: the first paragraph goes, the check runs again.
    auto* box = window.component<ArticleBox>(component::kArticleBox);
    const QString article = box->toPlainText();
    box->setPlainText(article.section(QLatin1Char('\n'), 2));
    check->click();
    ASSERT_TRUE(pumpUntil([&] { return !program->checkRunning(); }, std::chrono::seconds(60)));
    ASSERT_NE(shownResults(window), first);

    // 历史记录: both checks, the edited one first; the first opened again.
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window.component(MainWindow::kHistoryLink), &press);
    ASSERT_NE(program->historyDialog(), nullptr);
    HistoryDialog& history = *program->historyDialog();
    ASSERT_EQ(history.table()->model()->rowCount(), 2);
    history.table()->selectRow(1);
    ASSERT_EQ(history.selectedChecks().size(), 1u);
    history.openSelected();
    EXPECT_EQ(box->toPlainText(), article);
    EXPECT_EQ(shownResults(window), first);

    // 对比: the earlier check's segments of the first paragraph are gone.
    history.table()->selectAll();
    const QString html = history.compareSelected();
    EXPECT_TRUE(html.contains(QStringLiteral("删除"))) << html.toStdString();
    EXPECT_TRUE(html.contains(QStringLiteral("百度："))) << html.toStdString();
}

// The rows of each engine the stored check holds unverified.
std::vector<int> unverifiedStored(CheckId id) {
    store::SqliteCheckStore store(store::storeFilePath());
    std::optional<StoredCheck> check = store.loadCheck(id);
    std::vector<int> unverified;
    for (const StoredPass& pass : check ? check->passes : std::vector<StoredPass>{}) {
        unverified.push_back(static_cast<int>(std::count_if(
            pass.rows.begin(), pass.rows.end(),
            [](const StoredRow& row) { return row.status == SegmentStatus::Unverified; })));
    }
    return unverified;
}

TEST(HistoryWindow, ABlockedCheckReopenedLaterIsRecheckedIntoTheSameRecord) {
    QTemporaryDir dir;
    testing::ScriptedPlatform platform;  // 确定 at every block prompt
    {
        testing::SearchSimProcess blocked{{QStringLiteral("--block-after"), QStringLiteral("6"),
                                           QStringLiteral("--block-kind"),
                                           QStringLiteral("captcha")}};
        auto program =
            testing::startOnSampleArticle(dir.path(), blocked.url(), blocked.url(), &platform);
        program->window().component<QPushButton>(component::kCheckButton)->click();
        ASSERT_TRUE(pumpUntil([&] { return !program->checkRunning(); }, std::chrono::seconds(60)));
    }
    const std::vector<CheckSummary> kept =
        store::SqliteCheckStore(store::storeFilePath()).listChecks();
    ASSERT_EQ(kept.size(), 1u);
    const std::vector<int> before = unverifiedStored(kept[0].id);
    ASSERT_EQ(before.size(), 2u);
    ASSERT_GT(before[0] + before[1], 0);

    // Another session: the engines answer again.
    testing::SearchSimProcess sim{QStringList()};
    auto program = testing::startOnSampleArticle(dir.path(), sim.url(), sim.url(), &platform);
    MainWindow& window = program->window();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window.component(MainWindow::kHistoryLink), &press);
    HistoryDialog& history = *program->historyDialog();
    history.table()->selectRow(0);
    history.openSelected();
    auto* recheck = window.component<QPushButton>(component::kRecheckButton);
    ASSERT_TRUE(recheck->isEnabled());
    recheck->click();
    ASSERT_TRUE(pumpUntil([&] { return !program->checkRunning(); }, std::chrono::seconds(60)));

    EXPECT_EQ(unverifiedStored(kept[0].id), (std::vector<int>{0, 0}));
    EXPECT_EQ(store::SqliteCheckStore(store::storeFilePath()).listChecks().size(), 1u);
    EXPECT_TRUE(window.component<QLabel>(component::kBaiduCoverageLabel)
                    ->text()
                    .startsWith(QStringLiteral("已核实 43/43")))
        << window.component<QLabel>(component::kBaiduCoverageLabel)->text().toStdString();
    EXPECT_FALSE(recheck->isEnabled());
}

}  // namespace
}  // namespace oc
