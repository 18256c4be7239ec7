#include "check/segment_source.h"

#include "check/result_blocks.h"

namespace oc {

void SourceOutcome::add(const SourceOutcome& later) {
    hits += later.hits;
    if (later.source && (!source || later.sourceRunBytes > sourceRunBytes)) {
        source = later.source;
        sourceRunBytes = later.sourceRunBytes;
    }
}

SourceOutcome attributePageRuns(const PageRuns& page, const ResultBlockForm& form,
                                const IgnoreList& ignore) {
    SourceOutcome outcome;
    if (page.runs.empty()) {
        return outcome;
    }
    // Only the blocks that hold a run are described.
    std::vector<std::size_t> positions;
    positions.reserve(page.runs.size());
    for (const HighlightRun& run : page.runs) {
        positions.push_back(run.position);
    }
    const std::vector<ResultBlock> blocks =
        findResultBlocks(page.text, form, std::string(page.url), &positions);
    for (const HighlightRun& run : page.runs) {
        int index = blockHolding(blocks, run.position);
        if (index < 0) {
            ++outcome.hits;  // outside every block: it counts, but names no source
            continue;
        }
        const ResultBlock& block = blocks[static_cast<std::size_t>(index)];
        if (ignore.matches(block.domain)) {
            continue;
        }
        ++outcome.hits;
        if (!outcome.source || run.length > outcome.sourceRunBytes) {
            outcome.source = SegmentSource{block.title, block.address, block.domain};
            outcome.sourceRunBytes = run.length;
        }
    }
    return outcome;
}

SourceOutcome attributeRuns(const std::vector<PageRuns>& pages, const ResultBlockForm& form,
                            const IgnoreList& ignore) {
    SourceOutcome outcome;
    for (const PageRuns& page : pages) {
        outcome.add(attributePageRuns(page, form, ignore));
    }
    return outcome;
}

}  // namespace oc
