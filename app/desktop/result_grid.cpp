#include "app/desktop/result_grid.h"

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QShowEvent>
#include <QStyleOptionHeader>
#include <QStylePainter>
#include <QTimer>
#include <QToolTip>
#include <algorithm>
#include <iterator>

#include "app/desktop/qt_text.h"
#include "app/desktop/result_grid_model.h"
#include "app/desktop/result_grid_sort.h"
#include "check/grid_model.h"
#include "check/window_port.h"
#include "services/boundary_text.h"
#include "services/conversions.h"

namespace oc {

namespace {
constexpr int kDesignColumns = static_cast<int>(std::size(kResultGridWidths));

// The header that shows the fixed column. Its width is always set, so its size
// hint need not measure the row titles; the stock hint lays out the text of up
// to 200 titles after every appended row.
class FixedColumnHeader : public QHeaderView {
  public:
    explicit FixedColumnHeader(QWidget* parent) : QHeaderView(Qt::Vertical, parent) {}
    QSize sizeHint() const override { return {minimumWidth(), defaultSectionSize()}; }
};

// The order of a sorted column: a small triangle at the top of its heading,
// pointing up for ascending, as the heading row is too narrow for the style's
// own arrow beside the text (and a skin's style sheet hides that).
void drawSortMark(QPainter& painter, const QRect& heading, Qt::SortOrder order) {
    const int x = heading.center().x();
    const int top = heading.top() + 1;
    const bool up = order == Qt::AscendingOrder;
    const QPoint mark[3] = {
        {x - 4, up ? top + 4 : top}, {x + 4, up ? top + 4 : top}, {x, up ? top : top + 4}};
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(64, 64, 64));
    painter.drawPolygon(mark, 3);
    painter.restore();
}

// The heading row, marking the column the grid is sorted by.
class HeadingRow : public QHeaderView {
  public:
    explicit HeadingRow(ResultGrid* grid) : QHeaderView(Qt::Horizontal, grid), grid_(grid) {}

  protected:
    void paintSection(QPainter* painter, const QRect& rect, int section) const override {
        // A style sheet's header leaves the painter clipped to nothing.
        painter->save();
        QHeaderView::paintSection(painter, rect, section);
        painter->restore();
        if (grid_->sortColumn() == section + 1) {
            drawSortMark(*painter, rect, grid_->sortOrder());
        }
    }

  private:
    const ResultGrid* grid_;
};

}  // namespace

ResultGrid::ResultGrid(QWidget* parent)
    : QTableView(parent),
      model_(new ResultGridModel(kDesignColumns, this)),
      sorted_(new ResultGridSort(model_, this)) {
    setHorizontalHeader(new HeadingRow(this));
    horizontalHeader()->setMinimumSectionSize(0);
    horizontalHeader()->setDefaultSectionSize(kDefaultColumnWidth);
    horizontalHeader()->setFixedHeight(kRowHeight);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    setVerticalHeader(new FixedColumnHeader(this));
    verticalHeader()->setMinimumSectionSize(0);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setFixedWidth(fixedColumnWidth_);
    verticalHeader()->setSectionsClickable(false);
    verticalHeader()->setHighlightSections(false);
    setModel(sorted_);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setWordWrap(false);
    setStyleSheet(QStringLiteral(
        "QTableView { gridline-color: rgb(192, 192, 192); background-color: white; }"));
    QPalette colours = palette();
    colours.setColor(QPalette::Text, Qt::black);
    setPalette(colours);

    horizontalHeader()->viewport()->installEventFilter(this);
    verticalHeader()->viewport()->installEventFilter(this);
    corner_ = findChild<QAbstractButton*>();
    if (corner_ != nullptr) {
        corner_->installEventFilter(this);
        // The corner is the heading of 编号: a click there sorts, it does not
        // select every row.
        disconnect(corner_, &QAbstractButton::clicked, this, nullptr);
    }
    for (auto changed : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved}) {
        connect(model_, changed, this, &ResultGrid::throttleRepaints);
    }
    connect(model_, &QAbstractItemModel::dataChanged, this, &ResultGrid::throttleRepaints);
    // New rows stay in view while they come at the end and the user has not
    // scrolled away from it.
    connect(model_, &QAbstractItemModel::rowsAboutToBeInserted, this,
            [this] { following_ = followsNewRows(); });
    connect(model_, &QAbstractItemModel::rowsInserted, this, [this] {
        if (following_) {
            scrollToBottom();
        }
    });
    connect(model_, &QAbstractItemModel::headerDataChanged, this, &ResultGrid::throttleRepaints);
    connect(model_, &ResultGridModel::cornerChanged, this, [this] {
        if (corner_ != nullptr) {
            corner_->update();
        }
    });
}

int ResultGrid::rowCount() const {
    return model_->rows();
}

int ResultGrid::columnCount() const {
    return model_->columns();
}

bool ResultGrid::appendRow(const Text& title, int position) {
    syncing_ = true;
    model_->appendRow(title, position);
    syncing_ = false;
    showCursor();
    return true;
}

bool ResultGrid::deleteRow(int row) {
    syncing_ = true;
    const bool deleted = model_->deleteRow(row);
    syncing_ = false;
    showCursor();
    return deleted;
}

void ResultGrid::clearRows() {
    while (rowCount() > kFixedRows && deleteRow(rowCount() - 1)) {
    }
}

void ResultGrid::setStale(bool stale) {
    model_->setStale(stale);
}

bool ResultGrid::setCell(int row, int column, const Text& value) {
    return model_->setCell(row, column, value);
}

bool ResultGrid::setCell(int row, int column, int value) {
    return setCell(row, column, toText(static_cast<std::int32_t>(value)));
}

Text ResultGrid::cellText(int row, int column) const {
    return model_->grid().cellText(row, column);
}

bool ResultGrid::setTextColour(int row1, int column1, int row2, int column2, std::uint32_t colour) {
    return model_->setTextColour(row1, column1, row2, column2, colour);
}

std::uint32_t ResultGrid::textColour(int row, int column) const {
    const GridCell* cell = model_->grid().cell(row, column);
    return cell != nullptr ? cell->colour : kDefaultTextColour;
}

bool ResultGrid::setCellTip(int row, int column, const Text& tip) {
    return model_->setCellTip(row, column, tip);
}

Text ResultGrid::cellTip(int row, int column) const {
    const GridCell* cell = model_->grid().cell(row, column);
    return cell != nullptr ? cell->tip : Text();
}

static_assert(kNoBackground == kGridBackground, "the window's and the grid's own background");

bool ResultGrid::setRowBackground(int row, std::uint32_t colour) {
    return model_->setRowBackground(row, colour);
}

std::uint32_t ResultGrid::rowBackground(int row) const {
    return model_->grid().rowBackground(row);
}

bool ResultGrid::setGridColumnWidth(int column, int width) {
    if (column < 0 || column >= model_->columns() || width < 0) {
        return false;
    }
    if (column == 0) {
        fixedColumnWidth_ = width;
        verticalHeader()->setFixedWidth(width);
    } else {
        QTableView::setColumnWidth(column - 1, width);
    }
    if (column == stretchColumn_) {
        stretchMinimum_ = width;
    }
    stretch();
    viewport()->update();
    return true;
}

int ResultGrid::gridColumnWidth(int column) const {
    if (column < 0 || column >= model_->columns()) {
        return -1;
    }
    return column == 0 ? fixedColumnWidth_ : QTableView::columnWidth(column - 1);
}

int ResultGrid::cursorRow() const {
    return model_->grid().cursorRow();
}

int ResultGrid::cursorColumn() const {
    return model_->grid().cursorColumn();
}

void ResultGrid::moveCursorTo(int row, int column) {
    model_->setCursor(row, column);
    showCursor();
}

QModelIndex ResultGrid::viewIndex(int row, int column) const {
    return sorted_->mapFromSource(model_->index(row - kFixedRows, column - 1));
}

int ResultGrid::gridRow(const QModelIndex& viewIndex) const {
    return sorted_->mapToSource(viewIndex).row() + kFixedRows;
}

bool ResultGrid::sortBy(int column, Qt::SortOrder order) {
    if (column != -1 && !ResultGridSort::sortable(column)) {
        return false;
    }
    sorted_->sortBy(column, order);
    // The rows sorted first are the ones the user wants to see.
    scrollToTop();
    following_ = followsNewRows();
    horizontalHeader()->viewport()->update();
    if (corner_ != nullptr) {
        corner_->update();
    }
    return true;
}

int ResultGrid::sortColumn() const {
    return sorted_->column();
}

Qt::SortOrder ResultGrid::sortOrder() const {
    return sorted_->sortOrder();
}

// A click on a sortable heading sorts by it, ascending first and the other
// way round at the next click; rows as added count as sorted by 编号 ascending.
void ResultGrid::sortOnClick(int column) {
    if (!ResultGridSort::sortable(column)) {
        return;
    }
    const int current = sortColumn() < 0 ? 0 : sortColumn();
    const Qt::SortOrder order = sortColumn() < 0 ? Qt::AscendingOrder : sortOrder();
    const bool flip = current == column && order == Qt::AscendingOrder;
    sortBy(column, flip ? Qt::DescendingOrder : Qt::AscendingOrder);
}

// New rows come at the end of the view when the rows are shown as added or by
// 编号 ascending. The view follows them while it is at its end; a hidden grid
// (a tab in the background) cannot be scrolled, so it keeps following.
bool ResultGrid::followsNewRows() const {
    const bool atEnd = sortColumn() < 0 || (sortColumn() == 0 && sortOrder() == Qt::AscendingOrder);
    if (!isVisible()) {
        return atEnd && following_;
    }
    return atEnd && verticalScrollBar()->value() == verticalScrollBar()->maximum();
}

void ResultGrid::showEvent(QShowEvent* event) {
    QTableView::showEvent(event);
    if (following_) {
        scrollToBottom();
    }
}

// A pass changes its grid many times a second, and every change would repaint
// the whole visible grid: changes are gathered and shown together instead.
void ResultGrid::throttleRepaints() {
    if (throttling_ || !isVisible()) {
        return;
    }
    throttling_ = true;
    setUpdatesEnabled(false);
    QTimer::singleShot(kRepaintInterval, this, [this] {
        throttling_ = false;
        setUpdatesEnabled(true);
    });
}

void ResultGrid::showCursor() {
    syncing_ = true;
    if (cursorRow() >= kFixedRows && cursorColumn() >= 1) {
        setCurrentIndex(viewIndex(cursorRow(), cursorColumn()));
    } else {
        selectionModel()->clearCurrentIndex();
        clearSelection();
    }
    syncing_ = false;
}

void ResultGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (!syncing_ && current.isValid()) {
        model_->setCursor(gridRow(current), current.column() + 1);
    }
}

void ResultGrid::mouseReleaseEvent(QMouseEvent* event) {
    QTableView::mouseReleaseEvent(event);
    const QPoint at = event->position().toPoint();
    const bool selecting = event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier);
    if (event->button() == Qt::LeftButton && !selecting && indexAt(at).isValid()) {
        const QPoint inGrid = viewport()->mapTo(this, at);
        emit gridClicked(inGrid.x(), inGrid.y());
    }
}

bool ResultGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == corner_ && event->type() == QEvent::Paint) {
        paintCorner();
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease) {
        return headerMouse(watched, event);
    }
    return QTableView::eventFilter(watched, event);
}

// The heading row and the fixed column are cells too: a click there moves the
// cursor onto them.
bool ResultGrid::headerMouse(QObject* watched, QEvent* event) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton) {
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr) {
        return false;
    }
    const QPoint at = mouse->position().toPoint();
    if (event->type() == QEvent::MouseButtonPress) {
        int row = -1;
        int column = -1;
        if (watched == corner_) {
            row = 0;
            column = 0;
        } else if (watched == horizontalHeader()->viewport()) {
            const int section = horizontalHeader()->logicalIndexAt(at);
            row = section < 0 || model_->rows() == 0 ? -1 : 0;
            column = section < 0 ? -1 : section + 1;
        } else if (watched == verticalHeader()->viewport()) {
            const int section = verticalHeader()->logicalIndexAt(at);
            row = section < 0 ? -1 : gridRow(sorted_->index(section, 0));
            column = section < 0 ? -1 : 0;
        }
        headerPressed_ = row >= 0;
        pressedColumn_ = row == 0 ? column : -1;
        if (headerPressed_) {
            moveCursorTo(row, column);
        }
        return false;
    }
    if (headerPressed_) {
        headerPressed_ = false;
        sortOnClick(pressedColumn_);
        const QPoint inGrid = widget->mapTo(this, at);
        emit gridClicked(inGrid.x(), inGrid.y());
    }
    return false;
}

void ResultGrid::paintCorner() {
    QStylePainter painter(corner_);
    QStyleOptionHeader option;
    option.initFrom(corner_);
    option.rect = corner_->rect();
    option.position = QStyleOptionHeader::OnlyOneSection;
    option.textAlignment = Qt::AlignCenter;
    if (const GridCell* cell = model_->grid().cell(0, 0)) {
        option.text = model_->shownText(0, 0);
        if (cell->colourSet) {
            option.palette.setColor(QPalette::ButtonText, colorFromColorRef(cell->colour));
        }
    }
    painter.save();
    painter.drawControl(QStyle::CE_Header, option);
    painter.restore();
    if (sortColumn() == 0) {
        drawSortMark(painter, option.rect, sortOrder());
    }
}

std::vector<int> ResultGrid::selectedRows() const {
    QModelIndexList shown = selectionModel()->selectedRows();
    std::sort(shown.begin(), shown.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::vector<int> rows;
    for (const QModelIndex& index : shown) {
        rows.push_back(gridRow(index));
    }
    return rows;
}

QString ResultGrid::selectedRowsText() const {
    QString text;
    for (int row : selectedRows()) {
        QStringList cells;
        for (int column = 0; column < model_->columns(); ++column) {
            QString cell = qstringFromGbk(model_->grid().cellText(row, column));
            cell.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
            for (QChar& c : cell) {
                if (c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n') ||
                    c == QChar(QChar::ParagraphSeparator) || c == QChar(QChar::LineSeparator)) {
                    c = QLatin1Char(' ');
                }
            }
            cells << cell;
        }
        text += cells.join(QLatin1Char('\t')) + QStringLiteral("\r\n");
    }
    return text;
}

Text ResultGrid::sourceAddress(int row) const {
    return cellTip(row, kSourceColumn);
}

QString ResultGrid::sourceTip(int row) const {
    return qstringFromGbk(cellTip(row, kSourceColumn));
}

void ResultGrid::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        emit copyRequested(selectedRowsText());
        return;
    }
    QTableView::keyPressEvent(event);
}

void ResultGrid::contextMenuEvent(QContextMenuEvent* event) {
    if (std::unique_ptr<QMenu> menu = contextMenuAt(event->pos())) {
        menu->exec(event->globalPos());
    }
}

std::unique_ptr<QMenu> ResultGrid::contextMenuAt(const QPoint& position) {
    const QModelIndex at = indexAt(position);
    if (at.isValid() && !selectionModel()->isRowSelected(at.row(), QModelIndex())) {
        moveCursorTo(gridRow(at), at.column() + 1);
    }
    const std::vector<int> rows = selectedRows();
    if (rows.empty()) {
        return nullptr;
    }
    // One line per selected row that has the address.
    auto addresses = [this, rows](bool sources) {
        QStringList lines;
        for (int row : rows) {
            const Text address = sources ? sourceAddress(row) : cellText(row, kUrlColumn);
            if (!address.empty()) {
                lines << qstringFromGbk(address);
            }
        }
        return lines.join(QStringLiteral("\r\n"));
    };
    auto menu = std::make_unique<QMenu>(this);
    menu->addAction(QStringLiteral("复制"), this,
                    [this] { emit copyRequested(selectedRowsText()); });
    menu->addAction(QStringLiteral("复制搜索网址"), this,
                    [this, addresses] { emit copyRequested(addresses(false)); });
    QAction* sources = menu->addAction(QStringLiteral("复制来源网址"), this,
                                       [this, addresses] { emit copyRequested(addresses(true)); });
    sources->setEnabled(!addresses(true).isEmpty());
    const int row = at.isValid() ? gridRow(at) : rows.front();
    QAction* open = menu->addAction(QStringLiteral("打开链接"), this,
                                    [this, row] { emit openRequested(row, kUrlColumn); });
    open->setEnabled(!cellText(row, kUrlColumn).empty());
    return menu;
}

void ResultGrid::setStretchColumn(int column) {
    stretchColumn_ = column;
    stretchMinimum_ = gridColumnWidth(column);
    stretch();
}

// The stretching column takes the width the others leave free.
void ResultGrid::stretch() {
    if (stretchColumn_ < 1 || stretchColumn_ >= model_->columns()) {
        return;
    }
    int others = 0;
    for (int column = 1; column < model_->columns(); ++column) {
        others += column == stretchColumn_ ? 0 : QTableView::columnWidth(column - 1);
    }
    const int free = viewport()->width() - others;
    QTableView::setColumnWidth(stretchColumn_ - 1, std::max(stretchMinimum_, free));
}

// A cell too narrow for its text shows the whole text as its tooltip, before
// a tooltip of its own.
bool ResultGrid::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Resize) {
        // The free width changes with the grid's size and with its scroll bars.
        const bool handled = QTableView::viewportEvent(event);
        stretch();
        return handled;
    }
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex at = indexAt(help->pos());
        if (at.isValid()) {
            const int row = gridRow(at);
            const int column = at.column() + 1;
            const QString whole = qstringFromGbk(cellText(row, column));
            const QString own = qstringFromGbk(cellTip(row, column));
            const bool cut = model_->shownText(row, column) != whole ||
                             fontMetrics().horizontalAdvance(whole) + 8 > visualRect(at).width();
            QStringList tip;
            if (cut) {
                tip << whole;
            }
            if (!own.isEmpty()) {
                tip << own;
            }
            if (tip.isEmpty()) {
                QToolTip::hideText();
            } else {
                // Page titles and addresses are shown as they are, never as markup.
                QToolTip::showText(help->globalPos(), plainTip(tip.join(QLatin1Char('\n'))),
                                   viewport(), visualRect(at));
            }
            return true;
        }
    }
    return QTableView::viewportEvent(event);
}

void setupResultGrid(ResultGrid& grid) {
    const std::vector<Text>& headings = resultGridHeadings();
    const int columns =
        std::min(grid.columnCount(), static_cast<int>(std::size(kResultGridWidths)));
    for (int column = 0; column < columns; ++column) {
        grid.setGridColumnWidth(column, kResultGridWidths[column]);
    }
    for (int column = 0; column < columns && column < static_cast<int>(headings.size()); ++column) {
        grid.setCell(0, column, headings[static_cast<std::size_t>(column)]);
    }
    grid.setStretchColumn(1);  // 文本
}

}  // namespace oc
