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
    auto keyOf = [](char32_t first, char32_t second) {
        return (std::uint64_t{first} << 32) | second;
    };
    // The query's bigrams by key, each with its position, and a filter that
    // turns away nearly every document bigram the query lacks with one lookup.
    constexpr std::size_t kFilterBits = 4096;
    auto filterSlot = [](std::uint64_t key) {
        return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 52);  // 12 bits
    };
    const std::size_t bigrams = queryKeys.size() - 1;
    std::vector<std::pair<std::uint64_t, std::uint32_t>> query;
    std::vector<std::uint64_t> filter(kFilterBits / 64, 0);
    for (std::size_t i = 0; i < bigrams; ++i) {
        if (queryKeys[i] != 0 && queryKeys[i + 1] != 0) {
            const std::uint64_t key = keyOf(queryKeys[i], queryKeys[i + 1]);
            query.push_back({key, static_cast<std::uint32_t>(i)});
            filter[filterSlot(key) / 64] |= std::uint64_t{1} << (filterSlot(key) % 64);
        }
    }
    std::sort(query.begin(), query.end());
    // Per query bigram, the run of bigrams ending with it and the document
    // position where that run last grew (positions counted from 1).
    std::vector<std::uint32_t> run(bigrams, 0);
    std::vector<std::size_t> at(bigrams, 0);
    std::vector<bool> shared(bigrams, false);
    std::uint32_t longest = 0;
    for (std::size_t j = 0; j + 1 < documentKeys.size(); ++j) {
        const std::uint64_t key = keyOf(documentKeys[j], documentKeys[j + 1]);
        const std::size_t slot = filterSlot(key);
        if ((filter[slot / 64] & (std::uint64_t{1} << (slot % 64))) == 0) {
            continue;
        }
        auto [begin, end] = std::equal_range(
            query.begin(), query.end(), std::pair<std::uint64_t, std::uint32_t>{key, 0},
            [](const auto& a, const auto& b) { return a.first < b.first; });
        // Later query positions first: each reads the run of the one before
        // it as the previous document position left it.
        for (auto q = end; q != begin;) {
            const std::uint32_t i = (--q)->second;
            const bool continues = i > 0 && at[i - 1] == j;  // grew at position j - 1
            run[i] = continues ? run[i - 1] + 1 : 1;
            at[i] = j + 1;
            shared[i] = true;
            longest = std::max(longest, run[i]);
        }
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
