#include "app/cli/article_input.h"

#include <unistd.h>
#include <cstring>

#include "check/article_length.h"
#include "check/pass_texts.h"
#include "services/article_reading.h"
#include "services/boundary_text.h"

namespace oc::cli {

std::optional<DecodedArticle> readArticle(const std::string& path, std::string& error) {
    std::string name = path == "-" ? "from standard input" : path;
    ArticleBytes input = path == "-" ? readArticleBytes(STDIN_FILENO) : readArticleFile(path);
    if (input.error != 0) {
        error = "cannot read the article " + name + ": " +
                (input.error == EISDIR ? "it is a folder" : std::strerror(input.error));
        return std::nullopt;
    }
    DecodedArticle article = decodeArticle(input.bytes);
    if (article.tooLarge) {
        error = "the article " + name + " is larger than 16 MiB (" +
                std::to_string(kMaxArticleBytes) + " bytes); nothing was checked";
        return std::nullopt;
    }
    // Counted as read, before the filters drop anything.
    const std::size_t chars = articleLength(article.text);
    if (chars > kMaxArticleChars) {
        error = utf8FromGbk(pass_texts::articleTooLong(chars));
        return std::nullopt;
    }
    return article;
}

std::string warningLine(const ArticleWarning& warning) {
    std::string what = warning.kind == ArticleWarningKind::InvalidUtf8
                           ? " bytes that are not UTF-8 were dropped"
                           : " characters that GBK lacks became \"?\"";
    return "warning: " + std::to_string(warning.count) + what + " (" +
           articleWarningName(warning.kind) + ", the first at byte " +
           std::to_string(warning.firstByte) + ", line " + std::to_string(warning.line) + ")";
}

}  // namespace oc::cli
