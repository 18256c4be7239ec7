// Every test program gets a results store of its own, removed when it ends:
// under ctest each test is a process of its own, so no two tests share a
// store, and none touches the user's. The programs a test starts inherit it.
#include <stdlib.h>

#include <filesystem>
#include <string>

namespace {

class OwnStoreFile {
  public:
    OwnStoreFile() {
        std::string folder = (std::filesystem::temp_directory_path() / "oc-store-XXXXXX").string();
        if (::mkdtemp(folder.data()) != nullptr) {
            folder_ = folder;
            ::setenv("OC_STORE_FILE", (folder_ + "/checks.db").c_str(), 1);
        }
    }
    ~OwnStoreFile() {
        std::error_code error;
        if (!folder_.empty()) {
            std::filesystem::remove_all(folder_, error);
        }
    }
    OwnStoreFile(const OwnStoreFile&) = delete;
    OwnStoreFile& operator=(const OwnStoreFile&) = delete;

  private:
    std::string folder_;
};

const OwnStoreFile ownStoreFile;

}  // namespace
