// The table of one search engine's results: row 0 is the heading row and
// column 0 the fixed column, both counted. Cells are read-only plain text.
#pragma once

#include <QTableView>
#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include "services/text_types.h"

class QAbstractButton;
class QMenu;

namespace oc {

class ResultGridModel;
class ResultGridSort;

class ResultGrid : public QTableView {
    Q_OBJECT
  public:
    static constexpr int kFixedRows = 1;
    static constexpr int kRowHeight = 24;
    static constexpr int kDefaultColumnWidth = 60;
    // The shortest time between two repaints caused by changing cells.
    static constexpr std::chrono::milliseconds kRepaintInterval{40};

    explicit ResultGrid(QWidget* parent = nullptr);

    int rowCount() const;
    int columnCount() const;

    // Inserts at `position` when kFixedRows <= position < rowCount(), else at
    // the end; column 0 gets the title. A cursor below the insertion point
    // moves down one row.
    bool appendRow(const Text& title, int position);
    // False for a row outside the grid. A cursor on the row becomes none, a
    // cursor below it moves up one row.
    bool deleteRow(int row);
    // Every data row goes; the heading row stays.
    void clearRows();
    // Greys every cell (the results belong to an article since edited).
    void setStale(bool stale);
    bool setCell(int row, int column, const Text& value);
    bool setCell(int row, int column, int value);
    Text cellText(int row, int column) const;

    // The inclusive rectangle; row2/column2 are clipped to the last row and
    // column. False, changing nothing, when a coordinate is negative, the
    // rectangle is reversed or (row1, column1) lies outside the grid.
    bool setTextColour(int row1, int column1, int row2, int column2, std::uint32_t colour);
    // The COLORREF a cell is drawn in (black when never set).
    std::uint32_t textColour(int row, int column) const;

    // The tooltip of a cell; empty text removes it. False outside the grid.
    bool setCellTip(int row, int column, const Text& tip);
    Text cellTip(int row, int column) const;
    // The background of every cell of a data row; kNoBackground gives the
    // row back the grid's white. False for the heading row or outside the grid.
    bool setRowBackground(int row, std::uint32_t colour);
    // The row's COLORREF, kNoBackground when it has the grid's own.
    std::uint32_t rowBackground(int row) const;

    // Exactly, with no minimum (the stretching column: its least width); false
    // outside the grid or for a negative width.
    bool setGridColumnWidth(int column, int width);
    int gridColumnWidth(int column) const;

    int cursorRow() const;
    int cursorColumn() const;
    // Moves the cursor as a click would; (-1, -1) for none.
    void moveCursorTo(int row, int column);

    // Shows the rows sorted by a column as a click on its heading does (0 编号,
    // 2 飘红, 4 状态; -1 as added); false for another column. The rows keep
    // their numbers and the grid operations work on them as before.
    bool sortBy(int column, Qt::SortOrder order);
    // The column sorted by (-1: as added) and its order.
    int sortColumn() const;
    Qt::SortOrder sortOrder() const;

    // The data rows selected (several with Ctrl or Shift), in the order shown.
    std::vector<int> selectedRows() const;
    // The selected rows as tab-separated text, one line each (CR LF), every
    // column but none of the heading row; tabs and line breaks inside a cell
    // become spaces.
    QString selectedRowsText() const;
    // The context menu for a point of the viewport, as a right click there
    // opens it (a click outside the selection selects the row first); none
    // when no row is selected.
    std::unique_ptr<QMenu> contextMenuAt(const QPoint& position);
    // The source address of a row (the tooltip of its 来源 cell), empty when none.
    Text sourceAddress(int row) const;
    // The same as shown, every character kept (a local document's path).
    QString sourceTip(int row) const;
    // The column whose width follows the free width of the grid (-1: none),
    // as the grid's size and its scroll bars change; it never gets narrower
    // than it was last set.
    void setStretchColumn(int column);

  signals:
    // The left button was released over a cell, after the cursor moved there,
    // without Ctrl or Shift (those select).
    void gridClicked(int x, int y);
    // 复制 (Ctrl+C) and the other entries of the context menu: the text for
    // the clipboard, and an address to open.
    void copyRequested(const QString& text);
    void openRequested(int row, int column);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void showCursor();
    void throttleRepaints();
    void paintCorner();
    bool headerMouse(QObject* watched, QEvent* event);
    void stretch();
    void sortOnClick(int column);
    bool followsNewRows() const;
    // Between the grid's row numbers and the view's (sorted) indexes.
    QModelIndex viewIndex(int row, int column) const;
    int gridRow(const QModelIndex& viewIndex) const;

    ResultGridModel* model_;
    ResultGridSort* sorted_;
    QAbstractButton* corner_ = nullptr;
    int fixedColumnWidth_ = kDefaultColumnWidth;
    bool syncing_ = false;
    bool headerPressed_ = false;
    int pressedColumn_ = -1;
    bool throttling_ = false;
    bool following_ = true;
    int stretchColumn_ = -1;
    int stretchMinimum_ = 0;
};

// The column widths and headings of a result grid ("编号", "文本", "飘红",
// "搜索", "状态"), as every window that shows one has them.
void setupResultGrid(ResultGrid& grid);

}  // namespace oc
