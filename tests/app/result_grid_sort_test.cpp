// Sorting a result grid by a click on a heading: only the view is sorted, so
// the cells, the row numbers and everything that acts on a row (cursor, copy,
// clicks, tooltips, the context menu) stay with their rows.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QHeaderView>
#include <QHelpEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QToolTip>
#include <map>
#include <memory>

#include "app/desktop/grid_click.h"
#include "app/desktop/result_grid.h"
#include "check/grid_model.h"
#include "check/window_port.h"
#include "tests/app/shown_tip.h"
#include "tests/support/gbk.h"
#include "tests/support/scripted_platform.h"

namespace oc {
namespace {
using testing::G;
using testing::ScriptedPlatform;

constexpr int kHitsColumn = 2;

// A shown grid whose rows 1..n have these 飘红 values, a 搜索 address and a
// status each.
class SortedGrid : public ::testing::Test {
  protected:
    void fill(const std::vector<const char*>& hits) {
        setupResultGrid(grid_);
        for (const char* value : hits) {
            const int row = grid_.rowCount();
            grid_.appendRow(std::to_string(row), row);
            grid_.setCell(row, 1, G("段落") + std::to_string(row));
            grid_.setCell(row, kHitsColumn, value);
            grid_.setCell(row, kUrlColumn, "http://127.0.0.1:9/s?q=" + std::to_string(row));
            grid_.setCell(row, kStatusColumn, G(*value == '\0' ? "未核实" : "原创"));
        }
        grid_.resize(900, 300);
        grid_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid_));
    }

    // The row numbers from the top of the view down.
    std::vector<int> shown() const {
        std::vector<int> numbers;
        for (int i = 0; i < grid_.model()->rowCount(); ++i) {
            numbers.push_back(grid_.model()->headerData(i, Qt::Vertical).toInt());
        }
        return numbers;
    }

    // The centre of the cell in the i-th row shown, grid column `column`.
    QPoint cell(int shownRow, int column) const {
        return grid_.visualRect(grid_.model()->index(shownRow, column - 1)).center();
    }

    void clickHeading(int column) {
        if (column == 0) {
            QAbstractButton* corner = grid_.findChild<QAbstractButton*>();
            QTest::mouseClick(corner, Qt::LeftButton, {}, corner->rect().center());
            return;
        }
        QHeaderView* heading = grid_.horizontalHeader();
        const int section = column - 1;
        const int x = heading->sectionViewportPosition(section) + heading->sectionSize(section) / 2;
        QTest::mouseClick(heading->viewport(), Qt::LeftButton, {}, QPoint(x, 10));
    }

    ResultGrid grid_;
};

TEST_F(SortedGrid, ByHitsAndBackByNumber) {
    fill({"2", "10", "", "0", "", "1", "3", "1", "9", "4", "7", "0"});
    using V = std::vector<int>;

    // 飘红 in number order; rows that tie keep their order, empty cells come last.
    clickHeading(kHitsColumn);
    EXPECT_EQ(grid_.sortColumn(), kHitsColumn);
    EXPECT_EQ(shown(), (V{4, 12, 6, 8, 1, 7, 10, 11, 9, 2, 3, 5}));
    clickHeading(kHitsColumn);
    EXPECT_EQ(grid_.sortOrder(), Qt::DescendingOrder);
    EXPECT_EQ(shown(), (V{2, 9, 11, 10, 7, 1, 6, 8, 4, 12, 3, 5}));

    // The grid operations still address rows by their numbers; a changed or
    // new row takes its place in the order.
    EXPECT_EQ(grid_.cellText(2, kHitsColumn), "10");
    ASSERT_TRUE(grid_.setCell(3, kHitsColumn, "99"));
    ASSERT_TRUE(grid_.appendRow("13", 13));
    EXPECT_EQ(shown(), (V{3, 2, 9, 11, 10, 7, 1, 6, 8, 4, 12, 5, 13}));
    EXPECT_EQ(grid_.cellText(3, 1), G("段落3"));

    // Back by 编号 (the corner heading): 2 before 10, then the other way round.
    clickHeading(0);
    EXPECT_EQ(grid_.sortColumn(), 0);
    EXPECT_EQ(shown(), (V{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
    clickHeading(0);
    EXPECT_EQ(shown(), (V{13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}));
    EXPECT_LE(grid_.selectedRows().size(), 1u);

    // 状态 groups the rows (in pinyin order); 文本 and 搜索 do not sort.
    clickHeading(kStatusColumn);
    EXPECT_EQ(shown(), (V{3, 5, 1, 2, 4, 6, 7, 8, 9, 10, 11, 12, 13}));
    clickHeading(1);
    clickHeading(kUrlColumn);
    EXPECT_EQ(grid_.sortColumn(), kStatusColumn);
    EXPECT_FALSE(grid_.sortBy(kUrlColumn, Qt::AscendingOrder));
}

// The heading sorted by carries a mark; the corner is the heading of 编号.
TEST_F(SortedGrid, TheSortedHeadingIsMarked) {
    fill({"1"});
    auto marked = [](QWidget* heading, int x) {
        const QImage image = heading->grab().toImage();
        for (int y = 1; y <= 5; ++y) {
            for (int dx = -3; dx <= 3; ++dx) {
                if (qGray(image.pixel(x + dx, y)) < 128) {
                    return true;
                }
            }
        }
        return false;
    };
    QHeaderView* heading = grid_.horizontalHeader();
    auto centre = [heading](int column) {
        return heading->sectionViewportPosition(column - 1) + heading->sectionSize(column - 1) / 2;
    };
    auto* corner = grid_.findChild<QAbstractButton*>();
    EXPECT_FALSE(marked(heading->viewport(), centre(kHitsColumn)));
    EXPECT_FALSE(marked(corner, corner->width() / 2));

    grid_.sortBy(kHitsColumn, Qt::DescendingOrder);
    EXPECT_TRUE(marked(heading->viewport(), centre(kHitsColumn)));
    EXPECT_FALSE(marked(heading->viewport(), centre(kStatusColumn)));
    grid_.sortBy(0, Qt::AscendingOrder);
    EXPECT_FALSE(marked(heading->viewport(), centre(kHitsColumn)));
    EXPECT_TRUE(marked(corner, corner->width() / 2));
}

// New rows are followed only while they come at the end of the view and the
// user has not scrolled away.
TEST_F(SortedGrid, FollowsNewRowsOnlyInNumberOrder) {
    fill(std::vector<const char*>(30, "1"));
    QScrollBar* bar = grid_.verticalScrollBar();
    auto add = [this] {
        const int row = grid_.rowCount();
        grid_.appendRow(std::to_string(row), row);
        QCoreApplication::processEvents();
    };
    // Rows added while the grid was hidden (a tab in the background).
    ASSERT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());

    grid_.sortBy(kHitsColumn, Qt::DescendingOrder);
    bar->setValue(bar->maximum());
    add();  // an empty 飘红: shown last, but the view does not go there
    EXPECT_LT(bar->value(), bar->maximum());

    grid_.sortBy(0, Qt::AscendingOrder);
    QCoreApplication::processEvents();
    bar->setValue(bar->maximum());
    add();
    EXPECT_EQ(bar->value(), bar->maximum());
    bar->setValue(3);
    add();
    EXPECT_EQ(bar->value(), 3);
}

// A click on a heading shows the top of the sorted rows, wherever the view was:
// sorted by 飘红 highest first, the most highlighted row is in sight.
TEST_F(SortedGrid, SortingScrollsToTheFirstRow) {
    std::vector<const char*> hits(40, "0");
    hits[35] = "9";
    fill(hits);
    QScrollBar* bar = grid_.verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    bar->setValue(bar->maximum());
    clickHeading(kHitsColumn);
    EXPECT_EQ(bar->value(), 0);
    bar->setValue(bar->maximum());
    clickHeading(kHitsColumn);
    ASSERT_EQ(grid_.sortOrder(), Qt::DescendingOrder);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(shown().front(), 36);
    EXPECT_TRUE(grid_.viewport()->rect().contains(cell(0, kHitsColumn)));
}

// After sorting, a selection copies the rows it shows, a click opens the
// address of the row under the mouse, and a tooltip belongs to that row.
TEST_F(SortedGrid, CopyClicksAndTipsFollowTheRowsShown) {
    fill({"2", "10", "0", "1"});
    ScriptedPlatform platform;
    QObject::connect(&grid_, &ResultGrid::gridClicked,
                     [this, &platform] { handleGridClick(grid_, platform); });
    QString copied;
    QObject::connect(&grid_, &ResultGrid::copyRequested,
                     [&copied](const QString& text) { copied = text; });
    grid_.setCellTip(2, kStatusColumn, G("屏蔽/验证码"));
    grid_.sortBy(kHitsColumn, Qt::DescendingOrder);  // shown: 2, 1, 4, 3

    QTest::mouseClick(grid_.viewport(), Qt::LeftButton, {}, cell(0, kUrlColumn));
    EXPECT_EQ(platform.opened(), std::vector<Text>{"http://127.0.0.1:9/s?q=2"});
    EXPECT_EQ(grid_.cursorRow(), 2);
    EXPECT_EQ(grid_.textColour(2, kUrlColumn), kColourPurple);

    QTest::mouseClick(grid_.viewport(), Qt::LeftButton, Qt::ShiftModifier, cell(2, 1));
    EXPECT_EQ(grid_.selectedRows(), (std::vector<int>{2, 1, 4}));
    QTest::keyClick(&grid_, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(copied, QStringLiteral("2\t段落2\t10\thttp://127.0.0.1:9/s?q=2\t原创\t\t\r\n"
                                     "1\t段落1\t2\thttp://127.0.0.1:9/s?q=1\t原创\t\t\r\n"
                                     "4\t段落4\t1\thttp://127.0.0.1:9/s?q=4\t原创\t\t\r\n"));
    EXPECT_EQ(platform.opened().size(), 1u);

    QHelpEvent help(QEvent::ToolTip, cell(0, kStatusColumn),
                    grid_.viewport()->mapToGlobal(cell(0, kStatusColumn)));
    QCoreApplication::sendEvent(grid_.viewport(), &help);
    EXPECT_EQ(testing::shownTip(QToolTip::text()), QStringLiteral("屏蔽/验证码"));
    QToolTip::hideText();
}

// A page's title or address in a tooltip is shown as it is, never as markup:
// no image is loaded, no text made bold or hidden.
TEST_F(SortedGrid, TipsShowPageTextAsItIs) {
    fill({"1", "2"});
    const std::string hostile = "<img src=\"http://evil/\"><b>粗</b>&amp;<!--x-->";
    grid_.setCellTip(1, kSourceColumn, G(hostile));
    QHelpEvent help(QEvent::ToolTip, cell(0, kSourceColumn),
                    grid_.viewport()->mapToGlobal(cell(0, kSourceColumn)));
    QCoreApplication::sendEvent(grid_.viewport(), &help);
    EXPECT_EQ(testing::shownTip(QToolTip::text()), QString::fromUtf8(hostile));
    QToolTip::hideText();
    QAbstractItemModel* model = grid_.model();
    EXPECT_EQ(testing::shownTip(
                  model->data(model->index(0, kSourceColumn - 1), Qt::ToolTipRole).toString()),
              QString::fromUtf8(hostile));
}

// The context menu copies the selected rows, their search and source
// addresses, and opens the link of the row it was opened on.
TEST_F(SortedGrid, ContextMenuEntries) {
    fill({"1", "3", "2"});
    grid_.setCell(2, kSourceColumn, G("网页标题"));
    grid_.setCellTip(2, kSourceColumn, "https://news.example.cn/a.html");
    grid_.sortBy(kHitsColumn, Qt::DescendingOrder);  // shown: 2, 3, 1
    QString copied;
    QObject::connect(&grid_, &ResultGrid::copyRequested,
                     [&copied](const QString& text) { copied = text; });
    std::vector<int> opened;
    QObject::connect(&grid_, &ResultGrid::openRequested,
                     [&opened](int row, int column) { opened.push_back(row * 10 + column); });
    auto entries = [](QMenu& menu) {
        std::map<QString, QAction*> byText;
        for (QAction* action : menu.actions()) {
            byText[action->text()] = action;
        }
        return byText;
    };

    // On a row outside the selection: that row alone, no source address.
    std::unique_ptr<QMenu> menu = grid_.contextMenuAt(cell(1, 1));
    ASSERT_NE(menu, nullptr);
    auto actions = entries(*menu);
    ASSERT_EQ(actions.size(), 4u);
    EXPECT_FALSE(actions[QStringLiteral("复制来源网址")]->isEnabled());
    actions[QStringLiteral("复制")]->trigger();
    EXPECT_EQ(copied, QStringLiteral("3\t段落3\t2\thttp://127.0.0.1:9/s?q=3\t原创\t\t\r\n"));
    actions[QStringLiteral("打开链接")]->trigger();
    EXPECT_EQ(opened, std::vector<int>{3 * 10 + kUrlColumn});

    // With rows 2 and 3 selected: one address a line, none for a row without.
    QTest::mouseClick(grid_.viewport(), Qt::LeftButton, Qt::ShiftModifier, cell(0, 1));
    menu = grid_.contextMenuAt(cell(0, 1));
    actions = entries(*menu);
    actions[QStringLiteral("复制搜索网址")]->trigger();
    EXPECT_EQ(copied, QStringLiteral("http://127.0.0.1:9/s?q=2\r\nhttp://127.0.0.1:9/s?q=3"));
    ASSERT_TRUE(actions[QStringLiteral("复制来源网址")]->isEnabled());
    actions[QStringLiteral("复制来源网址")]->trigger();
    EXPECT_EQ(copied, QStringLiteral("https://news.example.cn/a.html"));
    actions[QStringLiteral("打开链接")]->trigger();
    EXPECT_EQ(opened.back(), 2 * 10 + kUrlColumn);

    // Below the last row, with nothing selected: no menu.
    grid_.moveCursorTo(-1, -1);
    EXPECT_EQ(grid_.contextMenuAt(QPoint(5, grid_.viewport()->height() - 2)), nullptr);
}

// 文本 takes the width the other columns leave, also when a scroll bar comes
// or goes, and keeps its set width when there is none to spare.
TEST_F(SortedGrid, TextColumnTakesTheFreeWidth) {
    fill({"1"});
    auto used = [this] {
        int sum = 0;
        for (int column = 1; column < grid_.columnCount(); ++column) {
            sum += grid_.gridColumnWidth(column);
        }
        return sum;
    };
    EXPECT_EQ(used(), grid_.viewport()->width());
    for (int i = 0; i < 30; ++i) {
        grid_.appendRow("n", grid_.rowCount());
    }
    QCoreApplication::processEvents();
    ASSERT_TRUE(grid_.verticalScrollBar()->isVisible());
    EXPECT_EQ(used(), grid_.viewport()->width());
    EXPECT_FALSE(grid_.horizontalScrollBar()->isVisible());

    grid_.resize(500, 300);
    QCoreApplication::processEvents();
    EXPECT_EQ(grid_.gridColumnWidth(1), kResultGridWidths[1]);
}

}  // namespace
}  // namespace oc
