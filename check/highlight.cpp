#include "check/highlight.h"

#include "services/encoding.h"
#include "services/text_ops.h"

namespace oc {

const Text kHighlightPattern = "<em>(.*?)</em>";

namespace {

// The threshold comparison of a fragment of `bytes` GBK bytes, counted with a tolerance.
bool longEnough(double bytes, int thresholdBytes) {
    return bytes - thresholdBytes >= -0.0000001;
}

}  // namespace

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
