// The skin file in the shared temporary folder: written only into a regular
// file of this user, never through what another user planted at its name; the
// skin is applied either way.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "app/desktop/skins.h"
#include "services/files.h"
#include "tests/support/file_fixtures.h"

namespace oc {
namespace {
namespace fs = std::filesystem;

// Points TMPDIR at a fresh folder for one test.
class SkinFolder {
  public:
    SkinFolder() {
        if (const char* old = std::getenv("TMPDIR")) {
            saved_ = old;
        }
        ::setenv("TMPDIR", folder_.native().c_str(), 1);
    }
    ~SkinFolder() {
        if (saved_) {
            ::setenv("TMPDIR", saved_->c_str(), 1);
        } else {
            ::unsetenv("TMPDIR");
        }
        qApp->setStyleSheet(QString());
    }
    std::string skinFile() const { return nativePath(skinFilePath()); }
    std::string path(const char* name) const { return folder_.nativePath(name); }

  private:
    testing::TempFolder folder_;
    std::optional<std::string> saved_;
};

TEST(SkinFile, RewritesOwnFileAndNeverWritesThroughAPlantedName) {
    const std::string sheet = skinStyleSheet(7).toStdString();
    {
        // The user's own file from an earlier start, longer than the new skin.
        SkinFolder tmp;
        testing::putFileBytes(tmp.skinFile(), std::string(sheet.size() + 500, 'x'));
        EXPECT_TRUE(applySkin(7));
        EXPECT_EQ(testing::fileBytes(tmp.skinFile()), sheet);
    }
    {
        // A symbolic link another user planted, to a file of the user's.
        SkinFolder tmp;
        testing::putFileBytes(tmp.path("victim"), "precious");
        fs::create_symlink(tmp.path("victim"), tmp.skinFile());
        EXPECT_TRUE(applySkin(7));
        EXPECT_EQ(qApp->styleSheet(), skinStyleSheet(7));
        EXPECT_TRUE(fs::is_symlink(tmp.skinFile()));
        EXPECT_EQ(testing::fileBytes(tmp.path("victim")), "precious");
    }
    {
        // A dangling link: following it would create the file it names.
        SkinFolder tmp;
        fs::create_symlink(tmp.path("made-through-the-link"), tmp.skinFile());
        EXPECT_TRUE(applySkin(7));
        EXPECT_FALSE(fs::exists(tmp.path("made-through-the-link")));
    }
    {
        // A hard link to a file of the user's.
        SkinFolder tmp;
        testing::putFileBytes(tmp.path("victim"), "precious");
        fs::create_hard_link(tmp.path("victim"), tmp.skinFile());
        EXPECT_TRUE(applySkin(7));
        EXPECT_EQ(testing::fileBytes(tmp.path("victim")), "precious");
    }
    if (::geteuid() == 0) {
        // A file of another user (only root can make one here).
        SkinFolder tmp;
        testing::putFileBytes(tmp.skinFile(), "theirs");
        ASSERT_EQ(::chown(tmp.skinFile().c_str(), 65534, 65534), 0);
        EXPECT_TRUE(applySkin(7));
        EXPECT_EQ(testing::fileBytes(tmp.skinFile()), "theirs");
    }
}

TEST(SkinFile, AnUnwritableSkinPathStillAppliesTheSkin) {
    testing::TempFolder folder;
    const char* old = std::getenv("TMPDIR");
    const std::string saved = old ? old : "";
    ::setenv("TMPDIR", folder.native().c_str(), 1);
    // A folder where the skin file should be: not even root can write it.
    const std::string blocked = nativePath(skinFilePath());
    std::filesystem::create_directory(blocked);

    EXPECT_TRUE(applySkin(7));
    EXPECT_EQ(qApp->styleSheet(), skinStyleSheet(7));
    EXPECT_TRUE(std::filesystem::is_directory(blocked));
    EXPECT_TRUE(std::filesystem::is_empty(blocked));

    qApp->setStyleSheet(QString());
    if (old) {
        ::setenv("TMPDIR", saved.c_str(), 1);
    } else {
        ::unsetenv("TMPDIR");
    }
}

}  // namespace
}  // namespace oc
