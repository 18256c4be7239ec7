#include "check/highlight.h"

#include <cstdint>

#include "services/ascii_case.h"
#include "services/encoding.h"
#include "services/text_ops.h"

namespace oc {

const Text kHighlightPattern = "<em>(.*?)</em>";

namespace {

// The threshold comparison of a fragment of `bytes` GBK bytes, counted with a tolerance.
bool longEnough(double bytes, int thresholdBytes) {
    return bytes - thresholdBytes >= -0.0000001;
}

// The first occurrence of `tag` (lower-case ASCII) at or after `from`, any
// case of its letters matching when `anyCase`; npos when none.
std::size_t findTag(std::string_view text, std::string_view tag, std::size_t from, bool anyCase) {
    if (!anyCase) {
        return text.find(tag, from);
    }
    for (std::size_t at = text.find('<', from); at != std::string_view::npos;
         at = text.find('<', at + 1)) {
        if (text.size() - at >= tag.size() &&
            equalsIgnoringAsciiCase(text.substr(at, tag.size()), tag)) {
            return at;
        }
    }
    return std::string_view::npos;
}

}  // namespace

HighlightScan findHighlights(std::string_view text, bool caseSensitive, std::size_t limit) {
    // The lazy group ends at the first "</em>" after its "<em>"; the next match
    // is sought from there. An "<em>" with no "</em>" after it is followed by
    // none either, so the search ends at the first such one.
    constexpr std::string_view open = "<em>";
    constexpr std::string_view close = "</em>";
    HighlightScan scan;
    if (text.size() > static_cast<std::size_t>(INT32_MAX)) {
        return scan;  // offsets are 32-bit, as the regular expressions' are
    }
    std::size_t from = 0;
    while (from < text.size()) {
        const std::size_t start = findTag(text, open, from, !caseSensitive);
        if (start == std::string_view::npos) {
            break;
        }
        const std::size_t end = findTag(text, close, start + open.size(), !caseSensitive);
        if (end == std::string_view::npos) {
            break;
        }
        if (scan.matches.size() == limit) {
            scan.cut = true;
            break;
        }
        const auto at = static_cast<std::int32_t>(start);
        const auto inner = static_cast<std::int32_t>(end - start - open.size());
        scan.matches.emplace_back(std::vector<MatchSpan>{
            {at, inner + static_cast<std::int32_t>(open.size() + close.size()), true},
            {at + static_cast<std::int32_t>(open.size()), inner, true}});
        from = end + close.size();
    }
    return scan;
}

std::vector<HighlightRun> qualifyingRuns(const Text& segment, const Text& pageText,
                                         const RegexMatchList& matches, int thresholdBytes) {
    // Full-width letters, digits and signs of the segment become ASCII; the
    // fragments are compared as the page delivers them.
    const Text halfWidth = toHalfWidth(segment);
    std::vector<HighlightRun> runs;
    for (const RegexMatch& match : matches) {
        const Text fragment = match.groupText(pageText, 1);
        if (!longEnough(static_cast<double>(fragment.size()), thresholdBytes)) {
            continue;
        }
        if (findText(halfWidth, fragment) != -1) {
            runs.push_back(
                {static_cast<std::size_t>(match.spans().front().start), fragment.size()});
        }
    }
    return runs;
}

bool mayHoldQualifyingRun(const Text& segment, const std::string& pageUtf8,
                          const RegexMatchList& matches, int thresholdBytes) {
    if (matches.empty()) {
        return false;
    }
    std::string halfWidth;
    if (!appendConverted(toHalfWidth(segment), "GB18030", "UTF-8", halfWidth)) {
        return true;
    }
    std::string gbk;
    for (const RegexMatch& match : matches) {
        const std::string fragment = match.groupText(pageUtf8, 1);
        if (fragment.empty()) {
            if (thresholdBytes > 0) {
                continue;
            }
            return true;
        }
        // U+E000..U+EFFF (lead byte 0xEE) holds the characters GB18030 lacks.
        if (fragment.find('\xEE') != std::string::npos) {
            return true;
        }
        // A character takes at most twice as many bytes in GB18030 as in UTF-8,
        // and one that occurs in the GBK segment occurs in its UTF-8 form.
        if (!longEnough(2.0 * static_cast<double>(fragment.size()), thresholdBytes) ||
            halfWidth.find(fragment) == std::string::npos) {
            continue;
        }
        gbk.clear();
        if (!appendConverted(fragment, "UTF-8", "GB18030", gbk) ||
            longEnough(static_cast<double>(gbk.size()), thresholdBytes)) {
            return true;
        }
    }
    return false;
}

int countHighlightHits(const Text& segment, const Text& pageText, const RegexMatchList& matches,
                       int thresholdBytes) {
    return static_cast<int>(qualifyingRuns(segment, pageText, matches, thresholdBytes).size());
}

}  // namespace oc
