#include "corpus/document_folder.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "corpus/local_keys.h"
#include "services/article_decoding.h"
#include "services/boundary_text.h"
#include "services/document_text.h"
#include "services/file_contents.h"
#include "services/html_text.h"

namespace oc::corpus {
namespace {

namespace fs = std::filesystem;

Text reasonText(std::string_view utf8) {
    return gbkFromUtf8(utf8);
}

// Why an entry cannot be read, from the errno of the attempt.
Text unreadableReason(int error) {
    return reasonText(error == ENAMETOOLONG ? "路径过长" : "无法读取");
}

// A title longer than this is cut, "…" marking the cut.
constexpr std::size_t kMaxTitleChars = 80;

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

// A Word document or a PDF file, read by the article reader.
DocumentRead extractedDocument(const std::string& path, const DocumentText& text) {
    DocumentRead read;
    if (text.problem != DocumentProblem::None) {
        read.reason = documentProblemText(text);
        return read;
    }
    LocalDocument document;
    document.path = path;
    document.title = firstLine(text.article.text, utf8FromGbk);
    document.keys = documentKeys(text.article.text);
    if (document.keys.empty()) {
        read.reason = reasonText("没有文字");
        return read;
    }
    if (document.title.empty()) {
        document.title = fileNameOf(path);
    }
    read.document = std::move(document);
    return read;
}

}  // namespace

FolderProblem folderProblemOf(const std::string& folder) {
    if (folder.empty()) {
        return FolderProblem::NotGiven;
    }
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) {
        return errno == ENOENT || errno == ENOTDIR ? FolderProblem::Missing
               : errno == ENAMETOOLONG             ? FolderProblem::PathTooLong
                                                   : FolderProblem::Unreadable;
    }
    return S_ISDIR(st.st_mode) ? FolderProblem::None : FolderProblem::NotAFolder;
}

FolderListing listDocumentFiles(const std::string& folder) {
    FolderListing listing;
    listing.problem = folderProblemOf(folder);
    if (listing.problem != FolderProblem::None) {
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
                listing.skipped.push_back({path, unreadableReason(errno)});
            } else if (S_ISLNK(entry.st_mode)) {
                listing.skipped.push_back({path, reasonText("符号链接，未跟随")});
            } else if (S_ISDIR(entry.st_mode)) {
                pending.push_back(path);
            } else if (!isDocumentFileName(name)) {
                continue;
            } else if (!S_ISREG(entry.st_mode)) {
                listing.skipped.push_back({path, reasonText("不是普通文件")});
            } else if (static_cast<std::uintmax_t>(entry.st_size) > kMaxDocumentBytes) {
                listing.skipped.push_back({path, reasonText("文件超过 20 MB")});
            } else {
                listing.files.push_back(
                    {path, static_cast<std::uintmax_t>(entry.st_size),
                     std::int64_t{entry.st_mtim.tv_sec} * 1000000000 + entry.st_mtim.tv_nsec,
                     static_cast<std::uint64_t>(entry.st_dev),
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

DocumentRead readDocument(const FolderEntry& entry) {
    DocumentRead read;
    const FileIdentity listed{entry.device, entry.inode};
    errno = 0;
    FileBytes file = readFilePrefixNoFollow(entry.path, kMaxDocumentBytes + 1, &listed);
    if (file.status == FileReadStatus::Changed) {
        read.reason = reasonText("文件已被替换");
        return read;
    }
    if (file.status != FileReadStatus::Ok) {
        read.reason = unreadableReason(errno);
        return read;
    }
    if (file.bytes.size() > kMaxDocumentBytes) {
        read.reason = reasonText("文件超过 20 MB");
        return read;
    }
    const DocumentFormat format = documentFormatOf(entry.path);
    if (format == DocumentFormat::Docx || format == DocumentFormat::Pdf) {
        return extractedDocument(entry.path,
                                 documentTextFromBytes(file.bytes, format, kMaxDocumentBytes));
    }
    if (!hasWideByteOrderMark(file.bytes) &&
        std::string_view(file.bytes).substr(0, kTextProbeBytes).find('\0') !=
            std::string_view::npos) {
        read.reason = reasonText("不是文本文件");
        return read;
    }
    DecodedArticle decoded = decodeArticle(file.bytes, kMaxDocumentBytes);
    file.bytes = std::string();
    LocalDocument document;
    document.path = entry.path;
    if (format == DocumentFormat::Html) {
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
