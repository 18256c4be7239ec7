#include "check/segment_source.h"

#include "check/result_blocks.h"

#include <algorithm>
#include <optional>

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
        findResultBlocks(page.text, form, std::string(page.url), &positions, page.utf8);
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

namespace {

// With no domain ignored every run counts, and only the block of the longest
// run that lies in a block is described: the pages are parsed longest run
// first, each at most once, until such a run is found.
SourceOutcome attributeLongestRun(const std::vector<PageRuns>& pages, const ResultBlockForm& form) {
    struct Candidate {
        std::size_t page;
        const HighlightRun* run;
    };
    SourceOutcome outcome;
    std::vector<Candidate> candidates;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        for (const HighlightRun& run : pages[p].runs) {
            candidates.push_back({p, &run});
        }
    }
    outcome.hits = static_cast<int>(candidates.size());
    // Longest first; on a tie the earlier page, then the earlier run.
    std::stable_sort(
        candidates.begin(), candidates.end(),
        [](const Candidate& a, const Candidate& b) { return a.run->length > b.run->length; });
    std::vector<std::optional<std::vector<ResultBlock>>> parsed(pages.size());
    for (const Candidate& candidate : candidates) {
        const PageRuns& page = pages[candidate.page];
        std::optional<std::vector<ResultBlock>>& blocks = parsed[candidate.page];
        if (!blocks) {
            std::vector<std::size_t> positions;
            for (const HighlightRun& run : page.runs) {
                positions.push_back(run.position);
            }
            blocks =
                findResultBlocks(page.text, form, std::string(page.url), &positions, page.utf8);
        }
        int index = blockHolding(*blocks, candidate.run->position);
        if (index >= 0) {
            const ResultBlock& block = (*blocks)[static_cast<std::size_t>(index)];
            outcome.source = SegmentSource{block.title, block.address, block.domain};
            outcome.sourceRunBytes = candidate.run->length;
            break;
        }
    }
    return outcome;
}

}  // namespace

SourceOutcome attributeRuns(const std::vector<PageRuns>& pages, const ResultBlockForm& form,
                            const IgnoreList& ignore) {
    if (ignore.empty()) {
        return attributeLongestRun(pages, form);
    }
    SourceOutcome outcome;
    for (const PageRuns& page : pages) {
        outcome.add(attributePageRuns(page, form, ignore));
    }
    return outcome;
}

}  // namespace oc
