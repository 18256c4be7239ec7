#include "settings/settings_location.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "services/files.h"

namespace oc {
namespace {

constexpr const char* kConfigFolderName = "originality-checker";

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

bool isInstalledBinFolder(const std::string& folder) {
    std::error_code error;
    return std::filesystem::is_directory(std::filesystem::path(folder) / OC_DATA_FROM_BIN, error);
}

bool userMayWrite(const std::string& folder) {
    return ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

// Creates the missing folders of path with mode 0700, as the XDG base
// directory rules ask. True when path is a folder afterwards.
bool makeFolders(const std::filesystem::path& path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        return true;
    }
    if (path.has_parent_path() && path.parent_path() != path && !makeFolders(path.parent_path())) {
        return false;
    }
    return ::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

}  // namespace

SettingsPlaces currentSettingsPlaces() {
    SettingsPlaces places;
    places.programFolder = nativePath(programDirectory());
    places.configHome = environment("XDG_CONFIG_HOME");
    places.home = environment("HOME");
    if (places.home.empty()) {
        if (const passwd* account = ::getpwuid(::geteuid()); account != nullptr) {
            places.home = account->pw_dir != nullptr ? account->pw_dir : "";
        }
    }
    return places;
}

std::string settingsFolder(const SettingsPlaces& places) {
    if (userMayWrite(places.programFolder) && !isInstalledBinFolder(places.programFolder)) {
        return places.programFolder;
    }
    std::filesystem::path configHome;
    if (!places.configHome.empty() && places.configHome.front() == '/') {
        configHome = places.configHome;
    } else if (!places.home.empty()) {
        configHome = std::filesystem::path(places.home) / ".config";
    } else {
        return places.programFolder;
    }
    const std::filesystem::path folder = configHome / kConfigFolderName;
    // A folder that cannot be made still names the file: the save then fails
    // and says why.
    makeFolders(folder);
    return folder.string();
}

}  // namespace oc
