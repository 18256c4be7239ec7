// The user's documents of one folder as the local engine searches them,
// brought up to date with the folder before each check: a file is read again
// only when it changed. Two kinds: the archive index kept on disk between runs
// (archive_library.h), and the index held in memory (memory_library.h), the
// reference both answer alike.
#pragma once

#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "corpus/document_folder.h"
#include "services/text_types.h"

namespace oc::corpus {

struct LibraryUpdate {
    FolderProblem problem = FolderProblem::None;
    std::size_t filesRead = 0;     // read afresh by this update
    std::size_t filesReused = 0;   // unchanged since the last update, kept as they were
    std::size_t filesAdded = 0;    // of those read: new in the folder
    std::size_t filesChanged = 0;  // of those read: changed since the last update
    std::size_t filesRemoved = 0;  // gone from the folder since the last update
    bool stopped = false;          // `stop` said so
    // Something the user should know about the index (GBK): it was damaged or
    // of a newer version and was rebuilt, or it could not be written.
    Text notice;
};

// What a segment finds among the documents.
struct LocalMatch {
    // The document holding the longest shared run (ties: more shared
    // bigrams, then the path), when that run is long enough to count
    // (countedRunChars); else empty, with no hits.
    std::string path;    // native bytes
    std::string title;   // UTF-8
    int longestRun = 0;  // characters
    int hits = 0;        // its runs shared with the segment of at least the minimum length

    bool found() const { return !path.empty(); }
    friend bool operator==(const LocalMatch&, const LocalMatch&) = default;
};

// Files done of files to do, called between files.
using IndexProgress = std::function<void(std::size_t done, std::size_t total)>;

class DocumentLibrary {
  public:
    virtual ~DocumentLibrary() = default;

    // Lists the folder and reads what is new or changed. `stop`, asked between
    // files, ends it early.
    virtual LibraryUpdate update(const std::string& folder, const IndexProgress& progress = {},
                                 const std::function<bool()>& stop = {}) = 0;

    virtual std::size_t documentCount() const = 0;
    // Files left out by the last update, in path order.
    virtual const std::vector<SkippedFile>& skipped() const = 0;

    // `segmentKeys` are local keys (local_keys.h); a run counts from `minRunChars` characters.
    virtual LocalMatch match(std::u32string_view segmentKeys, int minRunChars) const = 0;

    // Held by a pass while it updates and searches the library.
    std::mutex& mutex() { return mutex_; }

  private:
    std::mutex mutex_;
};

// The shortest run that counts for a minimum of `minRunChars`: two characters at least.
std::size_t countedRunChars(int minRunChars);

// The hits of a document's keys for a segment: its shared runs of at least `minRunChars`.
int runHits(std::u32string_view documentKeys, std::u32string_view segmentKeys, int minRunChars);

}  // namespace oc::corpus
