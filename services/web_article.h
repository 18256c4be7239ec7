// A web page as the article: fetched, decoded by its charset, and reduced to
// its main text (html_text.h).
#pragma once

#include <string>

#include "services/article_decoding.h"
#include "services/http_fetch.h"
#include "services/text_types.h"

namespace oc {

struct WebArticle {
    // GBK: why there is no article ("网页无法打开：…"); empty when there is one.
    Text problem;
    DecodedArticle article;  // the main text, as the article box holds it
    std::string title;       // UTF-8, the page's <title>
    // The page's own site (the host of the address it came from after
    // redirects), which the check ignores: it would otherwise find itself.
    std::string site;
};

// What a report says about a web page checked: "网页：URL（网页所在网站 SITE
// 的结果不计入本次检测）" (UTF-8).
std::string webPageNote(const std::string& url, const std::string& site);

// A web page checked: its address, and its own site, whose results were not
// counted.
struct WebPageNote {
    std::string url;
    std::string site;
    std::string sentence() const { return webPageNote(url, site); }
};

// Fetches the page (http or https) with the program's fetch and its limits.
WebArticle fetchWebArticle(const std::string& url, const FetchLimits& limits = {});

// The article of a page already fetched from `url`.
WebArticle webArticleFromPage(const std::string& url, const FetchReport& page);

}  // namespace oc
