#include "app/desktop/skipped_files_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/desktop/qt_text.h"
#include "app/desktop/widget_style.h"

namespace oc {

SkippedFilesDialog::SkippedFilesDialog(QWidget* parent)
    : QDialog(parent), table_(new QTableWidget(0, 2, this)) {
    setObjectName(QStringLiteral("窗口_已跳过的文件"));
    setWindowTitle(QStringLiteral("已跳过的文件"));
    resize(640, 360);
    auto* column = new QVBoxLayout(this);
    auto* note = new QLabel(QStringLiteral("本地文档目录中的这些文件没有参与比对："), this);
    note->setFont(pixelFont(12));
    column->addWidget(note);
    table_->setObjectName(QStringLiteral("表格_已跳过的文件"));
    table_->setHorizontalHeaderLabels({QStringLiteral("文件"), QStringLiteral("原因")});
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setWordWrap(false);
    table_->verticalHeader()->setVisible(false);
    table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    table_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    column->addWidget(table_, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("关闭"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
}

void SkippedFilesDialog::setFiles(const std::vector<SkippedFileRow>& files) {
    table_->setRowCount(static_cast<int>(files.size()));
    for (int row = 0; row < static_cast<int>(files.size()); ++row) {
        const SkippedFileRow& file = files[static_cast<std::size_t>(row)];
        auto* path = new QTableWidgetItem(file.path);
        path->setToolTip(plainTip(file.path));
        table_->setItem(row, 0, path);
        table_->setItem(row, 1, new QTableWidgetItem(file.reason));
    }
}

}  // namespace oc
