#include "app/desktop/local_folder_chooser.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "app/desktop/qt_text.h"
#include "app/desktop/settings_not_saved.h"
#include "app/desktop/widget_style.h"
#include "services/boundary_text.h"
#include "settings/settings.h"

namespace oc {

namespace {
const char* const kNoFolder = "（未选择文件夹）";
}  // namespace

LocalFolderChooser::LocalFolderChooser(Platform& platform, QWidget* parent)
    : QWidget(parent),
      platform_(platform),
      path_(new QLabel(this)),
      button_(new QPushButton(this)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    button_->setObjectName(QStringLiteral("按钮_选择本地文档目录"));
    button_->setText(QStringLiteral("文档目录…"));
    button_->setFont(pixelFont(12));
    button_->setToolTip(
        QStringLiteral("选择本地文档所在的文件夹（含子文件夹中的 .txt、.md、"
                       ".html、.htm、.docx、.pdf 文件）"));
    path_->setObjectName(QStringLiteral("标签_本地文档目录"));
    path_->setFont(pixelFont(12));
    path_->setTextFormat(Qt::PlainText);
    // The elided path must not make the row wider than it is.
    path_->setMinimumWidth(1);
    path_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    row->addWidget(button_);
    row->addWidget(path_, 1);
    connect(button_, &QPushButton::clicked, this, [this] { choose(); });
    showFolder();
}

void LocalFolderChooser::bindSettings(const Text& settingsPath) {
    settingsPath_ = settingsPath;
    folder_ = loadLocalFolder(settingsPath_);
    showFolder();
}

bool LocalFolderChooser::choose() {
    const QString start = qstringFromNativePath(folder_);
    const QString chosen = chooser_ ? chooser_()
                                    : QFileDialog::getExistingDirectory(
                                          this, QStringLiteral("选择本地文档目录"), start);
    if (chosen.isEmpty()) {
        return false;
    }
    const std::string folder = nativePathOf(chosen);
    if (!settingsPath_.empty() && !saveLocalFolder(settingsPath_, folder)) {
        platform_.messageBox(
            settingsNotSavedMessage("本地文档目录没有保存，检测仍用原来的目录。", settingsPath_),
            kMbIconWarning, gbkFromUtf8("本地文档目录"));
        return false;
    }
    folder_ = folder;
    showFolder();
    return true;
}

void LocalFolderChooser::requireFolderFor(QAbstractButton& checkBox) {
    connect(&checkBox, &QAbstractButton::toggled, this, [this, &checkBox](bool ticked) {
        if (ticked && folder_.empty() && !choose()) {
            checkBox.setChecked(false);
        }
    });
}

void LocalFolderChooser::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    showFolder();
}

void LocalFolderChooser::showFolder() {
    const QString whole =
        folder_.empty() ? QString::fromUtf8(kNoFolder) : qstringFromNativePath(folder_);
    path_->setToolTip(folder_.empty() ? QString() : plainTip(whole));
    path_->setText(
        path_->fontMetrics().elidedText(whole, Qt::ElideMiddle, std::max(path_->width(), 1)));
}

}  // namespace oc
