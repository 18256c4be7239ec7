// What the command-line checker prints when its passes have ended.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "check/check_report.h"
#include "check/check_run.h"
#include "corpus/document_folder.h"
#include "services/article_decoding.h"

namespace oc::cli {

// {"articleChars": ..., "passes": [{"engine", "end", "originality", "verdict"
// (360 only), "verified", "unverified" (numbers), "coverage", "rows":
// [{"number", "text", "hits", "url", "status" (hit, original, unverified),
// "reason", "source": {"title", "url"} or null}], "sources": [{"domain",
// "segments" (a number)}]}]}; every other value is the text the window shows,
// in UTF-8. Everything comes from `report` (built from the passes' outcomes),
// a pass per record of `passes`. When the article lost bytes or
// characters on reading, "warnings": [{"kind", "count", "firstByte", "line"}]
// follows "articleChars".
// With `skipped` (the local engine ran), "skipped": [{"path", "reason"}] ends
// the document.
std::string jsonReport(const std::vector<PassRecord>& passes, const CheckReport& report,
                       const std::vector<ArticleWarning>& warnings = {},
                       const std::vector<corpus::SkippedFile>* skipped = nullptr);

// The result tables and percentages, aligned for Chinese text, with the source
// of each copied segment, all from `report`, written to `out` row by row.
// Cells (titles, addresses, file names) are cut to 200 characters with "…",
// columns padded up to a fixed width, control characters shown as escapes.
// `withUrls` false leaves the 搜索 column out.
void writeTextReport(std::ostream& out, const std::vector<PassRecord>& passes,
                     const CheckReport& report, bool withUrls = true);
std::string textReport(const std::vector<PassRecord>& passes, const CheckReport& report,
                       bool withUrls = true);

// The first `maxChars` characters of a UTF-8 text, with "…" when it was longer.
std::string shortenedText(std::string_view utf8, std::size_t maxChars);

// Columns a UTF-8 text takes on a terminal (East Asian wide characters take two).
int displayWidth(std::string_view utf8);

}  // namespace oc::cli
