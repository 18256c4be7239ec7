#include "app/desktop/result_grid_model.h"

#include <QBrush>
#include <algorithm>

#include "app/desktop/qt_text.h"
#include "check/window_port.h"

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

const QList<int> kCellRoles = {Qt::DisplayRole, Qt::ForegroundRole, Qt::ToolTipRole};

}  // namespace

ResultGridModel::ResultGridModel(int columns, QObject* parent)
    : QAbstractTableModel(parent), grid_(columns, 1) {
    shown_.assign(static_cast<std::size_t>(grid_.rowCount()),
                  std::vector<QString>(static_cast<std::size_t>(grid_.columnCount())));
}

int ResultGridModel::appendRow(const Text& title, int position) {
    const int at = grid_.insertionRow(position);
    // A new heading row changes the headers as a whole.
    const bool heading = at == 0;
    if (heading) {
        beginResetModel();
    } else {
        beginInsertRows(QModelIndex(), at - 1, at - 1);
    }
    grid_.appendRow(title, position);
    std::vector<QString> shown(static_cast<std::size_t>(columns()));
    shown[0] = displayedText(title);
    shown_.insert(shown_.begin() + at, std::move(shown));
    if (heading) {
        endResetModel();
        emit cornerChanged();
    } else {
        endInsertRows();
    }
    return at;
}

bool ResultGridModel::deleteRow(int row) {
    if (!grid_.contains(row, 0)) {
        return false;
    }
    const bool heading = row == 0;
    if (heading) {
        beginResetModel();
    } else {
        beginRemoveRows(QModelIndex(), row - 1, row - 1);
    }
    grid_.deleteRow(row);
    shown_.erase(shown_.begin() + row);
    if (heading) {
        endResetModel();
        emit cornerChanged();
    } else {
        endRemoveRows();
    }
    return true;
}

bool ResultGridModel::setCell(int row, int column, const Text& text) {
    if (!grid_.setCell(row, column, text)) {
        return false;
    }
    shown_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = displayedText(text);
    announce(row, column, row, column, kCellRoles);
    return true;
}

bool ResultGridModel::setTextColour(int row1, int column1, int row2, int column2,
                                    std::uint32_t colour) {
    if (!grid_.setTextColour(row1, column1, row2, column2, colour)) {
        return false;
    }
    announce(row1, column1, std::min(row2, rows() - 1), std::min(column2, columns() - 1),
             {Qt::ForegroundRole});
    return true;
}

bool ResultGridModel::setCellTip(int row, int column, const Text& tip) {
    if (!grid_.setCellTip(row, column, tip)) {
        return false;
    }
    announce(row, column, row, column, {Qt::ToolTipRole});
    return true;
}

bool ResultGridModel::setRowBackground(int row, std::uint32_t colour) {
    if (!grid_.setRowBackground(row, colour)) {
        return false;
    }
    announce(row, 0, row, columns() - 1, {Qt::BackgroundRole});
    return true;
}

void ResultGridModel::setStale(bool stale) {
    if (stale != stale_) {
        stale_ = stale;
        announce(0, 0, rows() - 1, columns() - 1, {Qt::ForegroundRole});
    }
}

const QString& ResultGridModel::shownText(int row, int column) const {
    return shown_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

void ResultGridModel::announce(int row1, int column1, int row2, int column2,
                               const QList<int>& roles) {
    if (row1 == 0 && column1 == 0) {
        emit cornerChanged();
    }
    if (row1 == 0 && column2 >= 1) {
        emit headerDataChanged(Qt::Horizontal, std::max(column1, 1) - 1, column2 - 1);
    }
    if (column1 == 0 && row2 >= 1) {
        emit headerDataChanged(Qt::Vertical, std::max(row1, 1) - 1, row2 - 1);
    }
    if (row2 >= 1 && column2 >= 1) {
        emit dataChanged(index(std::max(row1, 1) - 1, std::max(column1, 1) - 1),
                         index(row2 - 1, column2 - 1), roles);
    }
}

int ResultGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || rows() == 0 ? 0 : rows() - 1;
}

int ResultGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns() - 1;
}

QVariant ResultGridModel::cellData(int row, int column, int role) const {
    const GridCell* cell = grid_.cell(row, column);
    if (cell == nullptr) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return shownText(row, column);
    }
    if (role == Qt::ForegroundRole && stale_) {
        return QBrush(colorFromColorRef(kColourGrey));
    }
    if (role == Qt::ForegroundRole && cell->colourSet) {
        return QBrush(colorFromColorRef(cell->colour));
    }
    const std::uint32_t background = grid_.rowBackground(row);
    if (role == Qt::BackgroundRole && background != kGridBackground) {
        return QBrush(colorFromColorRef(background));
    }
    if (role == Qt::ToolTipRole && !cell->tip.empty()) {
        return plainTip(qstringFromGbk(cell->tip));
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
