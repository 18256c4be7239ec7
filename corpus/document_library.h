// The user's documents of one folder with their bigram index, kept between
// checks and brought up to date before each: a file is read again only when
// its size or modification time changed.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "corpus/bigram_index.h"
#include "corpus/document_folder.h"

namespace oc::corpus {

struct LibraryUpdate {
    FolderProblem problem = FolderProblem::None;
    std::size_t filesRead = 0;    // read afresh by this update
    std::size_t filesReused = 0;  // unchanged since the last update, kept as they were
    bool stopped = false;         // `stop` said so; the library is then empty
};

// What a segment finds among the documents.
struct LocalMatch {
    std::optional<std::uint32_t> document;  // the one holding the longest shared run
    int hits = 0;  // its runs shared with the segment of at least the minimum length
};

// Files done of files to do, called between files.
using IndexProgress = std::function<void(std::size_t done, std::size_t total)>;

class DocumentLibrary {
  public:
    // Lists the folder and reads what is new or changed; the index is rebuilt
    // when the documents changed. `stop`, asked between files, ends it early.
    LibraryUpdate update(const std::string& folder, const IndexProgress& progress = {},
                         const std::function<bool()>& stop = {});

    const std::vector<LocalDocument>& documents() const { return documents_; }
    // Files left out by the last update, in path order.
    const std::vector<SkippedFile>& skipped() const { return skipped_; }

    // `segmentKeys` are local keys (local_keys.h); a run counts from `minRunChars` characters.
    LocalMatch match(std::u32string_view segmentKeys, int minRunChars) const;

    // Held by a pass while it updates and searches the library.
    std::mutex& mutex() { return mutex_; }

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
    std::mutex mutex_;
};

}  // namespace oc::corpus
