// Reading the article of the command-line checker.
#pragma once

#include <optional>
#include <string>

#include "app/cli/cli_options.h"
#include "services/article_decoding.h"
#include "services/web_article.h"

namespace oc::cli {

// Reads the document (.txt, .md, .html, .htm, .docx, .pdf; "-": standard input,
// plain text) and decodes it as the desktop article box
// would hold it. Nothing, with a message in `error`, when it cannot be read or
// is larger than the article limits (its bytes, or its characters as read).
std::optional<DecodedArticle> readArticle(const std::string& path, std::string& error);

// The main text of the web page at `url`, fetched with the limits and user
// agent of the options; `site` becomes the page's own site.
std::optional<DecodedArticle> readWebArticle(const CliOptions& options, const std::string& url,
                                             std::string& site, std::string& error);

// The JSON document with "url" and "ignoredSite" added after "articleChars".
std::string withWebPage(const std::string& json, const WebPageNote& note);

// The line standard error shows for a warning.
std::string warningLine(const ArticleWarning& warning);

}  // namespace oc::cli
