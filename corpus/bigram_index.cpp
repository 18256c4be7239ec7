#include "corpus/bigram_index.h"

#include <algorithm>

namespace oc::corpus {

CodePoints searchableKeys(const Document& document) {
    CodePoints keys = matchKeys(document.title);
    keys += char32_t{0};
    keys += matchKeys(document.body);
    return keys;
}

BigramIndex::BigramIndex(const std::vector<Document>& documents) {
    std::vector<CodePoints> keys;
    keys.reserve(documents.size());
    for (const Document& doc : documents) {
        keys.push_back(searchableKeys(doc));
    }
    *this =
        BigramIndex(keys.size(), [&keys](std::uint32_t d) { return std::u32string_view(keys[d]); });
}

BigramIndex::BigramIndex(std::size_t count,
                         const std::function<std::u32string_view(std::uint32_t)>& keysOf)
    : documentCount_(count) {
    // Visits the bigrams of every document in order; the table slot of the
    // bigram a few places ahead is fetched while the current one is handled,
    // as nearly every lookup misses the cache.
    constexpr std::size_t kAhead = 8;
    auto forEachBigram = [&](auto handle) {
        for (std::uint32_t d = 0; d < count; ++d) {
            std::u32string_view k = keysOf(d);
            for (std::size_t i = 0; i + 1 < k.size(); ++i) {
                if (i + kAhead + 1 < k.size()) {
                    ranges_.prefetch(bigramKey(k[i + kAhead], k[i + kAhead + 1]));
                }
                if (k[i] != 0 && k[i + 1] != 0) {
                    handle(d, i, bigramKey(k[i], k[i + 1]));
                }
            }
        }
    };
    // First pass: count the postings of every bigram; second pass: place them.
    forEachBigram([this](std::uint32_t, std::size_t, std::uint64_t key) { ++ranges_[key].end; });
    std::uint32_t offset = 0;
    ranges_.forEach([&offset](Range& range) {
        range.begin = offset;
        offset += range.end;
        range.end = range.begin;
    });
    postingCount_ = offset;
    postings_ = LargeArray<Posting>(offset);
    forEachBigram([this](std::uint32_t d, std::size_t i, std::uint64_t key) {
        Range& range = ranges_[key];
        postings_[range.end++] = (Posting{d} << 32) | i;
    });
}

const BigramIndex::Range* BigramIndex::find(char32_t first, char32_t second) const {
    if (first == 0 || second == 0) {
        return nullptr;
    }
    return ranges_.find(bigramKey(first, second));
}

Ranking BigramIndex::rank(std::u32string_view queryKeys, std::size_t limit) const {
    RunAccumulator runs(documentCount_);
    for (std::size_t i = 0; i + 1 < queryKeys.size(); ++i) {
        const Range* range = find(queryKeys[i], queryKeys[i + 1]);
        const Posting* first = range != nullptr ? postings_.begin() + range->begin : nullptr;
        runs.step(i, first, range != nullptr ? postings_.begin() + range->end : nullptr);
    }
    Ranking ranking;
    std::vector<RankedDocument> all = runs.documents();
    ranking.total = all.size();
    std::size_t keep = std::min(limit, all.size());
    std::partial_sort(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(keep), all.end(),
                      [](const RankedDocument& a, const RankedDocument& b) {
                          return rankedBefore(a, a.document, b, b.document);
                      });
    all.resize(keep);
    ranking.best = std::move(all);
    return ranking;
}

}  // namespace oc::corpus
