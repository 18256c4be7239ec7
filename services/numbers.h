// Rounding helpers with the exact rules the percentage text depends on.
#pragma once

namespace oc {

// Rounds half away from zero at `digits` places after the point; a negative
// `digits` rounds to tens, hundreds, ... 0 and NaN come back unchanged.
double roundHalfAway(double x, int digits = 0);

// The largest integer not above x, after snapping a fraction within 1e-12 of a
// whole number to that number (away from zero).
int floorInteger(double x);

}  // namespace oc
