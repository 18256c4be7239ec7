// A character-bigram inverted index with positions, ranking documents by the
// longest run of characters they share with a query.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "corpus/bigram_table.h"
#include "corpus/corpus.h"
#include "corpus/large_array.h"
#include "corpus/run_ranking.h"

namespace oc::corpus {

struct Ranking {
    std::size_t total = 0;             // documents sharing at least one run of two characters
    std::vector<RankedDocument> best;  // the first `limit` of them, best first
};

class BigramIndex {
  public:
    explicit BigramIndex(const std::vector<Document>& documents);
    // An index of `count` documents whose keys `keysOf(d)` gives; they must
    // stay unchanged while the constructor runs.
    BigramIndex(std::size_t count, const std::function<std::u32string_view(std::uint32_t)>& keysOf);
    BigramIndex() = default;

    // Orders the documents by longest shared run, then shared bigrams, then
    // corpus order. `queryKeys` are match keys (code_points.h).
    Ranking rank(std::u32string_view queryKeys, std::size_t limit) const;

    std::size_t postingCount() const { return postingCount_; }

  private:
    using Range = PostingRange;

    static std::uint64_t bigramKey(char32_t first, char32_t second) {
        return (std::uint64_t{first} << 32) | second;
    }
    const Range* find(char32_t first, char32_t second) const;

    std::size_t documentCount_ = 0;
    BigramTable ranges_;
    // Grouped by bigram, each group in document and position order.
    LargeArray<Posting> postings_;
    std::size_t postingCount_ = 0;
};

// The text the index sees for a document: the title's keys, a separator, the body's keys.
CodePoints searchableKeys(const Document& document);

}  // namespace oc::corpus
