#include "check/score.h"

#include <cmath>
#include <limits>

#include "services/conversions.h"
#include "services/numbers.h"

namespace oc {

namespace {

// 别灰心额，还需努力
const char kTryHarder[] =
    "\xB1\xF0\xBB\xD2\xD0\xC4\xB6\xEE\xA3\xAC\xBB\xB9\xD0\xE8\xC5\xAC\xC1\xA6";
// 已经合格，有待提升
const char kPassed[] = "\xD2\xD1\xBE\xAD\xBA\xCF\xB8\xF1\xA3\xAC\xD3\xD0\xB4\xFD\xCC\xE1\xC9\xFD";
// 百尺竿头，更进一步
const char kOneStepFurther[] =
    "\xB0\xD9\xB3\xDF\xB8\xCD\xCD\xB7\xA3\xAC\xB8\xFC\xBD\xF8\xD2\xBB\xB2\xBD";
// 非常不错，挑战满分
const char kVeryGood[] = "\xB7\xC7\xB3\xA3\xB2\xBB\xB4\xED\xA3\xAC\xCC\xF4\xD5\xBD\xC2\xFA\xB7\xD6";
// 你乃神人，此文原创
const char kOriginal[] = "\xC4\xE3\xC4\xCB\xC9\xF1\xC8\xCB\xA3\xAC\xB4\xCB\xCE\xC4\xD4\xAD\xB4\xB4";

// The share of unmatched segments, rounded to four places, times 100.
double originalityValue(int unmatched, int total) {
    double ratio = static_cast<double>(unmatched) / static_cast<double>(total);
    return roundHalfAway(ratio, 4) * 100.0;
}

}  // namespace

Text formatOriginality(int unmatched, int total) {
    if (total <= 0) {
        return {};  // no segment, no value
    }
    return toText(originalityValue(unmatched, total)) + "%";
}

int wholePercent(int unmatched, int total) {
    if (total <= 0) {
        return 0;
    }
    double value = std::trunc(originalityValue(unmatched, total));
    if (value >= static_cast<double>(std::numeric_limits<int>::max())) {
        return std::numeric_limits<int>::max();
    }
    if (value <= static_cast<double>(std::numeric_limits<int>::min())) {
        return std::numeric_limits<int>::min();
    }
    return static_cast<int>(value);
}

Text verdictForPercent(int v) {
    Text comment;
    // Each later test that holds replaces the comment of an earlier one.
    if (v <= 60) {
        comment = kTryHarder;
    }
    if (v >= 60 && v <= 80) {
        comment = kPassed;
    }
    if (v >= 80 && v <= 90) {
        comment = kOneStepFurther;
    }
    if (v >= 90 && v <= 99) {
        comment = kVeryGood;
    }
    if (v >= 99) {
        comment = kOriginal;
    }
    return comment;
}

Text originalityVerdict(int unmatched, int total) {
    if (total <= 0) {
        return {};
    }
    return verdictForPercent(wholePercent(unmatched, total));
}

}  // namespace oc
