// The originality value of a pass and the 360 verdict comment.
#pragma once

#include "services/text_types.h"

namespace oc {

// unmatched / total rounded half away to 4 places, times 100, "%.13g", then "%"
// (16 of 19 gives "84.21%"). Empty text when total <= 0: a run without segments
// has no value, and the passes leave their label empty.
Text formatOriginality(int unmatched, int total);

// The whole-number percentage v used by the verdict: the value of
// formatOriginality before it is printed, truncated toward zero (29 of 100
// prints "29%" and gives 28). 0 when total <= 0.
int wholePercent(int unmatched, int total);

// The comment for v, by the ordered tests v <= 60, 60..80, 80..90, 90..99,
// v >= 99, each later one that holds replacing the earlier comment.
Text verdictForPercent(int v);

// The comment for the pass's value; empty when total <= 0.
Text originalityVerdict(int unmatched, int total);

}  // namespace oc
