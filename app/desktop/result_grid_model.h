// The cells of a result grid. Row 0 is the heading row and column 0 the fixed
// column; both count in the row and column numbers used here. Towards Qt the
// heading row becomes the horizontal header and the fixed column the vertical
// header, so they stay in view while the data scrolls.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "services/text_types.h"

namespace oc {

class ResultGridModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit ResultGridModel(int rows, int columns, QObject* parent = nullptr);

    int rows() const { return static_cast<int>(cells_.size()); }
    int columns() const { return columns_; }
    bool contains(int row, int column) const;

    // Inserts an empty row at index `at` (0..rows) with the title in column 0.
    void insertGridRow(int at, const Text& title);
    void removeGridRow(int row);
    // The cell must exist.
    void setText(int row, int column, const Text& text);
    const Text& text(int row, int column) const;
    const QString& shownText(int row, int column) const;
    void setColour(int row, int column, std::uint32_t colour);
    std::optional<std::uint32_t> colour(int row, int column) const;
    // Empty text: no tooltip.
    void setTip(int row, int column, const Text& tip);
    const QString& tip(int row, int column) const;
    // Every cell of the row; none gives the cells back the grid's own.
    void setRowBackground(int row, std::optional<std::uint32_t> colour);
    std::optional<std::uint32_t> background(int row, int column) const;

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
    struct Cell {
        Text text;
        QString shown;
        std::optional<std::uint32_t> colour;
        QString tip;
        std::optional<std::uint32_t> background;
    };

    QVariant cellData(int row, int column, int role) const;
    void announceChange(int row, int column);
    Cell& at(int row, int column);
    const Cell& at(int row, int column) const;

    std::vector<std::vector<Cell>> cells_;
    int columns_;
};

}  // namespace oc
