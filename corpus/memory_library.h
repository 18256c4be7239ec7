// The documents of a folder indexed in memory, kept while the program runs:
// what the local engine uses when the archive index cannot be written, and
// the reference the archive index answers alike.
#pragma once

#include <map>
#include <optional>

#include "corpus/bigram_index.h"
#include "corpus/document_library.h"

namespace oc::corpus {

class MemoryLibrary : public DocumentLibrary {
  public:
    // The index is rebuilt when the documents changed. A stop leaves the library empty.
    LibraryUpdate update(const std::string& folder, const IndexProgress& progress = {},
                         const std::function<bool()>& stop = {}) override;

    std::size_t documentCount() const override { return documents_.size(); }
    const std::vector<SkippedFile>& skipped() const override { return skipped_; }
    LocalMatch match(std::u32string_view segmentKeys, int minRunChars) const override;

    const std::vector<LocalDocument>& documents() const { return documents_; }

  private:
    struct Known {
        std::uintmax_t size = 0;
        std::int64_t modifiedNs = 0;
        std::optional<std::size_t> document;  // into documents_; absent: skipped with `reason`
        Text reason;
    };

    std::map<std::string, Known> known_;  // by path
    std::vector<LocalDocument> documents_;
    std::vector<SkippedFile> skipped_;
    BigramIndex index_;
};

}  // namespace oc::corpus
