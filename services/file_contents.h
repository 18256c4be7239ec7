// Whole-file reads and atomic replacement on native (UTF-8) paths, and the
// write loop every file service shares.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace oc {

// Changed: the file at the path is not the one expected (it was replaced, by
// a link or another file, since it was listed).
enum class FileReadStatus { Ok, Missing, Unreadable, Changed };

struct FileBytes {
    FileReadStatus status = FileReadStatus::Missing;
    std::string bytes;
};

// Files larger than this are not read: a settings file is never that big, and
// reading one that is would only cost memory and time.
inline constexpr std::size_t kMaxWholeFileBytes = 64u << 20;

// The whole content of a regular file. Missing when there is no entry at the
// path; Unreadable for anything else that goes wrong (no permission, a folder,
// a device or pipe, a file above the limit).
FileBytes readWholeFile(const std::string& nativePath);

// The first `maxBytes` bytes of a regular file (all of a smaller one), with
// the statuses of readWholeFile; opened without blocking.
FileBytes readFilePrefix(const std::string& nativePath, std::size_t maxBytes);

// Which file a listing saw at a path.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;

    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// readFilePrefix without following a symbolic link at the path (Unreadable,
// or Changed when `expected` is given) and, with `expected`, only when the
// file opened is that very file (Changed otherwise).
FileBytes readFilePrefixNoFollow(const std::string& nativePath, std::size_t maxBytes,
                                 const FileIdentity* expected = nullptr);

struct ReplaceOptions {
    // For files that hold secrets: mode 0600 whatever the old file had, and a
    // symbolic link at the path is replaced itself, its target never written.
    bool privateFile = false;
    // A symbolic link at the path is replaced itself, its target never
    // touched (files written where others may plant links: reports).
    bool replaceLink = false;
};

// Writes the bytes to a new file in the same folder, flushes it to disk and
// renames it over the path, so that a reader sees either the old or the new
// content, never a mix. An existing file keeps its permission bits and a
// symbolic link is written through (unless privateFile). Temporary files that
// processes no longer running left beside the path are removed. False, with
// the old file untouched, on any failure.
// A symbolic link whose target does not exist yet is written through too: the
// target is created. `error`, when given, receives the errno of a failure.
bool replaceFileAtomically(const std::string& nativePath, std::string_view bytes,
                           const ReplaceOptions& options = {}, int* error = nullptr);

// Whether replaceFileAtomically could write the path now: its folder takes new
// files and an existing entry there is a regular file the user may write (a
// link, when `options` replace it, is not looked through).
bool canReplaceFile(const std::string& nativePath, const ReplaceOptions& options = {});

// The advisory lock of one save of a file, held until destruction: an flock
// on ".NAME.lock" beside it, so that two processes saving the file take turns.
class SaveLock {
  public:
    // Waits at most `timeout` for the lock; held() says whether it came.
    SaveLock(const std::string& nativePath, std::chrono::milliseconds timeout);
    ~SaveLock();
    SaveLock(const SaveLock&) = delete;
    SaveLock& operator=(const SaveLock&) = delete;
    bool held() const { return fd_ >= 0; }

  private:
    int fd_ = -1;
};

// Writes everything, retrying after interruptions and short writes.
bool writeAllBytes(int fd, std::string_view bytes);

}  // namespace oc
