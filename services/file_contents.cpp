#include "services/file_contents.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <dirent.h>
#include <signal.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <thread>

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

// The file a write to `path` must replace: the target of a symbolic link,
// followed link by link, so that a link to a file not made yet names where
// that file is to be. A loop of links leaves the path as it is.
std::string resolvedTarget(const std::string& path) {
    constexpr int kMostLinks = 40;
    std::string current = path;
    for (int hop = 0; hop < kMostLinks; ++hop) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            return current;
        }
        char target[PATH_MAX];
        const ssize_t n = ::readlink(current.c_str(), target, sizeof target - 1);
        if (n <= 0) {
            return path;
        }
        std::string next(target, static_cast<std::size_t>(n));
        if (next.front() != '/') {
            const std::size_t slash = current.rfind('/');
            next =
                (slash == std::string::npos ? std::string() : current.substr(0, slash + 1)) + next;
        }
        current = std::move(next);
    }
    return path;
}

std::string nameOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The process id in a temporary file name ".NAME.PID.N.tmp", 0 when the entry
// is no such file.
pid_t temporaryOwner(std::string_view entry, std::string_view name) {
    std::string prefix = std::string(".").append(name).append(".");
    if (!entry.starts_with(prefix) || !entry.ends_with(".tmp")) {
        return 0;
    }
    std::string_view rest = entry.substr(prefix.size(), entry.size() - prefix.size() - 4);
    std::size_t dot = rest.find('.');
    if (dot == 0 || dot == std::string_view::npos ||
        rest.substr(0, dot).find_first_not_of("0123456789") != std::string_view::npos ||
        rest.substr(dot + 1).empty() ||
        rest.substr(dot + 1).find_first_not_of("0123456789") != std::string_view::npos || dot > 9) {
        return 0;
    }
    return static_cast<pid_t>(std::atol(std::string(rest.substr(0, dot)).c_str()));
}

// Removes the temporary files of saves that a process ended before it
// could rename them (killed, or the machine stopped).
void removeStaleTemporaries(const std::string& target) {
    std::string folder = folderOf(target);
    std::string name = nameOf(target);
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        pid_t owner = temporaryOwner(entry->d_name, name);
        if (owner > 0 && owner != ::getpid() && ::kill(owner, 0) != 0 && errno == ESRCH) {
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
        }
    }
    ::closedir(dir);
}

// Creates a new, empty file beside `target` that no one else has opened.
int createTemporaryBeside(const std::string& target, std::string& tempPath, mode_t mode) {
    static std::atomic<unsigned> counter{0};
    std::string folder = folderOf(target);
    std::string name = nameOf(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = folder + "/." + name + "." + std::to_string(::getpid()) + "." +
                   std::to_string(counter.fetch_add(1)) + ".tmp";
        int fd =
            ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
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

namespace {

FileBytes readPrefix(const std::string& nativePath, std::size_t maxBytes, int extraFlags,
                     const FileIdentity* expected) {
    FileBytes result;
    // Non-blocking, so that a pipe at the path cannot hang the reader.
    FdCloser fd(
        ::open(nativePath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | extraFlags));
    if (fd.get() < 0) {
        const bool link = errno == ELOOP && (extraFlags & O_NOFOLLOW) != 0;
        result.status = link && expected != nullptr           ? FileReadStatus::Changed
                        : errno == ENOENT || errno == ENOTDIR ? FileReadStatus::Missing
                                                              : FileReadStatus::Unreadable;
        return result;
    }
    result.status = FileReadStatus::Unreadable;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        return result;
    }
    if (expected != nullptr &&
        !(FileIdentity{static_cast<std::uint64_t>(st.st_dev),
                       static_cast<std::uint64_t>(st.st_ino)} == *expected)) {
        result.status = FileReadStatus::Changed;
        return result;
    }
    if (!S_ISREG(st.st_mode)) {
        return result;
    }
    std::string bytes;
    bytes.reserve(std::min(static_cast<std::size_t>(st.st_size), maxBytes));
    char buffer[65536];
    while (bytes.size() < maxBytes) {
        ssize_t n = ::read(fd.get(), buffer, std::min(sizeof buffer, maxBytes - bytes.size()));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return result;
        }
        if (n == 0) {
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    result.status = FileReadStatus::Ok;
    result.bytes = std::move(bytes);
    return result;
}

}  // namespace

FileBytes readFilePrefix(const std::string& nativePath, std::size_t maxBytes) {
    return readPrefix(nativePath, maxBytes, 0, nullptr);
}

FileBytes readFilePrefixNoFollow(const std::string& nativePath, std::size_t maxBytes,
                                 const FileIdentity* expected) {
    return readPrefix(nativePath, maxBytes, O_NOFOLLOW, expected);
}

FileBytes readWholeFile(const std::string& nativePath) {
    // One byte more than allowed shows a file above the limit, or one that grew past it.
    FileBytes result = readFilePrefix(nativePath, kMaxWholeFileBytes + 1);
    if (result.status == FileReadStatus::Ok && result.bytes.size() > kMaxWholeFileBytes) {
        return {FileReadStatus::Unreadable, {}};
    }
    return result;
}

bool replaceFileAtomically(const std::string& nativePath, std::string_view bytes,
                           const ReplaceOptions& options, int* error) {
    auto fail = [error](int code) {
        if (error != nullptr) {
            *error = code;
        }
        return false;
    };
    if (nativePath.empty()) {
        return fail(ENOENT);
    }
    const bool keepLink = options.privateFile || options.replaceLink;
    std::string target = keepLink ? nativePath : resolvedTarget(nativePath);
    struct stat old {};
    bool existed = ::lstat(target.c_str(), &old) == 0 && !S_ISLNK(old.st_mode);
    // A file the user made read-only stays as it is, as it would for a write in place.
    if (existed && S_ISDIR(old.st_mode)) {
        return fail(EISDIR);
    }
    if (existed && (!S_ISREG(old.st_mode) || ::access(target.c_str(), W_OK) != 0)) {
        return fail(S_ISREG(old.st_mode) ? EACCES : EINVAL);
    }
    removeStaleTemporaries(target);
    std::string tempPath;
    FdCloser fd(createTemporaryBeside(target, tempPath, options.privateFile ? 0600 : 0666));
    if (fd.get() < 0) {
        return fail(errno);
    }
    mode_t mode = options.privateFile ? 0600 : old.st_mode & 07777;
    bool ok = !(existed || options.privateFile) || ::fchmod(fd.get(), mode) == 0;
    ok = ok && writeAllBytes(fd.get(), bytes) && ::fsync(fd.get()) == 0;
    int code = ok ? 0 : errno;
    ok = fd.close() && ok;
    if (!ok && code == 0) {
        code = errno;
    }
    // rename replaces a link at the target itself, never what it points to.
    ok = ok && ::rename(tempPath.c_str(), target.c_str()) == 0;
    if (!ok) {
        if (code == 0) {
            code = errno;
        }
        ::unlink(tempPath.c_str());
        return fail(code);
    }
    syncFolder(folderOf(target));
    return true;
}

SaveLock::SaveLock(const std::string& nativePath, std::chrono::milliseconds timeout) {
    const std::size_t slash = nativePath.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : nativePath.substr(0, slash + 1);
    const std::string name = nativePath.substr(folder.size());
    fd_ = ::open((folder + "." + name + ".lock").c_str(),
                 O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0666);
    if (fd_ < 0) {
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) ||
            std::chrono::steady_clock::now() >= deadline) {
            ::close(fd_);
            fd_ = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

SaveLock::~SaveLock() {
    if (fd_ >= 0) {
        ::close(fd_);  // releases the lock
    }
}

bool canReplaceFile(const std::string& nativePath, const ReplaceOptions& options) {
    if (nativePath.empty()) {
        return false;
    }
    const bool keepLink = options.privateFile || options.replaceLink;
    std::string target = keepLink ? nativePath : resolvedTarget(nativePath);
    struct stat entry {};
    if ((keepLink ? ::lstat(target.c_str(), &entry) : ::stat(target.c_str(), &entry)) == 0 &&
        !S_ISLNK(entry.st_mode) &&
        (!S_ISREG(entry.st_mode) || ::access(target.c_str(), W_OK) != 0)) {
        return false;
    }
    std::string folder = folderOf(target);
    struct stat folderEntry {};
    return ::stat(folder.c_str(), &folderEntry) == 0 && S_ISDIR(folderEntry.st_mode) &&
           ::access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace oc
