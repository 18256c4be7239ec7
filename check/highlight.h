// Deciding from a result page's highlighted fragments whether a segment is on the web.
#pragma once

#include <cstddef>
#include <vector>

#include "services/text_types.h"
#include "text/regex.h"

namespace oc {

// The pattern that finds the highlighted fragments of a result page.
extern const Text kHighlightPattern;  // "<em>(.*?)</em>"

// A highlighted run of the page that counts for the segment.
struct HighlightRun {
    std::size_t position = 0;  // byte offset of its "<em>" in the page text
    std::size_t length = 0;    // bytes of the fragment between the tags
};

// The matches whose group 1 (cut from pageText, the text that was searched) is
// at least thresholdBytes long and occurs, beginning on a character boundary,
// in the half-width form of the segment, in page order. One run per match: a
// fragment highlighted twice is listed twice.
std::vector<HighlightRun> qualifyingRuns(const Text& segment, const Text& pageText,
                                         const RegexMatchList& matches, int thresholdBytes);

// The number of qualifying runs.
int countHighlightHits(const Text& segment, const Text& pageText, const RegexMatchList& matches,
                       int thresholdBytes);

}  // namespace oc
