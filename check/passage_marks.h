// The passages of an article to mark after a check, with what each engine said
// of them: the same marks in the exported report and in the window.
#pragma once

#include <string>
#include <vector>

#include "check/article_marks.h"
#include "check/check_report.h"

namespace oc {

struct PassageMark {
    ArticleSpan span;  // bytes into the article the passes read
    // 命中 when any engine says so, else 未核实 when any says so.
    RowStatus status = RowStatus::Hit;
    // One line per engine, in the order of the passes (UTF-8): engine, status
    // (with the reason of an unverified one), hits and, for 命中, the source.
    std::string tip;
};

// The passages of `article` that some engine found copied or could not
// verify, in article order and apart from one another; original passages and
// segments the article no longer holds are left out. The passes cut the same
// segments; their rows are matched by position.
std::vector<PassageMark> markedPassages(const Text& article,
                                        const std::vector<const ReportPass*>& passes);

// What the report and the window say of a row: its status, with the reason of
// an unverified one; a 命中 row's source title, "未识别" without one (empty for
// other rows).
std::string rowStatusCaption(const ReportRow& row);
std::string rowSourceCaption(const ReportRow& row);

}  // namespace oc
