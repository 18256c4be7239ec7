#include "services/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string_view>

#include "services/boundary_text.h"
#include "services/file_contents.h"

namespace oc {
namespace {

std::size_t utf8CharLength(std::string_view s, std::size_t p) {
    auto b = static_cast<unsigned char>(s[p]);
    std::size_t n = b < 0xC0 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    return std::min(n, s.size() - p);
}

// "*" matches any run of characters, "?" one character; nothing else is special.
bool matchesWildcard(std::string_view pattern, std::string_view name) {
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t starP = std::string_view::npos;
    std::size_t starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = ++p;
            starN = n;
        } else if (p < pattern.size() && pattern[p] == '?') {
            ++p;
            n += utf8CharLength(name, n);
        } else if (p < pattern.size() && pattern[p] == name[n]) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP;
            starN += utf8CharLength(name, starN);
            n = starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

// Wildcards count in the last part of the path only, as in a directory search.
bool anyEntryMatches(const std::string& path) {
    std::size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    std::string pattern = slash == std::string::npos ? path : path.substr(slash + 1);
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return false;
    }
    bool found = false;
    while (!found) {
        const dirent* entry = ::readdir(dir);
        if (entry == nullptr) {
            break;
        }
        found = matchesWildcard(pattern, entry->d_name);
    }
    ::closedir(dir);
    return found;
}

}  // namespace

std::string nativePath(const Text& path) {
    return utf8FromGbk(path);
}

bool fileExists(const Text& path) {
    if (path.empty()) {
        return false;
    }
    std::string native = nativePath(path);
    std::size_t slash = native.rfind('/');
    std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    if (native.find_first_of("*?", nameStart) != std::string::npos) {
        return anyEntryMatches(native);
    }
    struct stat st {};
    return ::lstat(native.c_str(), &st) == 0;
}

bool writeFile(const Text& path, const std::vector<ByteSet>& parts) {
    if (path.empty()) {
        return false;
    }
    int fd = ::open(nativePath(path).c_str(),
                    O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
    if (fd < 0) {
        return false;
    }
    // Exclusive: a file another handle holds open is not truncated under it.
    // Non-blocking open: a pipe without a reader fails instead of hanging.
    bool ok = ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::ftruncate(fd, 0) == 0;
    for (const ByteSet& part : parts) {
        ok = ok && writeAllBytes(fd, part.view());
    }
    return ::close(fd) == 0 && ok;
}

}  // namespace oc
