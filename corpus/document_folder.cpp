#include "corpus/document_folder.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "corpus/local_keys.h"
#include "services/article_decoding.h"
#include "services/boundary_text.h"
#include "services/file_contents.h"
#include "services/html_document.h"

namespace oc::corpus {
namespace {

namespace fs = std::filesystem;

Text reasonText(std::string_view utf8) {
    return gbkFromUtf8(utf8);
}

// A title longer than this is cut, "…" marking the cut.
constexpr std::size_t kMaxTitleChars = 80;

bool isDocumentName(const std::string& name) {
    std::size_t dot = name.rfind('.');
    if (dot == std::string::npos) {
        return false;
    }
    std::string extension = name.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
    return extension == "txt" || extension == "md" || extension == "html" || extension == "htm";
}

bool isHtmlName(const std::string& path) {
    std::size_t dot = path.rfind('.');
    std::string extension = path.substr(dot + 1);
    return extension.size() >= 3 && (extension[0] | 0x20) == 'h';
}

std::string fileNameOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The first line of the text that holds more than white space, trimmed, as
// UTF-8; `toUtf8` converts a line of the text.
template <typename Convert>
std::string firstLine(std::string_view text, Convert toUtf8) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = std::min(text.find('\n', start), text.size());
        std::string line = collapseWhiteSpace(toUtf8(text.substr(start, end - start)));
        // The ideographic space alone is no title either.
        if (line.find_first_not_of("\xE3\x80\x80 ") != std::string::npos) {
            CodePoints chars = decodeUtf8(line);
            if (chars.size() > kMaxTitleChars) {
                line = encodeUtf8(chars.substr(0, kMaxTitleChars)).append("\xE2\x80\xA6");
            }
            return line;
        }
        start = end + 1;
    }
    return {};
}

std::string sameText(std::string_view utf8) {
    return std::string(utf8);
}

}  // namespace

FolderListing listDocumentFiles(const std::string& folder) {
    FolderListing listing;
    if (folder.empty()) {
        listing.problem = FolderProblem::NotGiven;
        return listing;
    }
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) {
        listing.problem = errno == ENOENT || errno == ENOTDIR ? FolderProblem::Missing
                                                              : FolderProblem::Unreadable;
        return listing;
    }
    if (!S_ISDIR(st.st_mode)) {
        listing.problem = FolderProblem::NotAFolder;
        return listing;
    }
    std::vector<std::string> pending{folder};
    while (!pending.empty()) {
        std::string dir = std::move(pending.back());
        pending.pop_back();
        std::error_code ec;
        fs::directory_iterator it(fs::path(dir), ec);
        for (fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
            std::string name = it->path().filename().string();
            if (name.starts_with('.')) {
                continue;
            }
            std::string path = it->path().string();
            struct stat entry {};
            if (::lstat(path.c_str(), &entry) != 0) {
                listing.skipped.push_back({path, reasonText("无法读取")});
            } else if (S_ISLNK(entry.st_mode)) {
                listing.skipped.push_back({path, reasonText("符号链接，未跟随")});
            } else if (S_ISDIR(entry.st_mode)) {
                pending.push_back(path);
            } else if (!isDocumentName(name)) {
                continue;
            } else if (!S_ISREG(entry.st_mode)) {
                listing.skipped.push_back({path, reasonText("不是普通文件")});
            } else if (static_cast<std::uintmax_t>(entry.st_size) > kMaxDocumentBytes) {
                listing.skipped.push_back({path, reasonText("文件超过 20 MB")});
            } else {
                listing.files.push_back(
                    {path, static_cast<std::uintmax_t>(entry.st_size),
                     std::int64_t{entry.st_mtim.tv_sec} * 1000000000 + entry.st_mtim.tv_nsec,
                     static_cast<std::uint64_t>(entry.st_ino)});
            }
        }
        if (ec) {
            if (dir == folder) {
                listing.problem = FolderProblem::Unreadable;
                return listing;
            }
            listing.skipped.push_back({dir, reasonText("无法读取文件夹")});
        }
    }
    std::sort(listing.files.begin(), listing.files.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.path < b.path; });
    std::sort(listing.skipped.begin(), listing.skipped.end(),
              [](const SkippedFile& a, const SkippedFile& b) { return a.path < b.path; });
    return listing;
}

HtmlText visibleHtmlText(std::string_view utf8) {
    HtmlText out;
    HtmlDocument page(utf8);
    if (!page.ok()) {
        return out;
    }
    out.title = collapseWhiteSpace(page.text(page.selectFirst("//title")));
    for (const std::string& node : page.selectTexts("//body//text()[not(ancestor::script) and "
                                                    "not(ancestor::style) and "
                                                    "not(ancestor::template)]")) {
        std::string piece = collapseWhiteSpace(node);
        if (!piece.empty()) {
            out.text.append(piece).append("\n");
        }
    }
    return out;
}

DocumentRead readDocument(const FolderEntry& entry) {
    DocumentRead read;
    FileBytes file = readFilePrefix(entry.path, kMaxDocumentBytes + 1);
    if (file.status != FileReadStatus::Ok) {
        read.reason = reasonText("无法读取");
        return read;
    }
    if (file.bytes.size() > kMaxDocumentBytes) {
        read.reason = reasonText("文件超过 20 MB");
        return read;
    }
    if (std::string_view(file.bytes).substr(0, kTextProbeBytes).find('\0') !=
        std::string_view::npos) {
        read.reason = reasonText("不是文本文件");
        return read;
    }
    DecodedArticle decoded = decodeArticle(file.bytes);
    file.bytes = std::string();
    LocalDocument document;
    document.path = entry.path;
    if (isHtmlName(entry.path)) {
        HtmlText html = visibleHtmlText(utf8FromGbk(decoded.text));
        document.title = firstLine(html.title.empty() ? html.text : html.title, sameText);
        document.keys = documentKeys(gbkFromUtf8(html.text));
    } else {
        document.title = firstLine(decoded.text, utf8FromGbk);
        document.keys = documentKeys(decoded.text);
    }
    if (document.keys.empty()) {
        read.reason = reasonText("没有文字");
        return read;
    }
    if (document.title.empty()) {
        document.title = fileNameOf(entry.path);
    }
    read.document = std::move(document);
    return read;
}

}  // namespace oc::corpus
