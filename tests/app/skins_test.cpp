#include "app/desktop/skins.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <fstream>
#include <set>
#include <sstream>

#include "services/files.h"

namespace oc {
namespace {

std::string skinFileContent() {
    std::ifstream in(nativePath(skinFilePath()), std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

TEST(Skins, TwentyFiveDistinctSkins) {
    std::set<QString> sheets;
    for (int n = 1; n <= kSkinCount; ++n) {
        const QString sheet = skinStyleSheet(n);
        EXPECT_FALSE(sheet.isEmpty()) << n;
        EXPECT_FALSE(sheet.contains(QLatin1Char('@'))) << n;  // every colour filled in
        sheets.insert(sheet);
    }
    EXPECT_EQ(sheets.size(), 25u);
    EXPECT_TRUE(skinStyleSheet(0).isEmpty());
    EXPECT_TRUE(skinStyleSheet(26).isEmpty());
}

TEST(Skins, ApplyWritesTheSkinFileAndAppliesIt) {
    const Text path = skinFilePath();
    ASSERT_EQ(path, specialFolder(11) + "{df6546sd4fwer}.she");

    EXPECT_TRUE(applySkin(7));
    EXPECT_EQ(skinFileContent(), skinStyleSheet(7).toStdString());
    EXPECT_EQ(qApp->styleSheet(), skinStyleSheet(7));

    EXPECT_TRUE(applySkin(0));  // 0 counts as 25
    EXPECT_EQ(skinFileContent(), skinStyleSheet(25).toStdString());

    for (int other : {26, -1, 100}) {
        EXPECT_FALSE(applySkin(other));
    }
    EXPECT_EQ(skinFileContent(), skinStyleSheet(25).toStdString());
    EXPECT_EQ(qApp->styleSheet(), skinStyleSheet(25));
    qApp->setStyleSheet(QString());
}

}  // namespace
}  // namespace oc
