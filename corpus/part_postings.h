// The positional postings of a batch of documents grouped by bigram, handed
// out in key order, as a part of the archive index is written. Built without
// a table of every bigram: the postings are first spread by their first
// character, then each character's share is sorted by the second one, so
// every step works on memory it has just touched.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "corpus/run_ranking.h"

namespace oc::corpus {

// The documents' keys (local_keys.h) by number.
using KeysOf = std::function<std::u32string_view(std::uint32_t)>;

// Called once per bigram (first << 32 | second) in increasing key order with
// its postings in document and position order; they last until it returns.
using VisitBigram =
    std::function<void(std::uint64_t key, const Posting* begin, const Posting* end)>;

// Every bigram of `count` documents whose keys `keysOf(d)` gives (key 0
// separates and belongs to no bigram); the keys must stay unchanged meanwhile.
void forEachBigramInKeyOrder(std::uint32_t count, const KeysOf& keysOf, const VisitBigram& visit);

}  // namespace oc::corpus
