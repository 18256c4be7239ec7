#include "app/desktop/result_grid_model.h"

#include <QBrush>

#include "app/desktop/qt_text.h"

namespace oc {

namespace {

// What a cell shows of its text, on one line: line breaks and other control
// characters (a segment keeps the article's line breaks) show as spaces, and
// long query URLs are cut, since laying out hundreds of characters only to
// elide them made every repaint slow.
constexpr qsizetype kShownChars = 100;

QString displayedText(const Text& text) {
    QString shown = qstringFromGbk(text);
    if (shown.size() > kShownChars) {
        shown.truncate(kShownChars);
        shown += QChar(0x2026);
    }
    for (QChar& c : shown) {
        if (c.unicode() < 0x20) {
            c = QLatin1Char(' ');
        }
    }
    return shown;
}

}  // namespace

ResultGridModel::ResultGridModel(int rows, int columns, QObject* parent)
    : QAbstractTableModel(parent),
      cells_(static_cast<std::size_t>(rows), std::vector<Cell>(static_cast<std::size_t>(columns))),
      columns_(columns) {}

bool ResultGridModel::contains(int row, int column) const {
    return row >= 0 && row < rows() && column >= 0 && column < columns_;
}

void ResultGridModel::insertGridRow(int at, const Text& title) {
    std::vector<Cell> row(static_cast<std::size_t>(columns_));
    if (columns_ > 0) {
        row[0].text = title;
        row[0].shown = displayedText(title);
    }
    // A new heading row changes the headers as a whole.
    const bool heading = at == 0;
    if (heading) {
        beginResetModel();
    } else {
        beginInsertRows(QModelIndex(), at - 1, at - 1);
    }
    cells_.insert(cells_.begin() + at, std::move(row));
    if (heading) {
        endResetModel();
        emit cornerChanged();
    } else {
        endInsertRows();
    }
}

void ResultGridModel::removeGridRow(int row) {
    const bool heading = row == 0;
    if (heading) {
        beginResetModel();
    } else {
        beginRemoveRows(QModelIndex(), row - 1, row - 1);
    }
    cells_.erase(cells_.begin() + row);
    if (heading) {
        endResetModel();
        emit cornerChanged();
    } else {
        endRemoveRows();
    }
}

ResultGridModel::Cell& ResultGridModel::at(int row, int column) {
    return cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

const ResultGridModel::Cell& ResultGridModel::at(int row, int column) const {
    return cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

void ResultGridModel::setText(int row, int column, const Text& text) {
    Cell& cell = at(row, column);
    cell.text = text;
    cell.shown = displayedText(text);
    announceChange(row, column);
}

const Text& ResultGridModel::text(int row, int column) const {
    return at(row, column).text;
}

const QString& ResultGridModel::shownText(int row, int column) const {
    return at(row, column).shown;
}

void ResultGridModel::setColour(int row, int column, std::uint32_t colour) {
    at(row, column).colour = colour;
    announceChange(row, column);
}

std::optional<std::uint32_t> ResultGridModel::colour(int row, int column) const {
    return at(row, column).colour;
}

void ResultGridModel::setTip(int row, int column, const Text& tip) {
    at(row, column).tip = qstringFromGbk(tip);
    announceChange(row, column);
}

const QString& ResultGridModel::tip(int row, int column) const {
    return at(row, column).tip;
}

void ResultGridModel::setRowBackground(int row, std::optional<std::uint32_t> colour) {
    for (Cell& cell : cells_[static_cast<std::size_t>(row)]) {
        cell.background = colour;
    }
    if (row > 0 && columns_ > 1) {
        emit dataChanged(index(row - 1, 0), index(row - 1, columns_ - 2), {Qt::BackgroundRole});
        emit headerDataChanged(Qt::Vertical, row - 1, row - 1);
    }
}

std::optional<std::uint32_t> ResultGridModel::background(int row, int column) const {
    return at(row, column).background;
}

void ResultGridModel::announceChange(int row, int column) {
    if (row == 0 && column == 0) {
        emit cornerChanged();
    } else if (row == 0) {
        emit headerDataChanged(Qt::Horizontal, column - 1, column - 1);
    } else if (column == 0) {
        emit headerDataChanged(Qt::Vertical, row - 1, row - 1);
    } else {
        const QModelIndex changed = index(row - 1, column - 1);
        emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::ForegroundRole, Qt::ToolTipRole});
    }
}

int ResultGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || rows() == 0 ? 0 : rows() - 1;
}

int ResultGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || columns_ == 0 ? 0 : columns_ - 1;
}

QVariant ResultGridModel::cellData(int row, int column, int role) const {
    if (!contains(row, column)) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return shownText(row, column);
    }
    const Cell& cell = at(row, column);
    if (role == Qt::ForegroundRole && cell.colour) {
        return QBrush(colorFromColorRef(*cell.colour));
    }
    if (role == Qt::BackgroundRole && cell.background) {
        return QBrush(colorFromColorRef(*cell.background));
    }
    if (role == Qt::ToolTipRole && !cell.tip.isEmpty()) {
        return cell.tip;
    }
    return {};
}

QVariant ResultGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    return cellData(index.row() + 1, index.column() + 1, role);
}

QVariant ResultGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) {
        return cellData(0, section + 1, role);
    }
    return cellData(section + 1, 0, role);
}

Qt::ItemFlags ResultGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

}  // namespace oc
