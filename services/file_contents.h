// Whole-file reads and atomic replacement on native (UTF-8) paths, and the
// write loop every file service shares.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace oc {

enum class FileReadStatus { Ok, Missing, Unreadable };

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

struct ReplaceOptions {
    // For files that hold secrets: mode 0600 whatever the old file had, and a
    // symbolic link at the path is replaced itself, its target never written.
    bool privateFile = false;
};

// Writes the bytes to a new file in the same folder, flushes it to disk and
// renames it over the path, so that a reader sees either the old or the new
// content, never a mix. An existing file keeps its permission bits and a
// symbolic link is written through (unless privateFile). Temporary files that
// processes no longer running left beside the path are removed. False, with
// the old file untouched, on any failure.
bool replaceFileAtomically(const std::string& nativePath, std::string_view bytes,
                           const ReplaceOptions& options = {});

// Whether replaceFileAtomically could write the path now: its folder takes new
// files and an existing entry there is a regular file the user may write.
bool canReplaceFile(const std::string& nativePath);

// Writes everything, retrying after interruptions and short writes.
bool writeAllBytes(int fd, std::string_view bytes);

}  // namespace oc
