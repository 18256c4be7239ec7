// Reading the article of the command-line checker.
#pragma once

#include <optional>
#include <string>

#include "app/cli/cli_options.h"
#include "services/article_decoding.h"

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

// What the report says about a web page checked: its address, and that
// results from its own site were not counted.
struct WebPageNote {
    std::string url;
    std::string site;
    std::string sentence() const;
};

// The JSON document with "url" and "ignoredSite" added after "articleChars".
std::string withWebPage(const std::string& json, const WebPageNote& note);

// The line standard error shows for a warning.
std::string warningLine(const ArticleWarning& warning);

}  // namespace oc::cli
