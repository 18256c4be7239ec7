// File handles: a table of open files behind opaque numbers, so that a stale
// or made-up handle can never reach a descriptor it does not own.
//
// Sharing is honoured with advisory flock locks between handles of this
// service (in this and other processes): every handle holds a lock while it
// is open; "exclusive" and "deny read" take an exclusive lock, "no
// restriction" and "deny write" a shared one. So an exclusive open fails
// while any other handle has the file open, and every open fails while an
// exclusive one is held. Deny write does not keep out writers that share,
// which flock cannot express.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "services/conversions.h"
#include "services/file_contents.h"
#include "services/files.h"

namespace oc {
namespace {

constexpr char kEndMarker = 0x1A;

struct OpenFile {
    explicit OpenFile(int descriptor) : fd(descriptor) {}
    ~OpenFile() { ::close(fd); }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    int fd;
    std::mutex mutex;  // one operation at a time moves the position
};

class HandleTable {
  public:
    FileHandle add(int fd) {
        std::lock_guard lock(mutex_);
        FileHandle handle = next_++;
        files_.emplace(handle, std::make_shared<OpenFile>(fd));
        return handle;
    }
    std::shared_ptr<OpenFile> find(FileHandle handle) {
        std::lock_guard lock(mutex_);
        auto it = files_.find(handle);
        return it == files_.end() ? nullptr : it->second;
    }
    // The file closes when the last operation still using it ends.
    void remove(FileHandle handle) {
        std::lock_guard lock(mutex_);
        files_.erase(handle);
    }

  private:
    std::mutex mutex_;
    std::unordered_map<FileHandle, std::shared_ptr<OpenFile>> files_;
    FileHandle next_ = 1;
};

HandleTable& handleTable() {
    static HandleTable table;
    return table;
}

int openFlags(int mode) {
    switch (mode) {
        case 1:
            return O_RDONLY;
        case 2:
            return O_WRONLY;
        case 3:
            return O_RDWR;
        case 4:  // truncated once the lock is held
        case 5:
            return O_WRONLY | O_CREAT;
        case 6:
            return O_RDWR | O_CREAT;
        default:
            return -1;
    }
}

int lockFor(int share) {
    switch (share) {
        case 1:
        case 3:
            return LOCK_SH;
        case 2:
        case 4:
            return LOCK_EX;
        default:
            return -1;
    }
}

// Runs `operation` on the open file of the handle, or gives `fallback`.
template <typename Result, typename Operation>
Result withFile(FileHandle handle, Result fallback, Operation operation) {
    std::shared_ptr<OpenFile> file = handleTable().find(handle);
    if (!file) {
        return fallback;
    }
    std::lock_guard lock(file->mutex);
    return operation(file->fd);
}

bool seekTo(FileHandle handle, int whence) {
    return withFile(handle, false, [&](int fd) { return ::lseek(fd, 0, whence) >= 0; });
}

// Reads one byte at `pos` without moving; -1 at the end or on an error.
int byteAt(int fd, off_t pos) {
    unsigned char byte = 0;
    ssize_t n;
    do {
        n = ::pread(fd, &byte, 1, pos);
    } while (n < 0 && errno == EINTR);
    return n == 1 ? byte : -1;
}

}  // namespace

FileHandle openFile(const Text& path, int mode, int share) {
    int flags = openFlags(mode);
    int lock = lockFor(share);
    if (path.empty() || flags < 0 || lock < 0) {
        return 0;
    }
    int fd = ::open(nativePath(path).c_str(), flags | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
    if (fd < 0) {
        return 0;
    }
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && !S_ISDIR(st.st_mode) &&
              ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0 &&
              ::flock(fd, lock | LOCK_NB) == 0 && (mode != 4 || ::ftruncate(fd, 0) == 0);
    if (!ok) {
        ::close(fd);
        return 0;
    }
    return handleTable().add(fd);
}

void closeFile(FileHandle handle) {
    handleTable().remove(handle);
}

bool seekToStart(FileHandle handle) {
    return seekTo(handle, SEEK_SET);
}

bool seekToEnd(FileHandle handle) {
    return seekTo(handle, SEEK_END);
}

Text readLine(FileHandle handle) {
    return withFile(handle, Text(), [](int fd) {
        off_t pos = ::lseek(fd, 0, SEEK_CUR);
        if (pos < 0) {
            return Text();
        }
        Text line;
        char buffer[512];
        for (bool done = false; !done;) {
            ssize_t n = ::pread(fd, buffer, sizeof buffer, pos);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                return Text();  // the position stays where it was
            }
            std::size_t count = static_cast<std::size_t>(n);
            std::size_t i = 0;
            while (i < count && buffer[i] != '\n' && buffer[i] != '\0' && buffer[i] != kEndMarker) {
                ++i;
            }
            line.append(buffer, i);
            done = n == 0 || i < count;
            // A line feed is consumed; a 0x00 or 0x1A byte stays next.
            pos += static_cast<off_t>(i < count && buffer[i] == '\n' ? i + 1 : i);
        }
        ::lseek(fd, pos, SEEK_SET);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        return line;
    });
}

bool writeLines(FileHandle handle, const std::vector<LineValue>& values) {
    std::string bytes;
    for (const LineValue& value : values) {
        bytes += std::visit([](const auto& v) { return toText(v); }, value);
        bytes += "\r\n";
    }
    return withFile(handle, false, [&](int fd) { return writeAllBytes(fd, bytes); });
}

bool atEndOfFile(FileHandle handle, bool stopAtMarker) {
    // An unknown handle has nothing more to read.
    return withFile(handle, true, [&](int fd) {
        off_t pos = ::lseek(fd, 0, SEEK_CUR);
        struct stat st {};
        if (pos < 0 || ::fstat(fd, &st) != 0 || pos >= st.st_size) {
            return true;
        }
        if (!stopAtMarker) {
            return false;
        }
        int next = byteAt(fd, pos);
        return next < 0 || next == 0x00 || next == kEndMarker;
    });
}

}  // namespace oc
