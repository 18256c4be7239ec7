// Turning an article into the query segments that a check pass sends.
#pragma once

#include <deque>

#include "services/text_types.h"
#include "settings/settings.h"
#include "text/article_filters.h"

namespace oc {

// The ordered query segments of one pass, taken from the front.
using SegmentList = std::deque<Text>;

// Joins the segments of cutSegments: "●◆●●◆●●●" in GBK.
extern const Text kSegmentMarker;

// Segment length used when the configured one is 0 or below (and the upper bound).
inline constexpr int kMaxSegmentChars = 38;

// Half the byte length of the prepared text, truncated.
int articleCharCount(const Text& prepared);
// The segments of at most segmentBytes bytes, never splitting a character, each
// followed by the marker, the final marker removed. segmentBytes of 0 or below
// counts as twice kMaxSegmentChars.
Text cutSegments(const Text& prepared, int segmentBytes);
// Cuts the joined text at each marker; a trailing empty piece is not listed.
SegmentList splitSegments(const Text& joined);

// The query segments of an article as the settings' 检测方式 cuts them, and
// the character count the check shows for it.
struct ArticleCut {
    SegmentList segments;
    int chars = 0;
};
ArticleCut cutArticle(const Text& article, const CheckSettings& settings);

}  // namespace oc
