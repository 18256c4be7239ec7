#include "tests/support/file_fixtures.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "tests/support/gbk.h"

namespace oc::testing {

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "oc-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    native_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(native_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(native_, ignored);
}

Text TempFolder::path(std::string_view utf8Name) const {
    return G(nativePath(utf8Name));
}

std::string TempFolder::nativePath(std::string_view utf8Name) const {
    return native_ + "/" + std::string(utf8Name);
}

std::string fileBytes(const std::string& nativePath) {
    std::ifstream in(nativePath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void putFileBytes(const std::string& nativePath, const std::string& bytes) {
    std::ofstream out(nativePath, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool runWithoutRoot(const std::function<bool()>& step) {
    if (::geteuid() != 0) {
        return step();
    }
    pid_t child = ::fork();
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
            ::_exit(2);
        }
        ::_exit(step() ? 0 : 1);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        throw std::runtime_error("the unprivileged step did not finish");
    }
    if (WEXITSTATUS(status) == 2) {
        throw std::runtime_error("cannot give up root");
    }
    return WEXITSTATUS(status) == 0;
}

}  // namespace oc::testing
