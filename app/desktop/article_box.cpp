#include "app/desktop/article_box.h"

#include <QContextMenuEvent>
#include <QMenu>

#include <QHelpEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QToolTip>
#include <QUrl>

namespace oc {

ArticleBox::ArticleBox(QWidget* parent) : QPlainTextEdit(parent) {
    // Any change of the text, typed, pasted or loaded, makes the marks stale.
    connect(this, &QPlainTextEdit::textChanged, this, &ArticleBox::clearMarks);
}

void ArticleBox::setMarks(std::vector<BoxMark> marks) {
    const int length = document()->characterCount() - 1;
    std::erase_if(marks, [length](const BoxMark& mark) {
        return mark.begin < 0 || mark.end > length || mark.begin >= mark.end;
    });
    QList<QTextEdit::ExtraSelection> selections;
    for (const BoxMark& mark : marks) {
        QTextEdit::ExtraSelection selection;
        selection.cursor = QTextCursor(document());
        selection.cursor.setPosition(mark.begin);
        selection.cursor.setPosition(mark.end, QTextCursor::KeepAnchor);
        selection.format.setBackground(mark.background);
        selections.push_back(selection);
    }
    marks_ = std::move(marks);
    setExtraSelections(selections);
}

void ArticleBox::clearMarks() {
    if (!marks_.empty()) {
        marks_.clear();
        setExtraSelections({});
    }
}

QString ArticleBox::tipAt(int position) const {
    for (const BoxMark& mark : marks_) {
        if (position >= mark.begin && position < mark.end) {
            return mark.tip;
        }
    }
    return QString();
}

bool ArticleBox::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QPlainTextEdit::viewportEvent(event);
    }
    auto* help = static_cast<QHelpEvent*>(event);
    // The character under the pointer, not the gap nearest to it.
    const QTextCursor at = cursorForPosition(help->pos());
    QString tip;
    if (at.block().isValid() && cursorRect(at).center().x() > help->pos().x()) {
        tip = tipAt(at.position() - 1);
    } else {
        tip = tipAt(at.position());
    }
    if (tip.isEmpty()) {
        QToolTip::hideText();
    } else {
        QToolTip::showText(help->globalPos(), tip, viewport());
    }
    return true;
}

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

void ArticleBox::setWebPageHandler(std::function<void()> handler) {
    webPageHandler_ = std::move(handler);
}

QMenu* ArticleBox::buildContextMenu() {
    QMenu* menu = createStandardContextMenu();
    if (webPageHandler_) {
        menu->addSeparator();
        QAction* web = menu->addAction(QStringLiteral("检测网页…"));
        web->setObjectName(QStringLiteral("菜单_检测网页"));
        connect(web, &QAction::triggered, this, [this] { webPageHandler_(); });
    }
    return menu;
}

void ArticleBox::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = buildContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
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
