// Files and folders. Paths are GBK texts, converted to UTF-8 names on disk.
#pragma once

#include <cstdint>
#include <variant>
#include <vector>

#include "services/text_types.h"

namespace oc {

// The folder of the running executable, without a trailing separator.
Text programDirectory();
// The platform's path separator ("/").
inline constexpr char kPathSeparator = '/';

// 1 documents, 2 favourites, 3 desktop, 4 fonts, 5 start menu, 6 programs,
// 7 autostart, 8 application data, 9 system folder, 10 system binaries,
// 11 temporary files. Always ends with a separator; empty for another kind.
Text specialFolder(int kind);

// The UTF-8 name on disk of a GBK path.
std::string nativePath(const Text& path);

bool fileExists(const Text& path);
// Creates or truncates the file and writes each non-empty byte set in order.
bool writeFile(const Text& path, const std::vector<ByteSet>& parts);

using FileHandle = std::intptr_t;  // 0 means failure
// mode: 1 read, 2 write, 3 read+write, 4 create/truncate+write, 5 write (create,
// keep), 6 read+write (create, keep). share: 1 none, 2 deny read, 3 deny write, 4 exclusive.
FileHandle openFile(const Text& path, int mode = 3, int share = 1);
void closeFile(FileHandle handle);
bool seekToStart(FileHandle handle);
bool seekToEnd(FileHandle handle);
// Up to a line feed (consumed), a 0x00 or 0x1A byte (not consumed); one CR that
// stands last is dropped. Empty at the end of the file.
Text readLine(FileHandle handle);
using LineValue = std::variant<Text, std::int32_t, double, bool, DateTime>;
// Each value as toText gives it, followed by CR LF.
bool writeLines(FileHandle handle, const std::vector<LineValue>& values);
bool atEndOfFile(FileHandle handle, bool stopAtMarker = false);

}  // namespace oc
