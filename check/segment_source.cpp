#include "check/segment_source.h"

#include "check/result_blocks.h"

namespace oc {

SourceOutcome attributeRuns(const std::vector<PageRuns>& pages, const ResultBlockForm& form,
                            const IgnoreList& ignore) {
    SourceOutcome outcome;
    std::size_t longest = 0;
    for (const PageRuns& page : pages) {
        if (page.runs.empty()) {
            continue;
        }
        const std::vector<ResultBlock> blocks = findResultBlocks(page.text, form, std::string(page.url));
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
            if (!outcome.source || run.length > longest) {
                outcome.source = SegmentSource{block.title, block.address, block.domain};
                longest = run.length;
            }
        }
    }
    return outcome;
}

}  // namespace oc
