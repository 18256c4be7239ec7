// One part of the archive index: the positional bigram postings of a batch of
// documents, compressed, in one file that is mapped, never loaded. A part is
// written once and never changed; its documents are numbered from 0 in the
// order they were given.
//
// The file: a 64-byte header, the postings of every bigram one after the other
// (per posting, the gap to the previous document with a flag, then the
// position; in the same document only the gap to the previous position), the
// table of bigrams in key order (per bigram the key's gap to the previous one
// and its postings' length in bytes), and a directory with the first key and
// the offsets of every block of 32 table entries.
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "corpus/index_catalog.h"
#include "corpus/index_files.h"
#include "corpus/part_postings.h"
#include "corpus/run_ranking.h"

namespace oc::corpus {

class IndexPart {
  public:
    // Writes and syncs a part of `count` documents; false when the file cannot be written.
    static bool write(const std::string& path, std::uint32_t count, const KeysOf& keysOf);

    // Maps the file; not ok() when it is missing, damaged or of another format.
    explicit IndexPart(const std::string& path);

    bool ok() const { return ok_; }
    std::uint32_t documentCount() const { return documentCount_; }
    std::uint64_t fileBytes() const { return file_.size(); }

    static constexpr std::uint32_t kGone = std::numeric_limits<std::uint32_t>::max();

    // The best of the part's documents for the query by longest shared run,
    // then shared bigrams, then `order` (a document whose order is kGone is
    // no longer in the folder and is passed over). Sets `damaged` when a
    // posting list does not decode.
    std::optional<RankedDocument> best(std::u32string_view queryKeys,
                                       const std::vector<std::uint32_t>& order,
                                       bool& damaged) const;

    // Adds to `out` the order of every document of the part that may share a
    // run of `runBigrams` bigrams (one character more) with the query: every
    // one that does is among them. Only short posting lists are read: of
    // every `runBigrams / 2` neighbouring query bigrams, the shortest.
    void mayShareRun(std::u32string_view queryKeys, std::size_t runBigrams,
                     const std::vector<std::uint32_t>& order, std::vector<std::uint32_t>& out,
                     bool& damaged) const;

  private:
    // The postings of a bigram as bytes; empty when the part lacks it.
    std::string_view postingsOf(std::uint64_t key) const;

    MappedFile file_;
    bool ok_ = false;
    std::uint32_t documentCount_ = 0;
    std::uint64_t bigramCount_ = 0;
    std::string_view postings_;
    std::string_view table_;
    std::string_view blocks_;
};

}  // namespace oc::corpus
