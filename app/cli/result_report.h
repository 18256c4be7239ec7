// What the command-line checker prints when its passes have ended.
#pragma once

#include <string>
#include <vector>

#include "check/check_run.h"
#include "check/memory_window.h"
#include "services/article_decoding.h"

namespace oc::cli {

// {"articleChars": ..., "passes": [{"engine", "end", "originality", "verdict"
// (360 only), "verified", "unverified" (numbers), "coverage", "rows":
// [{"number", "text", "hits", "url", "status" (hit, original, unverified),
// "reason"}]}]}; every other value is the text the window shows, in UTF-8.
// When the article lost bytes or characters on reading, "warnings": [{"kind",
// "count", "firstByte", "line"}] follows "articleChars".
std::string jsonReport(const MemoryWindow& window, const std::vector<PassRecord>& passes,
                       const std::vector<ArticleWarning>& warnings = {});

// The result tables and percentages, aligned for Chinese text.
std::string textReport(const MemoryWindow& window, const std::vector<PassRecord>& passes);

// Columns a UTF-8 text takes on a terminal (East Asian wide characters take two).
int displayWidth(std::string_view utf8);

}  // namespace oc::cli
