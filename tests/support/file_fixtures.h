// Real files for tests: a fresh temporary folder per test, and a way to run a
// step without the root user's power to write anywhere.
#pragma once

#include <functional>
#include <string>

#include "services/text_types.h"

namespace oc::testing {

class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder's native (UTF-8) path, without a trailing "/".
    const std::string& native() const { return native_; }
    // The GBK path of a name (given as UTF-8) inside the folder.
    Text path(std::string_view utf8Name) const;
    // The native path of a name (given as UTF-8) inside the folder.
    std::string nativePath(std::string_view utf8Name) const;

  private:
    std::string native_;
};

// The bytes of a file; empty when it cannot be read.
std::string fileBytes(const std::string& nativePath);
void putFileBytes(const std::string& nativePath, const std::string& bytes);

// Runs `step` as an ordinary user so that file permissions apply: directly
// when the tests do not run as root, else in a child process that has given
// up root (user and group "nobody"). Its answer comes back as the result.
bool runWithoutRoot(const std::function<bool()>& step);

}  // namespace oc::testing
