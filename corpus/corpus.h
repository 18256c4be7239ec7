// A folder of UTF-8 .txt documents, first line the title: what the search simulator searches.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "corpus/code_points.h"
#include "corpus/document_folder.h"

namespace oc::corpus {

struct Document {
    std::string fileName;
    CodePoints title;  // the first non-empty line
    CodePoints body;   // the rest as one running text (lines joined)
};

// Documents of the search simulator are held to the local engine's limit.
inline constexpr std::uintmax_t kMaxCorpusFileBytes = kMaxDocumentBytes;

struct SkippedDocument {
    std::string fileName;
    std::string reason;  // English, for the simulator's log

    friend bool operator==(const SkippedDocument&, const SkippedDocument&) = default;
};

struct Corpus {
    std::vector<Document> documents;  // in file-name order
    // .txt entries left out, in file-name order: symbolic links (never
    // followed), files above kMaxCorpusFileBytes, files that are not UTF-8 or
    // hold no text, files that cannot be read.
    std::vector<SkippedDocument> skipped;
    std::string error;  // the folder could not be read
};

// A document from the bytes of one file; a leading BOM is dropped. The body's
// lines are joined: directly after a non-ASCII character, else with a space.
Document parseDocument(std::string fileName, std::string_view utf8);

// The .txt files of the folder (not its subfolders), each opened without
// following a link and only when it is still the file listed.
Corpus loadCorpus(const std::filesystem::path& folder);

}  // namespace oc::corpus
