// Finding the runs of characters a text shares with a query, as an engine
// marks the words of the query on its result page.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace oc::corpus {

struct SharedRun {
    std::size_t start = 0;   // in the text
    std::size_t length = 0;  // characters

    friend bool operator==(const SharedRun&, const SharedRun&) = default;
};

// The longest run of the text that occurs in the query (leftmost of equal
// ones); length 0 when they share no character. Both are match keys; key 0
// matches nothing.
SharedRun longestSharedRun(std::u32string_view textKeys, std::u32string_view queryKeys);

// The runs of at least two characters the text shares with the query, in text
// order and never overlapping: the longest first, then the longest of what is
// left on either side, and so on. A run neither begins nor ends with
// punctuation. Every run is a substring of the query.
std::vector<SharedRun> sharedRuns(std::u32string_view textKeys, std::u32string_view queryKeys);

}  // namespace oc::corpus
