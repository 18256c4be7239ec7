#include "services/article_reading.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

#include "services/article_decoding.h"

namespace oc {

ArticleBytes readArticleBytes(int fd) {
    ArticleBytes result;
    constexpr std::size_t kChunk = 64 * 1024;
    while (result.bytes.size() <= kMaxArticleBytes) {
        std::size_t have = result.bytes.size();
        std::size_t want = std::min(kChunk, kMaxArticleBytes + 1 - have);
        result.bytes.resize(have + want);
        ssize_t n = ::read(fd, result.bytes.data() + have, want);
        if (n < 0 && errno == EINTR) {
            result.bytes.resize(have);
            continue;
        }
        if (n <= 0) {
            result.bytes.resize(have);
            result.error = n < 0 ? errno : 0;
            break;
        }
        result.bytes.resize(have + static_cast<std::size_t>(n));
    }
    if (result.error != 0) {
        result.bytes.clear();
    }
    return result;
}

ArticleBytes readArticleFile(const std::string& nativePath) {
    int fd = ::open(nativePath.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return {errno, {}};
    }
    struct stat info {};
    ArticleBytes result;
    if (::fstat(fd, &info) != 0) {
        result.error = errno;
    } else if (S_ISDIR(info.st_mode)) {
        result.error = EISDIR;
    } else {
        result = readArticleBytes(fd);
    }
    ::close(fd);
    return result;
}

}  // namespace oc
