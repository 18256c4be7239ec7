#include "app/desktop/article_loading.h"

#include <QFile>
#include <QPlainTextEdit>

#include "app/desktop/qt_text.h"
#include "services/boundary_text.h"
#include "services/document_text.h"

namespace oc {

void loadArticle(QPlainTextEdit& box, Platform& platform, const DecodedArticle& article) {
    if (article.tooLarge) {
        platform.messageBox(articleTooLargeMessage(), kMbOk);
        return;
    }
    // The box keeps its paragraphs apart by itself; a CR would show as a character.
    box.setPlainText(
        qstringFromGbk(article.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
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
}

void pasteArticleFromClipboard(QPlainTextEdit& box, Platform& platform) {
    loadArticle(box, platform, articleFromUtf8(platform.clipboardUtf8()));
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
    loadArticle(box, platform, document.article);
    return true;
}

}  // namespace oc
