#include "app/desktop/article_loading.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QTextCursor>

#include "app/desktop/qt_text.h"
#include "services/boundary_text.h"
#include "services/document_text.h"

namespace oc {

void replaceArticleText(QPlainTextEdit& box, const QString& text) {
    QTextCursor cursor(box.document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    if (text.isEmpty()) {
        cursor.removeSelectedText();
    } else {
        cursor.insertText(text);
    }
    cursor.endEditBlock();
    box.moveCursor(QTextCursor::Start);
}

bool loadArticle(QPlainTextEdit& box, Platform& platform, const DecodedArticle& article) {
    if (article.tooLarge) {
        platform.messageBox(articleTooLargeMessage(), kMbOk);
        return false;
    }
    // The box keeps its paragraphs apart by itself; a CR would show as a character.
    replaceArticleText(
        box, qstringFromGbk(article.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    Text message;
    for (const ArticleWarning& warning : article.warnings) {
        if (!message.empty()) {
            message += "\r\n";
        }
        message += articleWarningMessage(warning);
    }
    if (!message.empty()) {
        platform.messageBox(message, kMbOk);
    }
    return true;
}

bool pasteArticleFromClipboard(QPlainTextEdit& box, Platform& platform) {
    const std::string clipboard = platform.clipboardUtf8();
    if (clipboard.empty()) {
        platform.messageBox(gbkFromUtf8("剪贴板里没有文字，文章没有改动。"), kMbOk);
        return false;
    }
    return loadArticle(box, platform, articleFromUtf8(clipboard));
}

bool openArticleFile(QPlainTextEdit& box, Platform& platform, const QString& path) {
    const DocumentText document = readDocumentText(QFile::encodeName(path).toStdString());
    if (document.problem == DocumentProblem::TooLarge) {
        platform.messageBox(articleTooLargeMessage(), kMbOk);
        return false;
    }
    if (document.problem != DocumentProblem::None) {
        platform.messageBox(gbkFromUtf8(std::string("无法读取文件“")
                                            .append(QFile::encodeName(path).toStdString())
                                            .append("”：")) +
                                documentProblemText(document),
                            kMbOk);
        return false;
    }
    return loadArticle(box, platform, document.article);
}

}  // namespace oc
