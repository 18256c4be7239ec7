// The order in which a result grid shows its rows: as they were added, or by
// 编号, 飘红 or 状态. Only the view is sorted: the cells, their row numbers and
// every grid operation stay as they are.
#pragma once

#include <QSortFilterProxyModel>

namespace oc {

class ResultGridModel;

class ResultGridSort : public QSortFilterProxyModel {
    Q_OBJECT
  public:
    explicit ResultGridSort(ResultGridModel* cells, QObject* parent = nullptr);

    // The grid columns a click on the heading sorts by: 编号 (the fixed
    // column), 飘红 and 状态.
    static bool sortable(int column);
    // Numbers in number order and before other texts, texts in GBK (pinyin)
    // order, empty cells last in both orders; rows that tie keep the order
    // they were added in. Column -1 shows the rows as they were added.
    void sortBy(int column, Qt::SortOrder order);
    // The grid column sorted by, -1 for none.
    int column() const { return column_; }

  protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

  private:
    const ResultGridModel* cells_;
    int column_ = -1;
};

}  // namespace oc
