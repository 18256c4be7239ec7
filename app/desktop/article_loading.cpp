#include "app/desktop/article_loading.h"

#include <QFile>
#include <QPlainTextEdit>
#include <cstring>

#include "app/desktop/qt_text.h"
#include "services/article_reading.h"
#include "services/boundary_text.h"

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
    const ArticleBytes bytes = readArticleFile(QFile::encodeName(path).toStdString());
    if (bytes.error != 0) {
        const std::string why = bytes.error == EISDIR         ? "这是一个文件夹"
                                : bytes.error == ENAMETOOLONG ? "路径过长"
                                                              : std::strerror(bytes.error);
        platform.messageBox(
            gbkFromUtf8(
                std::string("无法读取文件“").append(path.toStdString()).append("”：").append(why)),
            kMbOk);
        return false;
    }
    loadArticle(box, platform, decodeArticle(bytes.bytes));
    return true;
}

}  // namespace oc
