#include "app/cli/batch_inputs.h"

#include <sys/stat.h>

#include <iostream>
#include <set>

#include "corpus/document_folder.h"
#include "services/boundary_text.h"
#include "services/url_parts.h"

namespace oc::cli {
namespace {

bool isFolder(const std::string& path) {
    struct stat info {};
    return path != "-" && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// A name for a file from any text: what a file name cannot hold, or what
// would hide it, becomes "_".
std::string safeName(std::string name) {
    for (char& c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || c == '/' || c == '\\' || c == ':' || c == '?' || c == '*' || c == '"' ||
            c == '<' || c == '>' || c == '|') {
            c = '_';
        }
    }
    while (!name.empty() && (name.front() == '.' || name.front() == '_')) {
        name.erase(0, 1);
    }
    while (!name.empty() && name.back() == '_') {
        name.pop_back();
    }
    return name.empty() ? std::string("article") : name.substr(0, 200);
}

std::string baseNameOf(const ArticleInput& input) {
    if (!input.url.empty()) {
        std::string path = urlPath(input.url);
        const std::size_t dot = path.rfind('.');
        if (dot != std::string::npos && dot > path.rfind('/')) {
            path.erase(dot);
        }
        return safeName(urlHost(input.url) + path);
    }
    if (input.path == "-") {
        return "stdin";
    }
    std::string name = input.path.substr(input.path.rfind('/') + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) {
        name.erase(dot);
    }
    return safeName(name);
}

}  // namespace

BatchInputs collectInputs(const CliOptions& options) {
    BatchInputs inputs;
    bool folder = false;
    for (const std::string& path : options.articles) {
        if (!isFolder(path)) {
            inputs.articles.push_back({path, {}});
            continue;
        }
        folder = true;
        corpus::FolderListing listing = corpus::listDocumentFiles(path);
        if (listing.problem != corpus::FolderProblem::None) {
            inputs.error = "cannot read the folder " + path;
            return inputs;
        }
        for (const corpus::SkippedFile& file : listing.skipped) {
            std::cerr << "skipped: " << file.path << ": " << utf8FromGbk(file.reason) << "\n";
        }
        for (const corpus::FolderEntry& entry : listing.files) {
            inputs.articles.push_back({entry.path, {}});
        }
    }
    for (const std::string& url : options.urls) {
        inputs.articles.push_back({{}, url});
    }
    if (inputs.articles.empty() && !folder) {
        inputs.articles.push_back({"-", {}});
    }
    inputs.several = folder || inputs.articles.size() > 1;
    return inputs;
}

std::vector<std::string> reportPathsIn(const std::string& dir,
                                       const std::vector<ArticleInput>& articles) {
    std::vector<std::string> paths;
    std::set<std::string> taken;
    for (const ArticleInput& input : articles) {
        const std::string base = baseNameOf(input);
        std::string name = base + ".html";
        for (int n = 2; taken.count(name) > 0; ++n) {
            name = base + "-" + std::to_string(n) + ".html";
        }
        taken.insert(name);
        paths.push_back(dir + "/" + name);
    }
    return paths;
}

}  // namespace oc::cli
