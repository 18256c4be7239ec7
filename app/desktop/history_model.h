// The rows of the history list (历史记录): one per stored check, newest first,
// sortable by every column and filtered by title.
#pragma once

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <vector>

#include "check/check_store.h"

namespace oc {

class HistoryModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { Time, Title, Chars, Baidu, So360, Local, State, ColumnCount };
    // What a column sorts by (numbers for time and characters).
    static constexpr int kSortRole = Qt::UserRole + 1;
    // The check's id, on every column.
    static constexpr int kIdRole = Qt::UserRole + 2;

    using QAbstractTableModel::QAbstractTableModel;

    void setChecks(std::vector<CheckSummary> checks);
    const std::vector<CheckSummary>& checks() const { return checks_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    std::vector<CheckSummary> checks_;
};

// "79.07% (已核实 43/43)"; "-" without a value; empty when the engine did not run.
QString passCaption(const CheckSummary& check, Engine engine);
// 完成, 进行中 or 中断.
QString stateCaption(CheckState state);

}  // namespace oc
