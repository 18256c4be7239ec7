// The files the local engine left out, with the reason for each: a window
// opened from the status bar.
#pragma once

#include <QDialog>
#include <QString>
#include <vector>

class QTableWidget;

namespace oc {

struct SkippedFileRow {
    QString path;
    QString reason;
};

class SkippedFilesDialog : public QDialog {
    Q_OBJECT
  public:
    explicit SkippedFilesDialog(QWidget* parent = nullptr);

    // Replaces the list, in the order given.
    void setFiles(const std::vector<SkippedFileRow>& files);
    QTableWidget& table() const { return *table_; }

  private:
    QTableWidget* table_;
};

}  // namespace oc
