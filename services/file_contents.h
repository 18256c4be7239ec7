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

// Writes the bytes to a new file in the same folder, flushes it to disk and
// renames it over the path, so that a reader sees either the old or the new
// content, never a mix. An existing file keeps its permission bits and a
// symbolic link is written through. False, with the old file untouched, on
// any failure.
bool replaceFileAtomically(const std::string& nativePath, std::string_view bytes);

// Whether replaceFileAtomically could write the path now: its folder takes new
// files and an existing entry there is a regular file the user may write.
bool canReplaceFile(const std::string& nativePath);

// Writes everything, retrying after interruptions and short writes.
bool writeAllBytes(int fd, std::string_view bytes);

}  // namespace oc
