// A folder of UTF-8 .txt documents, first line the title: what the search simulator searches.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "corpus/code_points.h"

namespace oc::corpus {

struct Document {
    std::string fileName;
    CodePoints title;  // the first non-empty line
    CodePoints body;   // the rest as one running text (lines joined)
};

struct Corpus {
    std::vector<Document> documents;   // in file-name order
    std::vector<std::string> skipped;  // .txt files that are not UTF-8 or hold no text
    std::string error;                 // the folder could not be read
};

// A document from the bytes of one file; a leading BOM is dropped. The body's
// lines are joined: directly after a non-ASCII character, else with a space.
Document parseDocument(std::string fileName, std::string_view utf8);

Corpus loadCorpus(const std::filesystem::path& folder);

}  // namespace oc::corpus
