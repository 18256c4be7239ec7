// Which settings file a process uses: beside a build or portable program, in
// the user's configuration folder for an installed or read-only one.
#include "settings/settings_location.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "tests/support/file_fixtures.h"

namespace oc {
namespace {
namespace fs = std::filesystem;

class SettingsLocation : public ::testing::Test {
  protected:
    void SetUp() override {
        // Reachable by the unprivileged user of the read-only case.
        fs::permissions(root_.native(), fs::perms(0755));
    }
    std::string folder(const std::string& name, fs::perms mode) const {
        const std::string path = root_.nativePath(name);
        fs::create_directories(path);
        fs::permissions(path, mode);
        return path;
    }
    static int modeOf(const std::string& path) {
        struct stat info {};
        return ::stat(path.c_str(), &info) == 0 ? static_cast<int>(info.st_mode & 07777) : -1;
    }

    testing::TempFolder root_;
};

TEST_F(SettingsLocation, BuildOrPortableFolderKeepsTheFileBesideTheProgram) {
    const std::string program = folder("portable", fs::perms(0755));
    EXPECT_EQ(settingsFolder({program, root_.nativePath("config"), root_.native()}), program);
    EXPECT_FALSE(fs::exists(root_.nativePath("config")));  // nothing made elsewhere
}

TEST_F(SettingsLocation, InstalledProgramUsesTheConfigurationFolder) {
    const std::string bin = folder("prefix/bin", fs::perms(0755));
    folder("prefix/share/originality-checker", fs::perms(0755));
    const std::string home = folder("home", fs::perms(0755));

    // $XDG_CONFIG_HOME, its missing levels made private.
    const std::string configHome = root_.nativePath("xdg/config");
    const std::string expected = configHome + "/originality-checker";
    EXPECT_EQ(settingsFolder({bin, configHome, home}), expected);
    EXPECT_TRUE(fs::is_directory(expected));
    EXPECT_EQ(modeOf(expected), 0700);
    EXPECT_EQ(modeOf(configHome), 0700);

    // Without it, or with a relative one (not allowed by the XDG rules): ~/.config.
    EXPECT_EQ(settingsFolder({bin, "", home}), home + "/.config/originality-checker");
    EXPECT_EQ(settingsFolder({bin, "relative/config", home}),
              home + "/.config/originality-checker");
    EXPECT_TRUE(fs::is_directory(home + "/.config/originality-checker"));

    // No home at all: the program's folder still names a file; a save then
    // fails and says why.
    EXPECT_EQ(settingsFolder({bin, "", ""}), bin);
}

// As an ordinary user (root may write anywhere): a program folder the user
// cannot write sends the file to the configuration folder; one the user can
// write keeps it beside the program.
TEST_F(SettingsLocation, ReadOnlyProgramFolderUsesTheConfigurationFolder) {
    const std::string readOnly = folder("read-only", fs::perms(0555));
    const std::string writable = folder("writable", fs::perms(0777));
    const std::string configHome = folder("config", fs::perms(0777));
    const std::string expected = configHome + "/originality-checker";
    EXPECT_TRUE(testing::runWithoutRoot([&] {
        return settingsFolder({readOnly, configHome, "/nonexistent"}) == expected &&
               fs::is_directory(expected) &&
               settingsFolder({writable, configHome, "/nonexistent"}) == writable;
    }));
}

}  // namespace
}  // namespace oc
