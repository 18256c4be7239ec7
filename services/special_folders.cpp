// The program's folder and the special folders. The Windows kinds map to
// their nearest equivalents on a Linux desktop:
//   1 documents      XDG documents folder, else ~/Documents, else home
//   2 favourites     home (a desktop has no favourites folder of its own)
//   3 desktop        XDG desktop folder, else ~/Desktop, else home
//   4 fonts          /usr/share/fonts
//   5 start menu     $XDG_DATA_HOME/applications (the user's menu entries)
//   6 programs       /usr/share/applications (the installed programs' entries)
//   7 autostart      $XDG_CONFIG_HOME/autostart
//   8 app data       $XDG_DATA_HOME (~/.local/share)
//   9 system folder  /etc
//  10 system binaries /usr/bin
//  11 temporary      $TMPDIR when it names a folder, else /tmp
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string_view>

#include "services/boundary_text.h"
#include "services/files.h"

namespace oc {
namespace {

bool isFolder(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// An environment value that names an absolute path, else empty.
std::string absoluteFromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] == '/' ? std::string(value) : std::string();
}

std::string homeFolder() {
    std::string home = absoluteFromEnvironment("HOME");
    if (!home.empty()) {
        return home;
    }
    struct passwd entry {};
    struct passwd* found = nullptr;
    char buffer[4096];
    if (::getpwuid_r(::getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found != nullptr &&
        found->pw_dir != nullptr && found->pw_dir[0] == '/') {
        return found->pw_dir;
    }
    return {};
}

// `tail` appended to `base`; empty when `base` is.
std::string joined(const std::string& base, std::string_view tail) {
    return base.empty() ? base : base + std::string(tail);
}

std::string baseFolder(const char* variable, const char* underHome) {
    std::string folder = absoluteFromEnvironment(variable);
    return folder.empty() ? joined(homeFolder(), underHome) : folder;
}

// A folder of ~/.config/user-dirs.dirs, a line such as XDG_DESKTOP_DIR="$HOME/Desktop".
std::string xdgUserFolder(std::string_view name) {
    std::ifstream file(baseFolder("XDG_CONFIG_HOME", "/.config") + "/user-dirs.dirs");
    std::string prefix = "XDG_" + std::string(name) + "_DIR=\"";
    for (std::string line; std::getline(file, line);) {
        if (!line.starts_with(prefix) || !line.ends_with('"')) {
            continue;
        }
        std::string value = line.substr(prefix.size(), line.size() - prefix.size() - 1);
        if (value.starts_with("$HOME")) {
            return joined(homeFolder(), std::string_view(value).substr(5));
        }
        return value.starts_with('/') ? value : std::string();
    }
    return {};
}

// The user's folder of that XDG name, else ~/fallback, else home.
std::string userFolder(std::string_view xdgName, const char* fallback) {
    for (const std::string& folder : {xdgUserFolder(xdgName), joined(homeFolder(), fallback)}) {
        if (isFolder(folder)) {
            return folder;
        }
    }
    return homeFolder();
}

std::string temporaryFolder() {
    std::string folder = absoluteFromEnvironment("TMPDIR");
    return isFolder(folder) ? folder : std::string("/tmp");
}

std::string nativeSpecialFolder(int kind) {
    switch (kind) {
        case 1:
            return userFolder("DOCUMENTS", "/Documents");
        case 2:
            return homeFolder();
        case 3:
            return userFolder("DESKTOP", "/Desktop");
        case 4:
            return "/usr/share/fonts";
        case 5:
            return joined(baseFolder("XDG_DATA_HOME", "/.local/share"), "/applications");
        case 6:
            return "/usr/share/applications";
        case 7:
            return joined(baseFolder("XDG_CONFIG_HOME", "/.config"), "/autostart");
        case 8:
            return baseFolder("XDG_DATA_HOME", "/.local/share");
        case 9:
            return "/etc";
        case 10:
            return "/usr/bin";
        case 11:
            return temporaryFolder();
        default:
            return {};
    }
}

// GBK text of a native path; empty when GBK cannot spell it.
Text textOfNativePath(const std::string& native) {
    Text text = gbkFromUtf8(native);
    return nativePath(text) == native ? text : Text();
}

}  // namespace

Text programDirectory() {
    std::string executable(256, '\0');
    for (;;) {
        ssize_t n = ::readlink("/proc/self/exe", executable.data(), executable.size());
        if (n < 0) {
            return {};
        }
        if (static_cast<std::size_t>(n) < executable.size()) {
            executable.resize(static_cast<std::size_t>(n));
            break;
        }
        executable.resize(executable.size() * 2);
    }
    // At the root the folder is "", so that "/配置.ini" still names the root. A
    // folder name GBK cannot spell comes out with "?" (as the ANSI conversion
    // gives it), never as a different existing folder.
    std::size_t slash = executable.rfind('/');
    return slash == std::string::npos ? Text() : gbkFromUtf8(executable.substr(0, slash));
}

Text specialFolder(int kind) {
    std::string folder = nativeSpecialFolder(kind);
    if (folder.empty()) {
        return {};
    }
    if (folder.back() != kPathSeparator) {
        folder += kPathSeparator;
    }
    return textOfNativePath(folder);
}

}  // namespace oc
