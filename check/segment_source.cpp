#include "check/segment_source.h"

#include "check/result_blocks.h"

#include <algorithm>
#include <optional>

namespace oc {

void SourceOutcome::add(const SourceOutcome& later) {
    hits += later.hits;
    blocksCut = blocksCut || later.blocksCut;
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
    const std::vector<ResultBlock> blocks = findResultBlocks(
        page.text, form, std::string(page.url), &positions, page.utf8, &outcome.blocksCut);
    const std::vector<int> holders = blocksHolding(blocks, positions);
    for (std::size_t r = 0; r < page.runs.size(); ++r) {
        const HighlightRun& run = page.runs[r];
        const int index = holders[r];
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
        std::size_t run;
        std::size_t length;
    };
    SourceOutcome outcome;
    std::vector<Candidate> candidates;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        for (std::size_t r = 0; r < pages[p].runs.size(); ++r) {
            candidates.push_back({p, r, pages[p].runs[r].length});
        }
    }
    outcome.hits = static_cast<int>(candidates.size());
    // Longest first; on a tie the earlier page, then the earlier run.
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate& a, const Candidate& b) { return a.length > b.length; });
    // Each page's blocks and the block of each of its runs, once it is needed.
    struct Parsed {
        std::vector<ResultBlock> blocks;
        std::vector<int> holders;
    };
    std::vector<std::optional<Parsed>> parsed(pages.size());
    for (const Candidate& candidate : candidates) {
        const PageRuns& page = pages[candidate.page];
        std::optional<Parsed>& known = parsed[candidate.page];
        if (!known) {
            std::vector<std::size_t> positions;
            positions.reserve(page.runs.size());
            for (const HighlightRun& run : page.runs) {
                positions.push_back(run.position);
            }
            bool cut = false;
            known.emplace();
            known->blocks = findResultBlocks(page.text, form, std::string(page.url), &positions,
                                             page.utf8, &cut);
            known->holders = blocksHolding(known->blocks, positions);
            outcome.blocksCut = outcome.blocksCut || cut;
        }
        const int index = known->holders[candidate.run];
        if (index >= 0) {
            const ResultBlock& block = known->blocks[static_cast<std::size_t>(index)];
            outcome.source = SegmentSource{block.title, block.address, block.domain};
            outcome.sourceRunBytes = candidate.length;
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
