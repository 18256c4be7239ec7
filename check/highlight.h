// Deciding from a result page's highlighted fragments whether a segment is on the web.
#pragma once

#include "services/text_types.h"
#include "text/regex.h"

namespace oc {

// The pattern that finds the highlighted fragments of a result page.
extern const Text kHighlightPattern;  // "<em>(.*?)</em>"

// Counts the matches whose group 1 (cut from pageText, the text that was
// searched) is at least thresholdBytes long and occurs, beginning on a
// character boundary, in the half-width form of the segment. One count per
// match: a fragment highlighted twice counts twice.
int countHighlightHits(const Text& segment, const Text& pageText, const RegexMatchList& matches,
                       int thresholdBytes);

}  // namespace oc
