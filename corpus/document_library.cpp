#include "corpus/document_library.h"

#include <algorithm>

#include "corpus/shared_runs.h"

namespace oc::corpus {

std::size_t countedRunChars(int minRunChars) {
    return static_cast<std::size_t>(std::max(minRunChars, 2));
}

int runHits(std::u32string_view documentKeys, std::u32string_view segmentKeys, int minRunChars) {
    const std::size_t minimum = static_cast<std::size_t>(std::max(minRunChars, 1));
    int hits = 0;
    for (const SharedRun& run : sharedRuns(documentKeys, segmentKeys)) {
        if (run.length >= minimum) {
            ++hits;
        }
    }
    return hits;
}

}  // namespace oc::corpus
