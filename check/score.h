// The originality value of a pass and the 360 verdict comment.
#pragma once

#include "services/text_types.h"

namespace oc {

// unmatched / total rounded half away to 4 places, times 100, "%.13g", then "%".
Text formatOriginality(int unmatched, int total);

// The comment for the whole-number percentage (the value truncated toward zero).
Text originalityVerdict(int unmatched, int total);

}  // namespace oc

namespace oc {

// The whole-number percentage v used by the verdict: the value of
// formatOriginality before it is printed, truncated toward zero (29 of 100 gives 28).
int wholePercent(int unmatched, int total);
// The comment for v, by the ordered tests at 60, 80, 90 and 99.
Text verdictForPercent(int v);

}  // namespace oc
