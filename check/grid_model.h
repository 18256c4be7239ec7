// The cells of a result grid: row 0 is the heading row and column 0 the fixed
// column, both counted. The edge rules of the grid operations live here, so
// every window that shows a grid answers them alike.
#pragma once

#include <cstdint>
#include <vector>

#include "services/text_types.h"

namespace oc {

inline constexpr std::uint32_t kDefaultTextColour = 0x000000;

struct GridCell {
    Text text;
    std::uint32_t colour = kDefaultTextColour;
    bool colourSet = false;
    Text tip;  // empty: none
};

// The background of a row without one of its own.
inline constexpr std::uint32_t kGridBackground = 0xFFFFFFFF;

class GridModel {
  public:
    explicit GridModel(int columns = 7, int fixedRows = 1);

    int rowCount() const { return static_cast<int>(rows_.size()); }
    int columnCount() const { return columns_; }
    int fixedRows() const { return fixedRows_; }
    bool contains(int row, int column) const;

    // Where appendRow puts a row: at `position` when fixedRows <= position <
    // rowCount, else at the end.
    int insertionRow(int position) const;
    // Inserts at insertionRow(position) and returns that index; the other
    // cells of the row are empty. A cursor row below moves down.
    int appendRow(const Text& title, int position);
    bool deleteRow(int row);
    bool setCell(int row, int column, const Text& text);
    Text cellText(int row, int column) const;
    const GridCell* cell(int row, int column) const;
    // The inclusive rectangle; row2/column2 are clipped to the last row/column.
    // False, with nothing changed, for a negative coordinate, a reversed
    // rectangle or a first corner outside the grid.
    bool setTextColour(int row1, int column1, int row2, int column2, std::uint32_t colour);

    bool setCellTip(int row, int column, const Text& tip);
    // kGridBackground gives the row back the grid's own background. False for
    // the heading row or a row outside the grid.
    bool setRowBackground(int row, std::uint32_t colour);
    std::uint32_t rowBackground(int row) const;

    void setCursor(int row, int column);
    int cursorRow() const { return cursorRow_; }
    int cursorColumn() const { return cursorColumn_; }

  private:
    int columns_;
    int fixedRows_;
    std::vector<std::vector<GridCell>> rows_;
    std::vector<std::uint32_t> backgrounds_;  // one per row
    int cursorRow_ = -1;
    int cursorColumn_ = -1;
};

// Column headings "编号", "文本", "飘红", "搜索", "状态", "来源", "覆盖" and widths 30, 300, 30,
// 250, 50, 160, 40.
const std::vector<Text>& resultGridHeadings();
inline constexpr int kResultGridWidths[7] = {30, 300, 30, 250, 50, 148, 52};
inline constexpr int kUrlColumn = 3;
// 命中 / 原创 / 未核实, the reason of 未核实 as the cell's tooltip.
inline constexpr int kStatusColumn = 4;
// The source of a 命中 row: its title (or 未识别), the address as the tooltip.
inline constexpr int kSourceColumn = 5;
// In 整句, the best share of a verified segment that one result's highlights
// cover ("92%"); empty otherwise.
inline constexpr int kCoverageColumn = 6;

}  // namespace oc
