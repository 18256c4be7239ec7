// Inputs the fuzz targets (tests/fuzz) found, kept as regression tests.
#include <gtest/gtest.h>

#include "services/boundary_text.h"
#include "services/encoding.h"
#include "services/ini_file.h"
#include "tests/support/file_fixtures.h"
#include "tests/support/gbk.h"

namespace oc {
namespace {
using testing::fileBytes;
using testing::G;
using testing::putFileBytes;

// Code page 936 writes the euro sign as the one byte 0x80, which the text
// model would pair with the next byte: "€a" became one two-byte character.
TEST(FuzzFindings, TheEuroSignIsATwoByteCharacter) {
    EXPECT_EQ(gbkFromUtf8("€"), "\xA2\xE3");
    EXPECT_EQ(gbkFromUtf8("€a原"),
              "\xA2\xE3"
              "a" +
                  G("原"));
    EXPECT_EQ(gbkFromUtf8("\xE5\x8E\x9F\xE2\x82\xAC"), G("原") + "\xA2\xE3");
    // A byte 0x80 that trails a lead byte is left alone.
    EXPECT_EQ(gbkFromUtf8("丂"), "\x81\x40");
    EXPECT_EQ(utf8FromGbk(gbkFromUtf8("€1")), "€1");
    EXPECT_EQ(gbkToUtf8(gbkFromUtf8("€")), "€");
}

// A section name ending in a lone lead byte wrote a header whose closing
// bracket reads as that byte's trail: the save said yes, the value never read
// back, and every save added another section.
TEST(FuzzFindings, ASaveThatWouldNotReadBackIsRefused) {
    testing::TempFolder folder;
    const Text path = folder.path("配置.ini");
    const std::string before = G("[原创检测配置]\r\n段落字数=38\r\n");
    putFileBytes(folder.nativePath("配置.ini"), before);
    const Text badSection = G("原创") + "\xC3";
    EXPECT_FALSE(writeIniItem(path, badSection, G("段落字数"), Text("20")));
    EXPECT_EQ(fileBytes(folder.nativePath("配置.ini")), before);
    EXPECT_EQ(readIniItem(path, badSection, G("段落字数"), "none"), "none");

    // A lead byte with its trail, or a bracket as a trail byte, is a good name.
    const Text bracketTrail = G("原") + "\xC3]";
    ASSERT_TRUE(writeIniItem(path, bracketTrail, G("段落字数"), Text("20")));
    EXPECT_EQ(readIniItem(path, bracketTrail, G("段落字数")), "20");
    EXPECT_EQ(readIniItem(path, G("原创检测配置"), G("段落字数")), "38");
}

}  // namespace
}  // namespace oc
