// Where the segments of a pass stand in the article it read, so the copied
// passages can be marked in the article itself.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "services/text_types.h"

namespace oc {

// Byte offsets [begin, end) into the article text (GBK).
struct ArticleSpan {
    std::size_t begin = 0;
    std::size_t end = 0;
    friend bool operator==(const ArticleSpan&, const ArticleSpan&) = default;
};

// For each segment as the pass cut it (either way of cutting), in order, the
// stretch of the article it came from: from its first to its last character
// outside ASCII, the ASCII and white space in between included. Nothing for a
// segment that is not found (the article changed) or holds nothing but ASCII
// and white space.
// Works whatever line breaks the article uses (CR LF, LF or CR).
std::vector<std::optional<ArticleSpan>> locateSegments(const Text& article,
                                                       const std::vector<Text>& segments);

// The same spans counted in UTF-16 code units of the article as a text box
// holds it: a line break (CR LF, LF or CR) is one unit, a GBK character one,
// a four-byte GB18030 character two.
std::vector<std::optional<ArticleSpan>> displaySpans(
    const Text& article, const std::vector<std::optional<ArticleSpan>>& spans);

}  // namespace oc
