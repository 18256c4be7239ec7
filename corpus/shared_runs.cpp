#include "corpus/shared_runs.h"

#include <algorithm>
#include <utility>

#include "corpus/code_points.h"

namespace oc::corpus {
namespace {

// For every position of the text, the length of the longest prefix of the
// text from there that occurs in the query; 0 where a run may not begin.
std::vector<std::size_t> matchLengths(std::u32string_view text, std::u32string_view query) {
    std::vector<std::size_t> lengths(text.size(), 0);
    for (std::size_t j = 0; j < text.size(); ++j) {
        if (text[j] == 0 || isPunctuationKey(text[j])) {
            continue;
        }
        for (std::size_t s = 0; s < query.size(); ++s) {
            std::size_t k = 0;
            while (j + k < text.size() && s + k < query.size() && text[j + k] != 0 &&
                   text[j + k] == query[s + k]) {
                ++k;
            }
            lengths[j] = std::max(lengths[j], k);
        }
    }
    return lengths;
}

// The longest run that starts in [begin, end), stays inside it and does not
// end with punctuation.
SharedRun longestWithin(std::u32string_view text, const std::vector<std::size_t>& lengths,
                        std::size_t begin, std::size_t end) {
    SharedRun best{begin, 0};
    for (std::size_t j = begin; j < end; ++j) {
        std::size_t length = std::min(lengths[j], end - j);
        while (length > 0 && isPunctuationKey(text[j + length - 1])) {
            --length;
        }
        if (length > best.length) {
            best = {j, length};
        }
    }
    return best;
}

}  // namespace

SharedRun longestSharedRun(std::u32string_view textKeys, std::u32string_view queryKeys) {
    SharedRun best = longestWithin(textKeys, matchLengths(textKeys, queryKeys), 0, textKeys.size());
    return best.length == 0 ? SharedRun{} : best;
}

std::vector<SharedRun> sharedRuns(std::u32string_view textKeys, std::u32string_view queryKeys) {
    std::vector<std::size_t> lengths = matchLengths(textKeys, queryKeys);
    std::vector<SharedRun> runs;
    std::vector<std::pair<std::size_t, std::size_t>> pending{{0, textKeys.size()}};
    while (!pending.empty()) {
        auto [begin, end] = pending.back();
        pending.pop_back();
        SharedRun run = longestWithin(textKeys, lengths, begin, end);
        if (run.length < 2) {
            continue;
        }
        runs.push_back(run);
        pending.emplace_back(begin, run.start);
        pending.emplace_back(run.start + run.length, end);
    }
    std::sort(runs.begin(), runs.end(),
              [](const SharedRun& a, const SharedRun& b) { return a.start < b.start; });
    return runs;
}

}  // namespace oc::corpus
