// A skin file path that cannot be written: the skin is still applied, the
// program goes on, and whatever stands at that path is left alone.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>

#include "app/desktop/skins.h"
#include "services/files.h"
#include "tests/support/file_fixtures.h"

namespace oc {
namespace {

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
