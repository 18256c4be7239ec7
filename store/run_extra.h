// What a front end keeps beside a stored check (CheckStart::extra, a JSON
// object) for showing it again: the warnings of reading the article and the
// web page it came from.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "check/check_report.h"
#include "services/article_decoding.h"
#include "services/web_article.h"

namespace oc {

std::string runExtraJson(const std::vector<ArticleWarning>& warnings,
                         const std::optional<WebPageNote>& page);
// What a later version keeps differently, or text that is no JSON object, is
// left out.
void readRunExtra(const std::string& extra, std::vector<ArticleWarning>& warnings,
                  std::optional<WebPageNote>& page);

// The report's line "检测网页" for a check of a web page; nothing for another.
void addWebPageLine(CheckReport& report, const std::string& extra);

}  // namespace oc
