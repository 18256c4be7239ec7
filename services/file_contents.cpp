#include "services/file_contents.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace oc {
namespace {

class FdCloser {
  public:
    explicit FdCloser(int fd) : fd_(fd) {}
    ~FdCloser() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FdCloser(const FdCloser&) = delete;
    FdCloser& operator=(const FdCloser&) = delete;
    int get() const { return fd_; }
    // Closes now and reports whether the close succeeded.
    bool close() {
        int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

  private:
    int fd_;
};

std::string folderOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// The file a write to `path` must replace: the target of a symbolic link.
std::string resolvedTarget(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
        return path;
    }
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

// Creates a new, empty file beside `target` that no one else has opened.
int createTemporaryBeside(const std::string& target, std::string& tempPath) {
    static std::atomic<unsigned> counter{0};
    std::string folder = folderOf(target);
    std::size_t slash = target.rfind('/');
    std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = folder + "/." + name + "." + std::to_string(::getpid()) + "." +
                   std::to_string(counter.fetch_add(1)) + ".tmp";
        int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

void syncFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

bool writeAllBytes(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

FileBytes readWholeFile(const std::string& nativePath) {
    FileBytes result;
    // Non-blocking, so that a pipe at the path cannot hang the reader.
    FdCloser fd(::open(nativePath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.get() < 0) {
        result.status = errno == ENOENT || errno == ENOTDIR ? FileReadStatus::Missing
                                                            : FileReadStatus::Unreadable;
        return result;
    }
    result.status = FileReadStatus::Unreadable;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<std::size_t>(st.st_size) > kMaxWholeFileBytes) {
        return result;
    }
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return result;
        }
        if (n == 0) {
            break;
        }
        if (bytes.size() + static_cast<std::size_t>(n) > kMaxWholeFileBytes) {
            return result;  // grew past the limit while being read
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    result.status = FileReadStatus::Ok;
    result.bytes = std::move(bytes);
    return result;
}

bool replaceFileAtomically(const std::string& nativePath, std::string_view bytes) {
    if (nativePath.empty()) {
        return false;
    }
    std::string target = resolvedTarget(nativePath);
    struct stat old {};
    bool existed = ::stat(target.c_str(), &old) == 0;
    // A file the user made read-only stays as it is, as it would for a write in place.
    if (existed && (!S_ISREG(old.st_mode) || ::access(target.c_str(), W_OK) != 0)) {
        return false;
    }
    std::string tempPath;
    FdCloser fd(createTemporaryBeside(target, tempPath));
    if (fd.get() < 0) {
        return false;
    }
    bool ok = !existed || ::fchmod(fd.get(), old.st_mode & 07777) == 0;
    ok = ok && writeAllBytes(fd.get(), bytes) && ::fsync(fd.get()) == 0;
    ok = fd.close() && ok;
    ok = ok && ::rename(tempPath.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(tempPath.c_str());
        return false;
    }
    syncFolder(folderOf(target));
    return true;
}

bool canReplaceFile(const std::string& nativePath) {
    if (nativePath.empty()) {
        return false;
    }
    std::string target = resolvedTarget(nativePath);
    struct stat entry {};
    if (::stat(target.c_str(), &entry) == 0 &&
        (!S_ISREG(entry.st_mode) || ::access(target.c_str(), W_OK) != 0)) {
        return false;
    }
    std::string folder = folderOf(target);
    struct stat folderEntry {};
    return ::stat(folder.c_str(), &folderEntry) == 0 && S_ISDIR(folderEntry.st_mode) &&
           ::access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace oc
