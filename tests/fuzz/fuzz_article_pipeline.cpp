// The article pipeline on arbitrary bytes with arbitrary segment lengths: no
// character is ever split and the segments rejoin to the prepared text.
#include <cstdint>
#include <string>

#include "check/segmentation.h"
#include "tests/fuzz/fuzz_invariant.h"
#include "text/article_filters.h"

using oc::fuzz::wholeCharacters;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    int segmentChars = static_cast<int>(data[0]) - 16;  // -16 .. 239, the bad values included
    oc::Text article =
        oc::fuzz::textOf(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));

    oc::Text trimmed = oc::trim(article);
    require(trimmed.size() <= article.size());
    oc::Text prepared = oc::prepareArticle(article);
    require(oc::keepNonAsciiChars(prepared) == prepared);  // idempotent
    require(oc::articleCharCount(prepared) == static_cast<int>(prepared.size() / 2));

    int segmentBytes = 2 * segmentChars;
    oc::SegmentList segments = oc::splitSegments(oc::cutSegments(prepared, segmentBytes));
    int limit = segmentBytes > 0 ? segmentBytes : 2 * oc::kMaxSegmentChars;
    // The marker's characters (● and ◆) inside the article take part in the
    // cutting as the marker does; the exact invariants hold without them.
    bool markerFree =
        prepared.find("\xA1\xF1") == oc::Text::npos && prepared.find("\xA1\xF4") == oc::Text::npos;
    std::size_t total = 0;
    oc::Text joined;
    for (const oc::Text& segment : segments) {
        total += segment.size();
        if (markerFree) {
            require(!segment.empty());
            require(static_cast<int>(segment.size()) <= limit + 1);
            require(wholeCharacters(segment));
            joined += segment;
        }
    }
    require(total <= prepared.size());
    if (markerFree) {
        require(joined == prepared);
    }
    return 0;
}
