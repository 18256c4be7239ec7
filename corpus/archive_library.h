// The user's documents of one folder with their index kept on disk between
// runs, in a folder of its own under the index root (one per document folder,
// named after a hash of the folder's path). The index holds no text: the
// documents stay in their folder and the one a segment finds is read again to
// count its runs.
//
// The index is a manifest naming a catalog of the folder's files and the
// parts holding the postings (index_catalog.h, index_part.h). An update
// writes new parts and a new catalog, then replaces the manifest atomically,
// after every part: an interrupted update leaves the last manifest and all it
// names in place, and the next update goes on from there. Updates of two
// programs take turns under a lock on the index folder. A damaged index, or
// one of another format version, is rebuilt with a notice; an index folder
// that cannot be written leaves the documents indexed in memory for the run.
#pragma once

#include <memory>
#include <optional>

#include "corpus/document_library.h"
#include "corpus/index_catalog.h"
#include "corpus/index_part.h"
#include "corpus/memory_library.h"

namespace oc::corpus {

// $OC_INDEX_DIR, else $XDG_DATA_HOME/originality-checker/index, else
// ~/.local/share/originality-checker/index; empty when there is no home.
std::string defaultIndexRoot();

class ArchiveLibrary : public DocumentLibrary {
  public:
    // Documents read into a part before it is written (in characters).
    static constexpr std::size_t kDefaultPartChars = std::size_t{12} << 20;

    explicit ArchiveLibrary(std::string indexRoot = defaultIndexRoot(),
                            std::size_t partChars = kDefaultPartChars);

    LibraryUpdate update(const std::string& folder, const IndexProgress& progress = {},
                         const std::function<bool()>& stop = {}) override;

    // Opens the folder's index as the last update left it, without looking
    // into the folder; false when there is none usable.
    bool open(const std::string& folder);

    std::size_t documentCount() const override;
    const std::vector<SkippedFile>& skipped() const override;
    LocalMatch match(std::u32string_view segmentKeys, int minRunChars) const override;

    // The index folder of a document folder.
    std::string indexFolderOf(const std::string& folder) const;
    // Bytes of the open index on disk (parts and catalog).
    std::uint64_t indexBytes() const;
    std::size_t partCount() const { return parts_.size(); }

  private:
    enum class Load { Loaded, Missing, Damaged, Newer };

    Load load(const std::string& indexFolder, const std::string& folder);
    void reset(const std::string& folder);
    // Rebuilds the per-part lookups and the skipped list from the catalog;
    // false when the catalog and the parts disagree.
    bool index();
    bool commit(std::vector<CatalogEntry> entries);
    void removeUnreferenced() const;
    // The keys of a catalog entry's document, read again (the last few are kept).
    const CodePoints* keysOf(std::uint32_t entry) const;
    LocalMatch matchByPostings(std::u32string_view segmentKeys, int minRunChars) const;
    LibraryUpdate updateInMemory(const std::string& folder, const IndexProgress& progress,
                                 const std::function<bool()>& stop, Text notice);

    // A file's path in the catalog: within the folder, so that the folder may
    // be given another way (relative, through a link) and still be known.
    std::string_view inFolder(std::string_view path) const;

    std::string root_;
    std::size_t partChars_;
    std::string prefix_;  // the folder as last given, with a "/"
    std::string dir_;     // the index folder of the state below
    Manifest manifest_;
    std::vector<CatalogEntry> catalog_;
    std::vector<std::unique_ptr<IndexPart>> parts_;  // as manifest_.parts
    // Per part, the catalog entry of each document, kGone when it left.
    std::vector<std::vector<std::uint32_t>> order_;
    std::size_t documents_ = 0;
    std::vector<SkippedFile> skipped_;
    // Used for the run when the index folder cannot be written.
    std::unique_ptr<MemoryLibrary> memory_;
    // A part turned out damaged while searching: the next update rebuilds.
    mutable bool damaged_ = false;
    // Documents read again for the last segments: a copied passage spans several.
    static constexpr std::size_t kRecentDocuments = 32;
    mutable std::vector<std::pair<std::uint32_t, CodePoints>> recent_;
    mutable std::size_t nextRecent_ = 0;
    // More documents that may share a run than this, and the postings rank them all.
    static constexpr std::size_t kMaxCandidates = 200;
};

}  // namespace oc::corpus
