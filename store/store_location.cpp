#include "store/store_location.h"

#include <cstdlib>
#include <filesystem>

namespace oc::store {
namespace {

constexpr const char* kStoreFileName = "checks.db";

}  // namespace

std::string storeFilePath(const SettingsPlaces& places, const std::string& storeFile) {
    if (!storeFile.empty()) {
        return storeFile;
    }
    const std::string folder = runsPortable(places) ? places.programFolder : dataFolder(places);
    if (folder.empty()) {
        return places.programFolder.empty()
                   ? std::string()
                   : (std::filesystem::path(places.programFolder) / kStoreFileName).string();
    }
    return (std::filesystem::path(folder) / kStoreFileName).string();
}

std::string storeFilePath() {
    const char* named = std::getenv("OC_STORE_FILE");
    return storeFilePath(currentSettingsPlaces(), named != nullptr ? named : "");
}

}  // namespace oc::store
