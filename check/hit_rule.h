// Whether a segment is on the web, told from what its verified result pages
// show: the highlighted fragments occurring in it and the results they lie in.
// A pure function of that evidence and the settings, so a page kept from an
// earlier check gives the same row.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "check/ignore_list.h"
#include "check/segment_source.h"
#include "services/text_types.h"

namespace oc {

// Changes whenever what a page yields for a segment, or how that is judged,
// changes: evidence kept under another version must be analysed again.
inline constexpr int kPageAnalysisVersion = 2;

// A highlighted fragment of a page that occurs in the segment's half-width form.
struct PageFragment {
    std::string text;       // UTF-8, as the page holds it
    std::size_t bytes = 0;  // its length in GBK bytes (an ASCII character counts one)
    int block = -1;         // index into PageEvidence::blocks; -1: outside every result
};

// What one verified page shows for a segment.
struct PageEvidence {
    bool anyHighlight = false;  // the page held any highlighted fragment
    // False when the page was not parsed because, at the settings it was read
    // with, no fragment of it could make the segment 命中: its fragments then
    // stand outside every result.
    bool blocksKnown = false;
    std::vector<PageFragment> fragments;  // page order
    std::vector<SegmentSource> blocks;    // the results holding a fragment
    // The page holds more results than were examined: fragments past them
    // stand outside every result.
    bool blocksCut = false;
};

struct HitRule {
    int minRunBytes = 60;  // 2 × 飘红检测数
    // 飘红覆盖率 (整句); none: one long highlight only (经典).
    std::optional<int> coveragePercent;
};

struct HitOutcome {
    // The long highlights (outside ignored results), or when only the coverage
    // rule fired, the highlights that covered the segment. 0: not 命中.
    int hits = 0;
    // The result of the longest long highlight (earlier page and fragment on a
    // tie), else the result of the best coverage; none: unrecognised.
    std::optional<SegmentSource> source;
    // The index of the page holding the source (without one, the first long
    // highlight that counted); -1 when not 命中.
    int sourcePage = -1;
    // The best share (0-100, rounded down) of the segment's characters that the
    // highlights of one result cover; none without a coverage rule or evidence.
    std::optional<int> coverage;
};

HitOutcome judgeSegment(const Text& segment, const std::vector<PageEvidence>& pages,
                        const HitRule& rule, const IgnoreList& ignore);

// The segment's half-width form as code points, what coverage is counted on.
std::u32string coverageForm(const Text& segment);

// The share of the countable characters (not punctuation, not white space) of
// `segment` that the fragments cover: each fragment of at least two countable
// characters covers every occurrence of it. {covered, countable}.
struct Coverage {
    std::size_t covered = 0;
    std::size_t countable = 0;
    int percent() const;
    bool reaches(int percent) const;
};
Coverage coverageOf(std::u32string_view segment, const std::vector<std::u32string>& fragments);

// Whether the segment holds a countable character (one not punctuation, not white space).
bool hasCountableCharacter(const Text& segment);

}  // namespace oc
