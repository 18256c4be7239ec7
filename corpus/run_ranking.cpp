#include "corpus/run_ranking.h"

#include <algorithm>

namespace oc::corpus {

RunAccumulator::RunAccumulator(std::size_t documentCount)
    : longest_(documentCount, 0), shared_(documentCount, 0), lastSeen_(documentCount, 0) {}

void RunAccumulator::step(std::size_t i, const Posting* begin, const Posting* end) {
    // The runs of the previous step are kept sorted, so the lookup is a merge.
    current_.clear();
    current_.reserve(static_cast<std::size_t>(end - begin));
    std::size_t j = 0;
    for (const Posting* p = begin; p < end; ++p) {
        const Posting posting = *p;
        while (j < previous_.size() && previous_[j].posting < posting - 1) {
            ++j;
        }
        const bool continues = j < previous_.size() && previous_[j].posting == posting - 1;
        const std::uint32_t run = continues ? previous_[j].run + 1 : 1;
        current_.push_back({posting, run});
        const auto doc = static_cast<std::uint32_t>(posting >> 32);
        if (longest_[doc] == 0) {
            touched_.push_back(doc);
        }
        longest_[doc] = std::max(longest_[doc], run);
        if (lastSeen_[doc] != i + 1) {
            lastSeen_[doc] = static_cast<std::uint32_t>(i + 1);
            ++shared_[doc];
        }
    }
    previous_.swap(current_);
}

RankedDocument rankDocument(std::u32string_view documentKeys, std::u32string_view queryKeys) {
    RankedDocument ranked;
    if (queryKeys.size() < 2 || documentKeys.size() < 2) {
        return ranked;
    }
    const std::size_t bigrams = queryKeys.size() - 1;
    // Per query bigram, the run of bigrams ending with it at the previous and
    // at the current document position.
    std::vector<std::uint32_t> previous(bigrams, 0);
    std::vector<std::uint32_t> current(bigrams, 0);
    std::vector<bool> shared(bigrams, false);
    std::uint32_t longest = 0;
    for (std::size_t j = 0; j + 1 < documentKeys.size(); ++j) {
        const char32_t first = documentKeys[j];
        const char32_t second = documentKeys[j + 1];
        for (std::size_t i = 0; i < bigrams; ++i) {
            const bool same =
                first != 0 && second != 0 && queryKeys[i] == first && queryKeys[i + 1] == second;
            current[i] = same ? (i > 0 ? previous[i - 1] : 0) + 1 : 0;
            if (same) {
                shared[i] = true;
                longest = std::max(longest, current[i]);
            }
        }
        previous.swap(current);
    }
    if (longest > 0) {
        ranked.longestRun = static_cast<int>(longest) + 1;
        ranked.sharedBigrams = static_cast<int>(std::count(shared.begin(), shared.end(), true));
    }
    return ranked;
}

std::vector<RankedDocument> RunAccumulator::documents() const {
    std::vector<RankedDocument> all;
    all.reserve(touched_.size());
    for (std::uint32_t doc : touched_) {
        all.push_back({doc, static_cast<int>(longest_[doc]) + 1, static_cast<int>(shared_[doc])});
    }
    return all;
}

}  // namespace oc::corpus
