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

// A base folder of the XDG rules: the variable's value when it is absolute,
// else the default below the home; empty without either.
std::filesystem::path xdgBase(const std::string& variable, const std::string& home,
                              const char* defaultBelowHome) {
    if (!variable.empty() && variable.front() == '/') {
        return variable;
    }
    if (!home.empty()) {
        return std::filesystem::path(home) / defaultBelowHome;
    }
    return {};
}

}  // namespace

bool makeUserFolders(const std::string& path) {
    return makeFolders(path);
}

bool runsPortable(const SettingsPlaces& places) {
    return userMayWrite(places.programFolder) && !isInstalledBinFolder(places.programFolder);
}

std::string dataFolder(const SettingsPlaces& places) {
    const std::filesystem::path base = xdgBase(places.dataHome, places.home, ".local/share");
    return base.empty() ? std::string() : (base / kConfigFolderName).string();
}

SettingsPlaces currentSettingsPlaces() {
    SettingsPlaces places;
    places.programFolder = nativePath(programDirectory());
    places.configHome = environment("XDG_CONFIG_HOME");
    places.home = environment("HOME");
    places.dataHome = environment("XDG_DATA_HOME");
    if (places.home.empty()) {
        if (const passwd* account = ::getpwuid(::geteuid()); account != nullptr) {
            places.home = account->pw_dir != nullptr ? account->pw_dir : "";
        }
    }
    return places;
}

std::string settingsFolder(const SettingsPlaces& places) {
    if (runsPortable(places)) {
        return places.programFolder;
    }
    const std::filesystem::path configHome = xdgBase(places.configHome, places.home, ".config");
    if (configHome.empty()) {
        return places.programFolder;
    }
    const std::filesystem::path folder = configHome / kConfigFolderName;
    // A folder that cannot be made still names the file: the save then fails
    // and says why.
    makeFolders(folder);
    return folder.string();
}

}  // namespace oc
