#include "corpus/corpus.h"

#include <sys/stat.h>

#include <algorithm>
#include <iterator>
#include <system_error>

#include "services/boundary_text.h"
#include "services/file_contents.h"

namespace oc::corpus {
namespace {

bool isBlank(char32_t c) {
    return c == U' ' || c == U'\t' || c == U'\n' || c == 0x3000;
}

CodePoints trimmed(std::u32string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && isBlank(text[end - 1])) {
        --end;
    }
    return CodePoints(text.substr(begin, end - begin));
}

}  // namespace

Document parseDocument(std::string fileName, std::string_view utf8) {
    if (utf8.starts_with("\xEF\xBB\xBF")) {
        utf8.remove_prefix(3);
    }
    CodePoints text;
    for (char32_t c : decodeUtf8(utf8)) {
        if (c != U'\r') {
            text += c;
        } else {
            text += U'\n';  // a lone CR ends a line too
        }
    }
    std::size_t start = text.find_first_not_of(U"\n \t\u3000");
    if (start == CodePoints::npos) {
        return Document{std::move(fileName), {}, {}};
    }
    std::size_t lineEnd = std::min(text.find(U'\n', start), text.size());
    CodePoints title = trimmed(std::u32string_view(text).substr(start, lineEnd - start));
    CodePoints body =
        lineEnd < text.size() ? trimmed(std::u32string_view(text).substr(lineEnd)) : CodePoints{};
    // The lines of the body become one running text, as a page's paragraphs do
    // for an engine: Chinese lines join directly, others with a space.
    CodePoints joined;
    for (char32_t c : body) {
        if (c != U'\n') {
            joined += c;
        } else if (!joined.empty() && joined.back() < 0x80 && joined.back() != U' ') {
            joined += U' ';
        }
    }
    return Document{std::move(fileName), std::move(title), std::move(joined)};
}

Corpus loadCorpus(const std::filesystem::path& folder) {
    Corpus corpus;
    std::error_code ec;
    std::vector<std::filesystem::path> files;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        if (it->path().extension() == ".txt") {
            files.push_back(it->path());
        }
    }
    if (ec) {
        corpus.error = "cannot read the folder " + folder.string() + ": " + ec.message();
        return corpus;
    }
    std::sort(files.begin(), files.end());
    for (const auto& path : files) {
        std::string name = path.filename().string();
        auto skip = [&](const char* reason) { corpus.skipped.push_back({name, reason}); };
        struct stat entry {};
        if (::lstat(path.c_str(), &entry) != 0) {
            skip("cannot be read");
            continue;
        }
        if (S_ISLNK(entry.st_mode)) {
            skip("a symbolic link, not followed");
            continue;
        }
        if (S_ISDIR(entry.st_mode)) {
            continue;
        }
        if (!S_ISREG(entry.st_mode)) {
            skip("not a regular file");
            continue;
        }
        if (static_cast<std::uintmax_t>(entry.st_size) > kMaxCorpusFileBytes) {
            skip("larger than 20 MB");
            continue;
        }
        const FileIdentity listed{static_cast<std::uint64_t>(entry.st_dev),
                                  static_cast<std::uint64_t>(entry.st_ino)};
        FileBytes file = readFilePrefixNoFollow(path.string(), kMaxCorpusFileBytes + 1, &listed);
        if (file.status == FileReadStatus::Changed) {
            skip("replaced while being read");
            continue;
        }
        if (file.status != FileReadStatus::Ok) {
            skip("cannot be read");
            continue;
        }
        if (file.bytes.size() > kMaxCorpusFileBytes) {
            skip("larger than 20 MB");
            continue;
        }
        if (!isValidUtf8(file.bytes)) {
            skip("not UTF-8 text");
            continue;
        }
        Document doc = parseDocument(name, file.bytes);
        if (doc.title.empty() && doc.body.empty()) {
            skip("no text");
        } else {
            corpus.documents.push_back(std::move(doc));
        }
    }
    return corpus;
}

}  // namespace oc::corpus
