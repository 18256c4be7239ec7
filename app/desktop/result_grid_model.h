// The cells of a result grid, kept in the grid model every window shows (its
// edge rules answer the grid operations), told to Qt. Row 0 is the heading row
// and column 0 the fixed column; both count in the row and column numbers used
// here. Towards Qt the heading row becomes the horizontal header and the fixed
// column the vertical header, so they stay in view while the data scrolls.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <cstdint>
#include <vector>

#include "check/grid_model.h"
#include "services/text_types.h"

namespace oc {

class ResultGridModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    // One heading row of `columns` empty cells.
    explicit ResultGridModel(int columns, QObject* parent = nullptr);

    const GridModel& grid() const { return grid_; }
    int rows() const { return grid_.rowCount(); }
    int columns() const { return grid_.columnCount(); }

    // The grid operations with the grid model's rules; false where it refuses.
    int appendRow(const Text& title, int position);
    bool deleteRow(int row);
    bool setCell(int row, int column, const Text& text);
    bool setTextColour(int row1, int column1, int row2, int column2, std::uint32_t colour);
    bool setCellTip(int row, int column, const Text& tip);
    bool setRowBackground(int row, std::uint32_t colour);
    void setCursor(int row, int column) { grid_.setCursor(row, column); }
    // Stale cells are all drawn grey, whatever their own colour.
    void setStale(bool stale);
    bool stale() const { return stale_; }

    // What the cell shows of its text, on one line; the cell must exist.
    const QString& shownText(int row, int column) const;

    // QAbstractTableModel
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  signals:
    // The cell (0, 0), drawn in the corner between the two headers, changed.
    void cornerChanged();

  private:
    QVariant cellData(int row, int column, int role) const;
    // The inclusive rectangle, inside the grid, changed.
    void announce(int row1, int column1, int row2, int column2, const QList<int>& roles);

    GridModel grid_;
    std::vector<std::vector<QString>> shown_;  // per cell, alongside grid_
    bool stale_ = false;
};

}  // namespace oc
