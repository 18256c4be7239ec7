#include "check/highlight.h"

#include "services/text_ops.h"

namespace oc {

const Text kHighlightPattern = "<em>(.*?)</em>";

std::vector<HighlightRun> qualifyingRuns(const Text& segment, const Text& pageText,
                                         const RegexMatchList& matches, int thresholdBytes) {
    // Full-width letters, digits and signs of the segment become ASCII; the
    // fragments are compared as the page delivers them.
    const Text halfWidth = toHalfWidth(segment);
    std::vector<HighlightRun> runs;
    for (const RegexMatch& match : matches) {
        const Text fragment = match.groupText(pageText, 1);
        if (static_cast<double>(fragment.size()) - thresholdBytes < -0.0000001) {
            continue;
        }
        if (findText(halfWidth, fragment) != -1) {
            runs.push_back(
                {static_cast<std::size_t>(match.spans().front().start), fragment.size()});
        }
    }
    return runs;
}

int countHighlightHits(const Text& segment, const Text& pageText, const RegexMatchList& matches,
                       int thresholdBytes) {
    return static_cast<int>(qualifyingRuns(segment, pageText, matches, thresholdBytes).size());
}

}  // namespace oc
