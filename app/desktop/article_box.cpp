#include "app/desktop/article_box.h"

#include <QMimeData>
#include <QUrl>

namespace oc {

ArticleBox::ArticleBox(QWidget* parent) : QPlainTextEdit(parent) {}

void ArticleBox::setFileHandler(std::function<void(const QString&)> handler) {
    fileHandler_ = std::move(handler);
}

// The first local file of the data, when a handler takes files.
QString ArticleBox::droppedFile(const QMimeData* source) const {
    if (!fileHandler_ || source == nullptr || !source->hasUrls()) {
        return QString();
    }
    for (const QUrl& url : source->urls()) {
        if (url.isLocalFile()) {
            return url.toLocalFile();
        }
    }
    return QString();
}

bool ArticleBox::canInsertFromMimeData(const QMimeData* source) const {
    return !droppedFile(source).isEmpty() || QPlainTextEdit::canInsertFromMimeData(source);
}

void ArticleBox::insertFromMimeData(const QMimeData* source) {
    const QString path = droppedFile(source);
    if (path.isEmpty()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    fileHandler_(path);
}

}  // namespace oc
