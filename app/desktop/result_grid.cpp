#include "app/desktop/result_grid.h"

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyleOptionHeader>
#include <QStylePainter>
#include <QTimer>
#include <QToolTip>
#include <algorithm>
#include <iterator>

#include "app/desktop/qt_text.h"
#include "app/desktop/result_grid_model.h"
#include "check/grid_model.h"
#include "check/window_port.h"
#include "services/boundary_text.h"
#include "services/conversions.h"

namespace oc {

namespace {
constexpr int kDesignRows = 1;
constexpr int kDesignColumns = static_cast<int>(std::size(kResultGridWidths));

// The header that shows the fixed column. Its width is always set, so its size
// hint need not measure the row titles; the stock hint lays out the text of up
// to 200 titles after every appended row.
class FixedColumnHeader : public QHeaderView {
  public:
    explicit FixedColumnHeader(QWidget* parent) : QHeaderView(Qt::Vertical, parent) {}
    QSize sizeHint() const override { return {minimumWidth(), defaultSectionSize()}; }
};

}  // namespace

ResultGrid::ResultGrid(QWidget* parent)
    : QTableView(parent), model_(new ResultGridModel(kDesignRows, kDesignColumns, this)) {
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
    setModel(model_);
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
    }
    for (auto changed : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved}) {
        connect(model_, changed, this, &ResultGrid::throttleRepaints);
    }
    connect(model_, &QAbstractItemModel::dataChanged, this, &ResultGrid::throttleRepaints);
    // New rows stay in view while the user has not scrolled away from the end.
    connect(model_, &QAbstractItemModel::rowsAboutToBeInserted, this, [this] {
        following_ = verticalScrollBar()->value() == verticalScrollBar()->maximum();
    });
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
    const int rows = model_->rows();
    const int at = position >= kFixedRows && position < rows ? position : rows;
    syncing_ = true;
    model_->insertGridRow(at, title);
    syncing_ = false;
    if (cursorRow_ > at) {
        ++cursorRow_;
    }
    showCursor();
    return true;
}

bool ResultGrid::deleteRow(int row) {
    if (row < 0 || row >= model_->rows()) {
        return false;
    }
    syncing_ = true;
    model_->removeGridRow(row);
    syncing_ = false;
    if (cursorRow_ == row) {
        cursorRow_ = -1;
        cursorColumn_ = -1;
    } else if (cursorRow_ > row) {
        --cursorRow_;
    }
    showCursor();
    return true;
}

bool ResultGrid::setCell(int row, int column, const Text& value) {
    if (!model_->contains(row, column)) {
        return false;
    }
    model_->setText(row, column, value);
    return true;
}

bool ResultGrid::setCell(int row, int column, int value) {
    return setCell(row, column, toText(static_cast<std::int32_t>(value)));
}

Text ResultGrid::cellText(int row, int column) const {
    return model_->contains(row, column) ? model_->text(row, column) : Text();
}

bool ResultGrid::setTextColour(int row1, int column1, int row2, int column2, std::uint32_t colour) {
    if (row1 < 0 || column1 < 0 || row2 < 0 || column2 < 0 || row2 < row1 || column2 < column1 ||
        !model_->contains(row1, column1)) {
        return false;
    }
    row2 = std::min(row2, model_->rows() - 1);
    column2 = std::min(column2, model_->columns() - 1);
    for (int row = row1; row <= row2; ++row) {
        for (int column = column1; column <= column2; ++column) {
            model_->setColour(row, column, colour);
        }
    }
    viewport()->update();
    return true;
}

std::uint32_t ResultGrid::textColour(int row, int column) const {
    if (!model_->contains(row, column)) {
        return 0;
    }
    return model_->colour(row, column).value_or(0);
}

bool ResultGrid::setCellTip(int row, int column, const Text& tip) {
    if (!model_->contains(row, column)) {
        return false;
    }
    model_->setTip(row, column, tip);
    return true;
}

Text ResultGrid::cellTip(int row, int column) const {
    return model_->contains(row, column) ? gbkFromQString(model_->tip(row, column)) : Text();
}

bool ResultGrid::setRowBackground(int row, std::uint32_t colour) {
    if (row < kFixedRows || row >= model_->rows()) {
        return false;
    }
    model_->setRowBackground(
        row, colour == kNoBackground ? std::nullopt : std::optional<std::uint32_t>(colour));
    return true;
}

std::uint32_t ResultGrid::rowBackground(int row) const {
    if (row < kFixedRows || row >= model_->rows() || model_->columns() == 0) {
        return kNoBackground;
    }
    return model_->background(row, 0).value_or(kNoBackground);
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
    viewport()->update();
    return true;
}

int ResultGrid::gridColumnWidth(int column) const {
    if (column < 0 || column >= model_->columns()) {
        return -1;
    }
    return column == 0 ? fixedColumnWidth_ : QTableView::columnWidth(column - 1);
}

void ResultGrid::moveCursorTo(int row, int column) {
    if (model_->contains(row, column)) {
        cursorRow_ = row;
        cursorColumn_ = column;
    } else {
        cursorRow_ = -1;
        cursorColumn_ = -1;
    }
    showCursor();
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
    if (cursorRow_ >= 1 && cursorColumn_ >= 1) {
        setCurrentIndex(model_->index(cursorRow_ - 1, cursorColumn_ - 1));
    } else {
        selectionModel()->clearCurrentIndex();
        clearSelection();
    }
    syncing_ = false;
}

void ResultGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (!syncing_ && current.isValid()) {
        cursorRow_ = current.row() + 1;
        cursorColumn_ = current.column() + 1;
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
            row = section < 0 ? -1 : section + 1;
            column = section < 0 ? -1 : 0;
        }
        headerPressed_ = row >= 0;
        if (headerPressed_) {
            moveCursorTo(row, column);
        }
        return false;
    }
    if (headerPressed_) {
        headerPressed_ = false;
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
    if (model_->rows() > 0 && model_->columns() > 0) {
        option.text = model_->shownText(0, 0);
        if (auto colour = model_->colour(0, 0)) {
            option.palette.setColor(QPalette::ButtonText, colorFromColorRef(*colour));
        }
    }
    painter.drawControl(QStyle::CE_Header, option);
}

std::vector<int> ResultGrid::selectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows()) {
        rows.push_back(index.row() + kFixedRows);
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

QString ResultGrid::selectedRowsText() const {
    QString text;
    for (int row : selectedRows()) {
        QStringList cells;
        for (int column = 0; column < model_->columns(); ++column) {
            QString cell = qstringFromGbk(model_->text(row, column));
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
    return model_->contains(row, kSourceColumn) ? gbkFromQString(model_->tip(row, kSourceColumn))
                                                : Text();
}

QString ResultGrid::sourceTip(int row) const {
    return model_->contains(row, kSourceColumn) ? model_->tip(row, kSourceColumn) : QString();
}

void ResultGrid::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        emit copyRequested(selectedRowsText());
        return;
    }
    QTableView::keyPressEvent(event);
}

void ResultGrid::contextMenuEvent(QContextMenuEvent* event) {
    const QModelIndex at = indexAt(event->pos());
    if (at.isValid() && !selectionModel()->isRowSelected(at.row(), QModelIndex())) {
        moveCursorTo(at.row() + kFixedRows, at.column() + 1);
    }
    const std::vector<int> rows = selectedRows();
    if (rows.empty()) {
        return;
    }
    auto column = [this, &rows](int column, auto text) {
        QStringList lines;
        for (int row : rows) {
            const QString value = qstringFromGbk(text(row, column));
            if (!value.isEmpty()) {
                lines << value;
            }
        }
        return lines.join(QStringLiteral("\r\n"));
    };
    auto cellText = [this](int row, int column) { return model_->text(row, column); };
    auto address = [this](int row, int) { return sourceAddress(row); };
    QMenu menu(this);
    menu.addAction(QStringLiteral("复制"), this,
                   [this] { emit copyRequested(selectedRowsText()); });
    menu.addAction(QStringLiteral("复制搜索网址"), this,
                   [this, column, cellText] { emit copyRequested(column(kUrlColumn, cellText)); });
    QAction* sources = menu.addAction(
        QStringLiteral("复制来源网址"), this,
        [this, column, address] { emit copyRequested(column(kSourceColumn, address)); });
    sources->setEnabled(!column(kSourceColumn, address).isEmpty());
    const int row = at.isValid() ? at.row() + kFixedRows : rows.front();
    QAction* open = menu.addAction(QStringLiteral("打开链接"), this,
                                   [this, row] { emit openRequested(row, kUrlColumn); });
    open->setEnabled(!model_->text(row, kUrlColumn).empty());
    menu.exec(event->globalPos());
}

void ResultGrid::setStretchColumn(int column) {
    stretchColumn_ = column;
    stretchMinimum_ = gridColumnWidth(column);
    stretch();
}

void ResultGrid::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
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
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex at = indexAt(help->pos());
        if (at.isValid()) {
            const int row = at.row() + kFixedRows;
            const int column = at.column() + 1;
            const QString whole = qstringFromGbk(model_->text(row, column));
            const QString own = model_->tip(row, column);
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
                QToolTip::showText(help->globalPos(), tip.join(QLatin1Char('\n')), viewport(),
                                   visualRect(at));
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
