// 历史记录: the checks kept in the results store, newest first, with a filter
// over their titles; 打开 shows one in the main window as it was, 导出报告 and
// 重查未核实 work on it, 删除 removes checks after a confirmation, and 对比
// sets two checks side by side.
#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "check/check_store.h"
#include "services/platform.h"

class QLineEdit;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;
class QTextBrowser;

namespace oc {

class HistoryModel;

class HistoryDialog : public QDialog {
    Q_OBJECT
  public:
    using CheckAction = std::function<void(CheckId)>;

    HistoryDialog(CheckStore& store, Platform& platform, QWidget* parent = nullptr);

    // Lists the store's checks again.
    void reload();
    // Each button shows once its work is given.
    void setOpenHandler(CheckAction action);
    void setExportHandler(CheckAction action);
    void setRecheckHandler(CheckAction action);

    QLineEdit* filterBox() const { return filter_; }
    QTableView* table() const { return table_; }
    // The checks selected, in the order the list shows them.
    std::vector<CheckId> selectedChecks() const;
    // Selects the checks (by id), clearing the selection before.
    void selectChecks(const std::vector<CheckId>& ids);

    // The buttons' work: each acts on the selection.
    void openSelected();
    void exportSelected();
    void recheckSelected();
    // Asks first; false when nothing was removed.
    bool deleteSelected();
    // Two checks selected: the earlier and the later side by side; the text shown.
    QString compareSelected();

  private:
    // The single check selected, said in a message when there is none or several.
    std::optional<CheckId> oneSelected();

    CheckStore& store_;
    Platform& platform_;
    HistoryModel* model_;
    QSortFilterProxyModel* proxy_;
    QLineEdit* filter_;
    QTableView* table_;
    QPushButton* openButton_;
    QPushButton* exportButton_;
    QPushButton* recheckButton_;
    CheckAction open_;
    CheckAction export_;
    CheckAction recheck_;
};

// The comparison of two stored checks as the 对比 window shows it (HTML).
QString comparisonHtml(const StoredCheck& before, const StoredCheck& after);

}  // namespace oc
