#include "app/cli/article_input.h"

#include <unistd.h>
#include <cstring>

#include "app/cli/json_text.h"
#include "services/article_reading.h"
#include "services/boundary_text.h"
#include "services/document_text.h"
#include "services/web_article.h"

#include <nlohmann/json.hpp>

namespace oc::cli {

std::optional<DecodedArticle> readArticle(const std::string& path, std::string& error) {
    std::string name = path == "-" ? "from standard input" : path;
    DocumentText document;
    if (path == "-") {
        ArticleBytes input = readArticleBytes(STDIN_FILENO);
        if (input.error != 0) {
            document.problem = DocumentProblem::Unreadable;
            document.error = input.error;
        } else {
            document = documentTextFromBytes(input.bytes, DocumentFormat::PlainText);
        }
    } else {
        document = readDocumentText(path);
    }
    switch (document.problem) {
        case DocumentProblem::None:
            return std::move(document.article);
        case DocumentProblem::Unreadable:
            error =
                "cannot read the article " + name + ": " +
                (document.error == EISDIR         ? std::string("it is a folder")
                 : document.error == ENAMETOOLONG ? std::string("路径过长 (the path is too long)")
                                                  : std::string(std::strerror(document.error)));
            return std::nullopt;
        case DocumentProblem::TooLarge:
            error = "the article " + name + " is larger than 16 MiB (" +
                    std::to_string(kMaxArticleBytes) + " bytes); nothing was checked";
            return std::nullopt;
        default:
            error = "cannot read the article " + name + ": " +
                    utf8FromGbk(documentProblemText(document)) + "; nothing was checked";
            return std::nullopt;
    }
}

std::optional<DecodedArticle> readWebArticle(const CliOptions& options, const std::string& url,
                                             std::string& site, std::string& error) {
    FetchLimits limits;
    if (options.stallTimeoutMs > 0) {
        limits.stallTimeout = std::chrono::milliseconds(options.stallTimeoutMs);
    }
    if (!options.userAgent.empty()) {
        limits.userAgent = options.userAgent;
    }
    WebArticle page = fetchWebArticle(url, limits);
    if (!page.problem.empty()) {
        error = utf8FromGbk(page.problem) + "：" + url;
        return std::nullopt;
    }
    site = page.site;
    return std::move(page.article);
}

std::string withWebPage(const std::string& json, const WebPageNote& note) {
    nlohmann::ordered_json doc = nlohmann::ordered_json::parse(json, nullptr, false);
    if (doc.is_discarded() || !doc.is_object()) {
        return json;
    }
    nlohmann::ordered_json out;
    for (auto& [key, value] : doc.items()) {
        out[key] = std::move(value);
        if (key == "articleChars") {
            out["url"] = note.url;
            out["ignoredSite"] = note.site;
        }
    }
    return jsonText(out, 2);
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
