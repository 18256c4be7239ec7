// The history list on the offscreen platform: filter, sort, delete with its
// confirmation, 对比 of two checks, and the buttons handing a check on.
#include "app/desktop/history_dialog.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QTableView>

#include "app/desktop/history_model.h"
#include "services/boundary_text.h"
#include "store/sqlite_check_store.h"
#include "tests/support/file_fixtures.h"
#include "tests/support/scripted_platform.h"

namespace oc {
namespace {

CheckId storeCheck(CheckStore& store, const std::string& article, StoreTime at,
                   const std::vector<std::pair<std::string, SegmentStatus>>& rows,
                   const std::string& value) {
    CheckStart start;
    start.startedAt = at;
    start.article = article;
    start.title = checkTitle(article);
    start.chars = static_cast<int>(rows.size()) * 10;
    start.origin = "window";
    const CheckId id = *store.beginCheck(start);
    store.writePass(id, {Engine::Baidu, "running", "", "", "", "", static_cast<int>(rows.size())});
    int number = 0;
    for (const auto& [text, status] : rows) {
        StoredRow row;
        row.number = ++number;
        row.text = text;
        row.status = status;
        store.writeRow(id, Engine::Baidu, row);
    }
    store.writePass(id, {Engine::Baidu, "normal", "finished", value, "已核实", "", number});
    store.endCheck(id, at + 10);
    return id;
}

class HistoryDialogTest : public ::testing::Test {
  protected:
    HistoryDialogTest() : store_(folder_.nativePath("checks.db")) {
        older_ =
            storeCheck(store_, "春天的故事\n正文", 1000,
                       {{"甲段", SegmentStatus::Hit}, {"乙段", SegmentStatus::Original}}, "50%");
        newer_ = storeCheck(store_, "秋天的故事\n正文", 2000,
                            {{"甲段", SegmentStatus::Original},
                             {"乙段", SegmentStatus::Original},
                             {"丙段", SegmentStatus::Original}},
                            "100%");
        other_ = storeCheck(store_, "Winter notes", 1500, {{"x", SegmentStatus::Original}}, "100%");
    }
    QString cell(HistoryDialog& dialog, int row, int column) {
        return dialog.table()->model()->index(row, column).data().toString();
    }

    testing::TempFolder folder_;
    store::SqliteCheckStore store_;
    testing::ScriptedPlatform platform_;
    CheckId older_ = 0, newer_ = 0, other_ = 0;
};

TEST_F(HistoryDialogTest, NewestFirstFilteredByTitleAndSortable) {
    HistoryDialog dialog(store_, platform_);
    QAbstractItemModel* model = dialog.table()->model();
    ASSERT_EQ(model->rowCount(), 3);
    EXPECT_EQ(cell(dialog, 0, HistoryModel::Title), QStringLiteral("秋天的故事"));
    EXPECT_EQ(cell(dialog, 0, HistoryModel::Baidu), QStringLiteral("100% (已核实)"));
    EXPECT_EQ(cell(dialog, 0, HistoryModel::So360), QString());
    EXPECT_EQ(cell(dialog, 0, HistoryModel::State), QStringLiteral("完成"));
    EXPECT_EQ(cell(dialog, 2, HistoryModel::Title), QStringLiteral("春天的故事"));

    dialog.filterBox()->setText(QStringLiteral("故事"));
    EXPECT_EQ(model->rowCount(), 2);
    dialog.filterBox()->setText(QStringLiteral("WINTER"));
    ASSERT_EQ(model->rowCount(), 1);
    dialog.filterBox()->clear();
    // By characters, fewest first: numbers, not text.
    dialog.table()->sortByColumn(HistoryModel::Chars, Qt::AscendingOrder);
    EXPECT_EQ(cell(dialog, 0, HistoryModel::Chars), QStringLiteral("10"));
    EXPECT_EQ(cell(dialog, 2, HistoryModel::Chars), QStringLiteral("30"));
}

TEST_F(HistoryDialogTest, ButtonsHandOnTheSelectedCheck) {
    HistoryDialog dialog(store_, platform_);
    std::vector<CheckId> opened, exported, rechecked;
    dialog.setOpenHandler([&](CheckId id) { opened.push_back(id); });
    dialog.setExportHandler([&](CheckId id) { exported.push_back(id); });
    dialog.setRecheckHandler([&](CheckId id) { rechecked.push_back(id); });
    dialog.openSelected();  // nothing selected: said, nothing opened
    EXPECT_TRUE(opened.empty());
    ASSERT_EQ(platform_.messages().size(), 1u);
    dialog.selectChecks({other_});
    dialog.openSelected();
    dialog.exportSelected();
    dialog.recheckSelected();
    EXPECT_EQ(opened, std::vector<CheckId>{other_});
    EXPECT_EQ(exported, std::vector<CheckId>{other_});
    EXPECT_EQ(rechecked, std::vector<CheckId>{other_});
}

TEST_F(HistoryDialogTest, DeleteAsksFirst) {
    HistoryDialog dialog(store_, platform_);
    dialog.selectChecks({older_, other_});
    platform_.queueAnswer(kAnswerCancel);
    EXPECT_FALSE(dialog.deleteSelected());
    EXPECT_EQ(store_.listChecks().size(), 3u);
    EXPECT_NE(utf8FromGbk(platform_.messages().back().message).find("2 条"), std::string::npos);
    platform_.queueAnswer(kAnswerOk);
    EXPECT_TRUE(dialog.deleteSelected());
    ASSERT_EQ(store_.listChecks().size(), 1u);
    EXPECT_EQ(store_.listChecks()[0].id, newer_);
    EXPECT_EQ(dialog.table()->model()->rowCount(), 1);
}

TEST_F(HistoryDialogTest, CompareShowsValuesAndChangedSegmentsEarlierFirst) {
    HistoryDialog dialog(store_, platform_);
    dialog.selectChecks({newer_});
    EXPECT_TRUE(dialog.compareSelected().isEmpty());  // one is not two
    dialog.selectChecks({newer_, older_});
    const QString html = dialog.compareSelected();
    EXPECT_TRUE(html.contains(QStringLiteral("百度：50% → 100%"))) << html.toStdString();
    EXPECT_TRUE(html.contains(QStringLiteral("<td>命中</td><td>原创</td><td>甲段</td>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<td>新增</td><td>原创</td><td>丙段</td>")));
    EXPECT_FALSE(html.contains(QStringLiteral("乙段")));  // unchanged
}

}  // namespace
}  // namespace oc
