#include "check/grid_model.h"

#include <algorithm>

#include "services/boundary_text.h"

namespace oc {

GridModel::GridModel(int columns, int fixedRows)
    : columns_(std::max(columns, 1)), fixedRows_(std::max(fixedRows, 0)) {
    rows_.assign(static_cast<std::size_t>(std::max(fixedRows_, 1)),
                 std::vector<GridCell>(static_cast<std::size_t>(columns_)));
    backgrounds_.assign(rows_.size(), kGridBackground);
}

bool GridModel::contains(int row, int column) const {
    return row >= 0 && row < rowCount() && column >= 0 && column < columns_;
}

int GridModel::insertionRow(int position) const {
    return position >= fixedRows_ && position < rowCount() ? position : rowCount();
}

int GridModel::appendRow(const Text& title, int position) {
    const int at = insertionRow(position);
    std::vector<GridCell> row(static_cast<std::size_t>(columns_));
    row[0].text = title;
    rows_.insert(rows_.begin() + at, std::move(row));
    backgrounds_.insert(backgrounds_.begin() + at, kGridBackground);
    if (cursorRow_ > at) {
        ++cursorRow_;
    }
    return at;
}

bool GridModel::deleteRow(int row) {
    if (row < 0 || row >= rowCount()) {
        return false;
    }
    rows_.erase(rows_.begin() + row);
    backgrounds_.erase(backgrounds_.begin() + row);
    if (cursorRow_ == row) {
        cursorRow_ = cursorColumn_ = -1;
    } else if (cursorRow_ > row) {
        --cursorRow_;
    }
    return true;
}

bool GridModel::setCell(int row, int column, const Text& text) {
    if (!contains(row, column)) {
        return false;
    }
    rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)].text = text;
    return true;
}

Text GridModel::cellText(int row, int column) const {
    const GridCell* c = cell(row, column);
    return c ? c->text : Text();
}

const GridCell* GridModel::cell(int row, int column) const {
    if (!contains(row, column)) {
        return nullptr;
    }
    return &rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

bool GridModel::setTextColour(int row1, int column1, int row2, int column2, std::uint32_t colour) {
    if (row1 < 0 || column1 < 0 || row2 < 0 || column2 < 0 || !contains(row1, column1)) {
        return false;
    }
    row2 = std::min(row2, rowCount() - 1);
    column2 = std::min(column2, columns_ - 1);
    if (row2 < row1 || column2 < column1) {
        return false;
    }
    for (int r = row1; r <= row2; ++r) {
        for (int c = column1; c <= column2; ++c) {
            GridCell& target = rows_[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
            target.colour = colour;
            target.colourSet = true;
        }
    }
    return true;
}

bool GridModel::setCellTip(int row, int column, const Text& tip) {
    if (!contains(row, column)) {
        return false;
    }
    rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)].tip = tip;
    return true;
}

bool GridModel::setRowBackground(int row, std::uint32_t colour) {
    if (row < fixedRows_ || row >= rowCount()) {
        return false;
    }
    backgrounds_[static_cast<std::size_t>(row)] = colour;
    return true;
}

std::uint32_t GridModel::rowBackground(int row) const {
    return row >= 0 && row < rowCount() ? backgrounds_[static_cast<std::size_t>(row)]
                                        : kGridBackground;
}

void GridModel::setCursor(int row, int column) {
    if (contains(row, column)) {
        cursorRow_ = row;
        cursorColumn_ = column;
    } else {
        cursorRow_ = cursorColumn_ = -1;
    }
}

const std::vector<Text>& resultGridHeadings() {
    static const std::vector<Text> headings = {
        gbkFromUtf8("编号"), gbkFromUtf8("文本"), gbkFromUtf8("飘红"), gbkFromUtf8("搜索"),
        gbkFromUtf8("状态"), gbkFromUtf8("来源"), gbkFromUtf8("覆盖")};
    return headings;
}

}  // namespace oc
