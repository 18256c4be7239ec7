// Deciding from a result page's highlighted fragments whether a segment is on the web.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "services/text_types.h"
#include "text/regex.h"

namespace oc {

// The pattern that finds the highlighted fragments of a result page.
extern const Text kHighlightPattern;  // "<em>(.*?)</em>"

// A page is analysed up to this many highlighted fragments; real result pages
// hold fewer than a hundred.
inline constexpr std::size_t kMaxHighlights = 20000;

// The matches of kHighlightPattern in a text, found in one pass over it (a
// page of unclosed tags costs no more than its length), at most `limit`.
struct HighlightScan {
    RegexMatchList matches;
    bool cut = false;  // the text holds more than `limit`
};
HighlightScan findHighlights(std::string_view text, bool caseSensitive,
                             std::size_t limit = kMaxHighlights);

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

// Whether a page may hold a qualifying run, told from its UTF-8 text and the
// matches found there without converting the page: never false where
// qualifyingRuns over the page's GB18030 text finds one. Fragments that cannot
// be told apart cheaply (empty ones, private use characters) answer true.
bool mayHoldQualifyingRun(const Text& segment, const std::string& pageUtf8,
                          const RegexMatchList& matches, int thresholdBytes);

// The number of qualifying runs.
int countHighlightHits(const Text& segment, const Text& pageText, const RegexMatchList& matches,
                       int thresholdBytes);

}  // namespace oc
