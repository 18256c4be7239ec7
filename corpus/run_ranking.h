// Ranking documents by the longest run of characters they share with a query,
// from the positional postings of the query's bigrams: what the in-memory
// index and the parts of the archive index share, so both rank alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace oc::corpus {

using Posting = std::uint64_t;  // document << 32 | position of the bigram's first character

struct RankedDocument {
    std::uint32_t document = 0;  // index into the corpus
    int longestRun = 0;          // characters of the longest shared run (2 or more)
    int sharedBigrams = 0;       // query bigram positions found in the document

    friend bool operator==(const RankedDocument&, const RankedDocument&) = default;
};

// Better first: the longer run, then more shared bigrams; `order` breaks ties
// (a smaller value first).
inline bool rankedBefore(const RankedDocument& a, std::uint64_t orderA, const RankedDocument& b,
                         std::uint64_t orderB) {
    if (a.longestRun != b.longestRun) {
        return a.longestRun > b.longestRun;
    }
    if (a.sharedBigrams != b.sharedBigrams) {
        return a.sharedBigrams > b.sharedBigrams;
    }
    return orderA < orderB;
}

// The same figures for one document from its keys, as the postings give
// them: its longest run shared with the query (0 when it shares no bigram)
// and the query bigram positions it holds. The `document` field is left 0.
RankedDocument rankDocument(std::u32string_view documentKeys, std::u32string_view queryKeys);

// Walks the query's bigrams in order. A posting of bigram i that follows a
// posting of bigram i-1 in the same document continues its run.
class RunAccumulator {
  public:
    explicit RunAccumulator(std::size_t documentCount);

    // The postings of query bigram `i` (steps in increasing i), in document
    // and position order; none when the bigram occurs nowhere.
    void step(std::size_t i, const Posting* begin, const Posting* end);

    // Every document met, in the order first met.
    std::vector<RankedDocument> documents() const;

  private:
    struct Step {
        Posting posting;
        std::uint32_t run;  // bigrams in the run ending here
    };
    std::vector<std::uint32_t> longest_;
    std::vector<std::uint32_t> shared_;
    std::vector<std::uint32_t> lastSeen_;
    std::vector<std::uint32_t> touched_;
    std::vector<Step> previous_;
    std::vector<Step> current_;
};

}  // namespace oc::corpus
