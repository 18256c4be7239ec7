// The user's own documents: the text files of a folder, read and decoded as
// articles are, each kept as its title and the keys it is compared under.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "corpus/code_points.h"
#include "services/text_types.h"

namespace oc::corpus {

// Files above this size (20 MB) are skipped; files are read whole.
inline constexpr std::uintmax_t kMaxDocumentBytes = 20'000'000;

// A file left out, with the reason (GBK). The path is native bytes.
struct SkippedFile {
    std::string path;
    Text reason;

    friend bool operator==(const SkippedFile&, const SkippedFile&) = default;
};

// A file that may be a document, as the folder lists it.
struct FolderEntry {
    std::string path;  // native bytes
    std::uintmax_t size = 0;
    std::int64_t modifiedNs = 0;  // modification time, nanoseconds since the epoch
    // The file the listing saw: a different one at the path when it is read
    // (swapped for a link or another file) is not read.
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
};

// Why the folder itself cannot be used.
enum class FolderProblem { None, NotGiven, Missing, NotAFolder, Unreadable, PathTooLong };

struct FolderListing {
    std::vector<FolderEntry> files;    // in path order
    std::vector<SkippedFile> skipped;  // symbolic links, files above the limit, unreadable folders
    FolderProblem problem = FolderProblem::None;
};

// Why the folder cannot be used at all (None when it is a folder).
FolderProblem folderProblemOf(const std::string& folder);

// Every regular .txt, .md, .html, .htm, .docx and .pdf file (in any letter case) under the
// folder, recursively. Hidden files and folders (a name beginning with a dot)
// are passed over; symbolic links are never followed and are listed as skipped.
FolderListing listDocumentFiles(const std::string& folder);

struct LocalDocument {
    std::string path;  // native bytes
    std::string
        title;        // UTF-8: the HTML <title>, else the first non-empty line, else the file name
    CodePoints keys;  // the text's keys (local_keys.h)
};

// A document, or why the file is skipped.
struct DocumentRead {
    std::optional<LocalDocument> document;
    Text reason;  // GBK; set when there is no document
};

// Reads one listed file without blocking and without following a link at
// its path, only when it is still the file listed ("文件已被替换" otherwise):
// a 0x00 byte among its first kTextProbeBytes makes it "不是文本文件" unless
// it begins with a UTF-16 or UTF-32 byte-order mark; the text is decoded as
// an article (UTF-16/32 by their mark, UTF-8 with or without BOM, else
// GBK/GB18030), an HTML file then reduced to what a reader sees (scripts and
// styles dropped); a Word document or a PDF file is read as the article
// reader reads it (document_text.h), up to kMaxDocumentBytes.
DocumentRead readDocument(const FolderEntry& entry);

}  // namespace oc::corpus
