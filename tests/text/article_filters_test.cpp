#include "text/article_filters.h"

#include <gtest/gtest.h>

#include "tests/support/gbk.h"

namespace oc {
namespace {
using testing::G;

TEST(ArticleFilters, TrimRemovesAsciiWhiteSpaceOnly) {
    EXPECT_EQ(trim("\r\n  " + G("原创") + " \t"), G("原创"));
    EXPECT_EQ(trim(G("　原　")), G("　原　"));
    EXPECT_EQ(trim("   "), "");
    EXPECT_EQ(trim(""), "");
    EXPECT_EQ(trim("x"), "x");
    EXPECT_EQ(trim(" a b\r\nc "), "a b\r\nc");
}

TEST(ArticleFilters, KeepNonAsciiKeepsWholeCharactersAndControls) {
    EXPECT_EQ(
        keepNonAsciiChars(
            Text("a").append(G("原")).append("1 ").append(G("创")).append("\r\n").append(G("。"))),
        G("原创") + "\r\n" + G("。"));
    // 瓣 is 0xB0 0xEA; 丂 (0x81 0x40) and 乣 (0x81 0x61) have ASCII-range trail bytes.
    EXPECT_EQ(keepNonAsciiChars("\x81\x61x\x81\x40"), "\x81\x61\x81\x40");
    EXPECT_EQ(keepNonAsciiChars("Hello, World! 123"), "");
    EXPECT_EQ(keepNonAsciiChars(G("，　")), G("，　"));
    EXPECT_EQ(keepNonAsciiChars(Text("\t").append(G("原")).append("\x7F")),
              Text("\t").append(G("原")));
    EXPECT_EQ(keepNonAsciiChars(G("原") + "\r\n\t" + G("创"), true), G("原创"));
}

}  // namespace
}  // namespace oc
