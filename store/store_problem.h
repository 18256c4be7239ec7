// Why the results store cannot be used, in words for the user.
#pragma once

#include <string>

namespace oc::store {

// The reason for an SQLite result code met on the store at `path` (UTF-8):
// "文件已损坏：PATH", "磁盘已满：PATH", and so on.
std::string problemOf(int sqliteResult, const std::string& path);

// The store was written by a newer version of the program.
std::string newerSchemaProblem(const std::string& path);
// The store's name is a link, or no regular file.
std::string notAFileProblem(const std::string& path);
// Its folder could not be made.
std::string folderProblem(const std::string& folder);
// The lock file beside it cannot be opened.
std::string lockFileProblem(const std::string& path);

}  // namespace oc::store
