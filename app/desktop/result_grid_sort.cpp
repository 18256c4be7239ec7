#include "app/desktop/result_grid_sort.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "app/desktop/result_grid_model.h"
#include "check/grid_model.h"

namespace oc {

namespace {

std::optional<long long> wholeNumber(const Text& text) {
    long long value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

ResultGridSort::ResultGridSort(ResultGridModel* cells, QObject* parent)
    : QSortFilterProxyModel(parent), cells_(cells) {
    setSourceModel(cells);
}

bool ResultGridSort::sortable(int column) {
    return column == 0 || column == 2 || column == kStatusColumn;
}

void ResultGridSort::sortBy(int column, Qt::SortOrder order) {
    column_ = sortable(column) ? column : -1;
    // The fixed column is no column of the view: 编号 sorts through the first.
    sort(column_ < 0 ? -1 : std::max(column_ - 1, 0), order);
}

bool ResultGridSort::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    const GridCell* a = cells_->grid().cell(left.row() + 1, column_);
    const GridCell* b = cells_->grid().cell(right.row() + 1, column_);
    if (a == nullptr || b == nullptr) {
        return false;
    }
    // Qt shows a descending order by turning the comparison round; an empty
    // cell is the greatest when ascending and the least when descending.
    if (a->text.empty() != b->text.empty()) {
        return a->text.empty() == (sortOrder() == Qt::DescendingOrder);
    }
    const std::optional<long long> x = wholeNumber(a->text);
    const std::optional<long long> y = wholeNumber(b->text);
    if (x.has_value() != y.has_value()) {
        return x.has_value();
    }
    if (x ? *x != *y : a->text != b->text) {
        return x ? *x < *y : a->text < b->text;
    }
    // Rows that tie stay in the order they were added, both ways round.
    return (left.row() < right.row()) == (sortOrder() == Qt::AscendingOrder);
}

}  // namespace oc
