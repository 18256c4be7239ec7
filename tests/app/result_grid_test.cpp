#include "app/desktop/result_grid.h"

#include <gtest/gtest.h>

#include <QStyle>

#include <QBrush>
#include <QHeaderView>
#include <QTest>

#include "app/desktop/grid_click.h"
#include "check/grid_model.h"
#include "check/window_port.h"
#include "tests/app/shown_tip.h"
#include "tests/support/gbk.h"
#include "tests/support/scripted_platform.h"

namespace oc {
namespace {
using testing::G;
using testing::ScriptedPlatform;

// A grid set up as at start-up, with `rows` data rows titled 1..rows.
void fill(ResultGrid& grid, int rows) {
    for (int i = 0; i < rows; ++i) {
        const int r = grid.rowCount();
        ASSERT_TRUE(grid.appendRow(toText(r), r));
    }
}

std::vector<Text> titles(const ResultGrid& grid) {
    std::vector<Text> out;
    for (int r = 0; r < grid.rowCount(); ++r) {
        out.push_back(grid.cellText(r, 0));
    }
    return out;
}

TEST(ResultGrid, DesignValuesAndSetUp) {
    ResultGrid grid;
    EXPECT_EQ(grid.rowCount(), 1);
    EXPECT_EQ(grid.columnCount(), static_cast<int>(std::size(kResultGridWidths)));
    EXPECT_EQ(grid.cursorRow(), -1);
    EXPECT_EQ(grid.cursorColumn(), -1);
    EXPECT_EQ(grid.gridColumnWidth(1), ResultGrid::kDefaultColumnWidth);
    EXPECT_EQ(grid.verticalHeader()->defaultSectionSize(), ResultGrid::kRowHeight);

    setupResultGrid(grid);
    EXPECT_EQ(grid.gridColumnWidth(0), 30);
    EXPECT_EQ(grid.gridColumnWidth(1), 300);
    EXPECT_EQ(grid.gridColumnWidth(2), 30);
    EXPECT_EQ(grid.gridColumnWidth(3), 250);
    EXPECT_EQ(titles(grid), std::vector<Text>{G("编号")});
    EXPECT_EQ(grid.cellText(0, 1), G("文本"));
    EXPECT_EQ(grid.cellText(0, 2), G("飘红"));
    EXPECT_EQ(grid.cellText(0, 3), G("搜索"));
    // The heading row is what the view shows as its header.
    EXPECT_EQ(grid.model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("搜索"));
    // A full coverage is shown whole, not cut to "10…".
    const int coverage = static_cast<int>(std::size(kResultGridWidths)) - 1;
    EXPECT_GE(grid.gridColumnWidth(coverage),
              grid.fontMetrics().horizontalAdvance(QStringLiteral("100%")) +
                  2 * grid.style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 8);
}

TEST(ResultGrid, PassPatternAppendsTitledRowsAndResetKeepsHeadings) {
    ResultGrid grid;
    setupResultGrid(grid);
    fill(grid, 10);
    EXPECT_EQ(grid.rowCount(), 11);
    EXPECT_EQ(grid.cellText(1, 0), "1");
    EXPECT_EQ(grid.cellText(10, 0), "10");
    EXPECT_EQ(grid.model()->headerData(9, Qt::Vertical).toString(), QStringLiteral("10"));
    EXPECT_TRUE(grid.setCell(3, 1, G("段落文本")));
    EXPECT_TRUE(grid.setCell(3, 2, 7));
    EXPECT_EQ(grid.cellText(3, 1), G("段落文本"));
    EXPECT_EQ(grid.cellText(3, 2), "7");
    EXPECT_TRUE(grid.setCell(3, 2, -12));
    EXPECT_EQ(grid.cellText(3, 2), "-12");
    // A segment keeps the article's line breaks; the cell shows one line.
    EXPECT_TRUE(grid.setCell(4, 1, G("标题\r\n正文")));
    EXPECT_EQ(grid.cellText(4, 1), G("标题\r\n正文"));
    EXPECT_EQ(grid.model()->data(grid.model()->index(3, 0)).toString(),
              QStringLiteral("标题  正文"));

    while (grid.rowCount() > 1) {
        ASSERT_TRUE(grid.deleteRow(grid.rowCount() - 1));
    }
    EXPECT_EQ(grid.rowCount(), 1);
    EXPECT_EQ(grid.cellText(0, 3), G("搜索"));
    EXPECT_EQ(grid.gridColumnWidth(1), 300);
    EXPECT_EQ(grid.gridColumnWidth(3), 250);
}

TEST(ResultGrid, InsertPositionAndCursorRules) {
    ResultGrid grid;
    fill(grid, 4);  // rows 0..4, titles 1..4
    grid.moveCursorTo(3, 2);

    // Inside fixed rows .. row count - 1: inserted there; a cursor below moves down.
    EXPECT_TRUE(grid.appendRow("a", 2));
    EXPECT_EQ(grid.cellText(2, 0), "a");
    EXPECT_EQ(grid.cellText(3, 0), "2");
    EXPECT_EQ(grid.cursorRow(), 4);
    EXPECT_EQ(grid.cursorColumn(), 2);

    // A cursor on the insertion row stays where it is.
    EXPECT_TRUE(grid.appendRow("b", 4));
    EXPECT_EQ(grid.cursorRow(), 4);

    // Position 0 (a fixed row), the row count or beyond: appended at the end.
    for (int position : {0, -3, 7, 100}) {
        const int before = grid.rowCount();
        EXPECT_TRUE(grid.appendRow("end", position));
        EXPECT_EQ(grid.rowCount(), before + 1);
        EXPECT_EQ(grid.cellText(before, 0), "end") << position;
    }
    EXPECT_EQ(grid.cursorRow(), 4);
    // The new row's other cells are empty.
    EXPECT_EQ(grid.cellText(2, 1), "");
}

TEST(ResultGrid, DeleteRowEdgesAndCursor) {
    ResultGrid grid;
    fill(grid, 5);
    EXPECT_FALSE(grid.deleteRow(-1));
    EXPECT_FALSE(grid.deleteRow(6));
    EXPECT_EQ(grid.rowCount(), 6);

    grid.moveCursorTo(4, 3);
    EXPECT_TRUE(grid.deleteRow(2));  // above the cursor: it moves up
    EXPECT_EQ(grid.cursorRow(), 3);
    EXPECT_EQ(grid.cursorColumn(), 3);
    EXPECT_EQ((std::vector<Text>{"", "1", "3", "4", "5"}), titles(grid));
    EXPECT_TRUE(grid.deleteRow(4));  // below the cursor: it stays
    EXPECT_EQ(grid.cursorRow(), 3);
    EXPECT_TRUE(grid.deleteRow(3));  // the cursor row: no cursor
    EXPECT_EQ(grid.cursorRow(), -1);
    EXPECT_EQ(grid.cursorColumn(), -1);
}

TEST(ResultGrid, DeletingTheHeadingRowPromotesTheNextRow) {
    ResultGrid grid;
    setupResultGrid(grid);
    fill(grid, 2);
    EXPECT_TRUE(grid.deleteRow(0));
    EXPECT_EQ(grid.rowCount(), 2);
    EXPECT_EQ(grid.cellText(0, 0), "1");
    EXPECT_TRUE(grid.deleteRow(0));
    EXPECT_TRUE(grid.deleteRow(0));
    EXPECT_EQ(grid.rowCount(), 0);
    EXPECT_FALSE(grid.deleteRow(0));
    EXPECT_FALSE(grid.setCell(0, 0, "x"));
    // Appending to an empty grid gives row 0 again.
    EXPECT_TRUE(grid.appendRow("h", 0));
    EXPECT_EQ(grid.rowCount(), 1);
    EXPECT_EQ(grid.cellText(0, 0), "h");
}

TEST(ResultGrid, CellsOutsideTheGridAreRefused) {
    ResultGrid grid;
    fill(grid, 1);
    const int columns = grid.columnCount();
    EXPECT_FALSE(grid.setCell(2, 1, "x"));
    EXPECT_FALSE(grid.setCell(1, columns, "x"));
    EXPECT_FALSE(grid.setCell(-1, 0, "x"));
    EXPECT_FALSE(grid.setCell(0, -1, 5));
    EXPECT_EQ(grid.cellText(7, 7), "");
    EXPECT_FALSE(grid.setGridColumnWidth(columns, 10));
    EXPECT_FALSE(grid.setGridColumnWidth(-1, 10));
    EXPECT_FALSE(grid.setGridColumnWidth(1, -1));
    EXPECT_TRUE(grid.setGridColumnWidth(1, 0));
    EXPECT_EQ(grid.gridColumnWidth(1), 0);
    EXPECT_TRUE(grid.setGridColumnWidth(2, 3));
    EXPECT_EQ(grid.gridColumnWidth(2), 3);
}

TEST(ResultGrid, TextColourRectangleIsClippedOrRefused) {
    ResultGrid grid;
    fill(grid, 3);  // rows 0..3
    const int columns = grid.columnCount();
    EXPECT_TRUE(grid.setTextColour(2, 2, 9, 9, kColourBlue));
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < columns; ++c) {
            EXPECT_EQ(grid.textColour(r, c), r >= 2 && c >= 2 ? kColourBlue : 0u) << r << c;
        }
    }
    // Blue as the view draws it: COLORREF 0xFF0000 is RGB 0,0,255.
    const QVariant drawn = grid.model()->data(grid.model()->index(1, 1), Qt::ForegroundRole);
    EXPECT_EQ(drawn.value<QBrush>().color(), QColor(0, 0, 255));

    EXPECT_FALSE(grid.setTextColour(4, 0, 4, 0, kColourPurple));  // first corner outside
    EXPECT_FALSE(grid.setTextColour(0, columns, 0, columns, kColourPurple));
    EXPECT_FALSE(grid.setTextColour(-1, 0, 1, 1, kColourPurple));  // negative
    EXPECT_FALSE(grid.setTextColour(0, 0, 1, -1, kColourPurple));
    EXPECT_FALSE(grid.setTextColour(3, 3, 2, 3, kColourPurple));  // reversed
    EXPECT_FALSE(grid.setTextColour(3, 3, 3, 2, kColourPurple));
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < columns; ++c) {
            EXPECT_NE(grid.textColour(r, c), kColourPurple);
        }
    }
    EXPECT_TRUE(grid.setTextColour(0, 0, 0, 0, kColourPurple));
    EXPECT_EQ(grid.textColour(0, 0), kColourPurple);
}

// A segment's status: its reason as the cell's tooltip, its row's background.
// Both stay with their row when rows come and go above it.
TEST(ResultGrid, TipsAndRowBackgroundsFollowTheirRows) {
    ResultGrid grid;
    setupResultGrid(grid);
    fill(grid, 3);
    const int last = grid.columnCount() - 1;
    QAbstractItemModel* model = grid.model();
    auto background = [model](int row, int column) {
        return model->data(model->index(row - 1, column - 1), Qt::BackgroundRole);
    };

    EXPECT_TRUE(grid.setCellTip(2, last, G("屏蔽/验证码")));
    EXPECT_EQ(testing::shownTip(model->data(model->index(1, last - 1), Qt::ToolTipRole).toString()),
              QStringLiteral("屏蔽/验证码"));
    EXPECT_FALSE(model->data(model->index(0, last - 1), Qt::ToolTipRole).isValid());
    EXPECT_TRUE(grid.setRowBackground(2, kColourUnverifiedRow));
    EXPECT_TRUE(grid.setRowBackground(3, kColourHitRow));
    for (int column = 1; column <= last; ++column) {
        EXPECT_EQ(background(2, column).value<QBrush>().color(), QColor(0xE0, 0xE0, 0xE0));
        EXPECT_EQ(background(3, column).value<QBrush>().color(), QColor(0xFF, 0xE0, 0xE0));
        EXPECT_FALSE(background(1, column).isValid());
    }
    EXPECT_EQ(model->headerData(1, Qt::Vertical, Qt::BackgroundRole).value<QBrush>().color(),
              QColor(0xE0, 0xE0, 0xE0));

    // Row 1 goes: the statuses move up with their rows.
    ASSERT_TRUE(grid.deleteRow(1));
    EXPECT_EQ(grid.cellTip(1, last), G("屏蔽/验证码"));
    EXPECT_EQ(grid.rowBackground(1), kColourUnverifiedRow);
    EXPECT_EQ(grid.rowBackground(2), kColourHitRow);
    ASSERT_TRUE(grid.appendRow("x", 1));
    EXPECT_EQ(grid.rowBackground(1), kNoBackground);
    EXPECT_EQ(grid.cellTip(1, last), "");
    EXPECT_EQ(grid.rowBackground(2), kColourUnverifiedRow);

    // A recheck turns the row white again and clears its reason.
    EXPECT_TRUE(grid.setRowBackground(2, kNoBackground));
    EXPECT_TRUE(grid.setCellTip(2, last, ""));
    EXPECT_FALSE(background(2, 1).isValid());
    EXPECT_FALSE(model->data(model->index(1, last - 1), Qt::ToolTipRole).isValid());

    // The heading row has no background of its own; outside the grid nothing changes.
    EXPECT_FALSE(grid.setRowBackground(0, kColourHitRow));
    EXPECT_FALSE(grid.setRowBackground(grid.rowCount(), kColourHitRow));
    EXPECT_FALSE(grid.setRowBackground(-1, kColourHitRow));
    EXPECT_FALSE(grid.setCellTip(1, last + 1, "x"));
    EXPECT_FALSE(grid.setCellTip(grid.rowCount(), 1, "x"));
    EXPECT_EQ(grid.rowBackground(0), kNoBackground);
}

TEST(ResultGrid, ClickOnUrlCellOpensItAndTurnsItPurple) {
    ScriptedPlatform platform;
    ResultGrid grid;
    setupResultGrid(grid);
    fill(grid, 3);
    grid.setCell(1, 3, "http://127.0.0.1/s?wd=a");
    grid.setCell(2, 3, "ftp://example.org/");
    grid.setCell(3, 1, G("正文"));

    grid.moveCursorTo(1, 3);
    handleGridClick(grid, platform);
    EXPECT_EQ(platform.opened(), std::vector<Text>{"http://127.0.0.1/s?wd=a"});
    EXPECT_EQ(grid.textColour(1, 3), kColourPurple);

    // The text column, the heading row, no cursor: nothing happens.
    for (auto [row, column] : {std::pair{3, 1}, {0, 3}, {-1, -1}, {1, 0}}) {
        grid.moveCursorTo(row, column);
        handleGridClick(grid, platform);
    }
    EXPECT_EQ(platform.opened().size(), 1u);
    EXPECT_EQ(grid.textColour(3, 1), 0u);
    EXPECT_EQ(grid.textColour(0, 3), 0u);

    // Not a web address, or no address yet: not opened.
    grid.moveCursorTo(2, 3);
    handleGridClick(grid, platform);
    grid.moveCursorTo(3, 3);
    handleGridClick(grid, platform);
    EXPECT_EQ(platform.opened().size(), 1u);

    // A 来源 cell opens the address of its tooltip, a web address only: a
    // source without an address (未识别) or a local path is not opened.
    grid.setCell(1, kSourceColumn, G("网页标题"));
    grid.setCellTip(1, kSourceColumn, "https://news.example.cn/a.html");
    grid.setCell(2, kSourceColumn, G("未识别"));
    grid.setCell(3, kSourceColumn, G("本地"));
    grid.setCellTip(3, kSourceColumn, "/home/editor/a.txt");
    for (int row : {1, 2, 3}) {
        grid.moveCursorTo(row, kSourceColumn);
        handleGridClick(grid, platform);
    }
    EXPECT_EQ(platform.opened(),
              (std::vector<Text>{"http://127.0.0.1/s?wd=a", "https://news.example.cn/a.html"}));
    EXPECT_EQ(grid.textColour(1, kSourceColumn), kColourPurple);
    EXPECT_EQ(grid.textColour(3, kSourceColumn), 0u);
}

TEST(ResultGrid, MouseClicksMoveTheCursorAndRaiseClicked) {
    ResultGrid grid;
    setupResultGrid(grid);
    fill(grid, 2);
    grid.resize(700, 200);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    int clicks = 0;
    QObject::connect(&grid, &ResultGrid::gridClicked, [&clicks] { ++clicks; });

    const QRect cell = grid.visualRect(grid.model()->index(1, 2));  // row 2, column 3
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(grid.cursorRow(), 2);
    EXPECT_EQ(grid.cursorColumn(), 3);
    EXPECT_EQ(clicks, 1);

    // The heading "搜索" is a cell too.
    QHeaderView* heading = grid.horizontalHeader();
    const int x = heading->sectionViewportPosition(2) + heading->sectionSize(2) / 2;
    QTest::mouseClick(heading->viewport(), Qt::LeftButton, {}, QPoint(x, 10));
    EXPECT_EQ(grid.cursorRow(), 0);
    EXPECT_EQ(grid.cursorColumn(), 3);
    EXPECT_EQ(clicks, 2);

    // Below the last row there is no cell: no click.
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, QPoint(10, 150));
    EXPECT_EQ(clicks, 2);
}

}  // namespace
}  // namespace oc
