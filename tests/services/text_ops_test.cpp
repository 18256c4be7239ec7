#include "services/text_ops.h"

#include <gtest/gtest.h>

#include "tests/support/gbk.h"

namespace oc {
namespace {
using testing::G;

TEST(TextOps, CutsBytesNotCharacters) {
    EXPECT_EQ(textLength(G("原创")), 4);
    EXPECT_EQ(midText(G("原创度"), 3, 2), G("创"));
    EXPECT_EQ(leftText(G("原创"), 1), "\xD4");
    EXPECT_EQ(rightText("abc", 5), "abc");
    EXPECT_EQ(leftText("abc", 0), "");
    EXPECT_EQ(midText("abc", 0, 2), "");
    EXPECT_EQ(midText("abc", 4, 1), "");
    EXPECT_EQ(midText("abc", 2, 99), "bc");
    EXPECT_LT(charCode(G("原")), 0);
    EXPECT_EQ(charCode("a", 2), 0);
    EXPECT_EQ(charFromCode(0x41), "A");
}

TEST(TextOps, FindTextMatchesOnlyOnCharacterBoundaries) {
    const Text text = Text("a").append(G("原")).append("b");
    EXPECT_EQ(findText(text, "b"), 4);
    // The second byte of 原 (0xAD) followed by b must not be found inside the character.
    EXPECT_EQ(findText(text,
                       "\xAD"
                       "b"),
              -1);
    // A trail byte in the ASCII range is not a letter: 乱 is 0xC2 0xD2, 丂 is 0x81 0x40 ("@").
    EXPECT_EQ(findText("\x81\x40", "@"), -1);
    EXPECT_EQ(findText("abc", ""), 1);
    EXPECT_EQ(findText("", ""), -1);
    EXPECT_EQ(findText("abcabc", "abc", 2), 4);
    EXPECT_EQ(findText("abc", "c", 4), -1);
    EXPECT_EQ(findText("xABc", "ab", 1, true), 2);
    EXPECT_EQ(findText("xABc", "ab", 1, false), -1);
    // A lone lead byte at the end is still compared, then ends the scan.
    EXPECT_EQ(findText("a\xD4", "\xD4"), 2);
    EXPECT_EQ(findText("\xD4", "x"), -1);
}

TEST(TextOps, ReplaceTextCountsAndStarts) {
    EXPECT_EQ(replaceText("a\r\nb\r\n", "\r\n"), "ab");
    EXPECT_EQ(replaceText("a\r\nb\r\n", "\r\n", "", 1, 1), "ab\r\n");
    EXPECT_EQ(replaceText("xaxa", "x", "-", 2), "xa-a");
    EXPECT_EQ(replaceText("AbAB", "ab", "_", 1, kAllOccurrences, false), "__");
    EXPECT_EQ(replaceText("abc", "", "z"), "abc");
    EXPECT_EQ(replaceText("abc", "b", "z", 1, 0), "abc");
    // 丂 (0x81 0x40) holds "@" as its trail byte; it is never replaced.
    EXPECT_EQ(replaceText("\x81\x40@", "@", "#"), "\x81\x40#");
}

TEST(TextOps, WidthConversionsFollowTheGbkTables) {
    EXPECT_EQ(toHalfWidth(G("ＡＢｃ１２，　～＊") + G("原")), "ABc12, ~*" + G("原"));
    EXPECT_EQ(toHalfWidth(G("～")), "~");  // A1 AB
    EXPECT_EQ(toHalfWidth(G("※")), G("※"));
    EXPECT_EQ(toHalfWidth(G("。、")), G("。、"));
    EXPECT_EQ(toHalfWidth("\xA1\xEE\xA1\xEF"), "**");
    EXPECT_EQ(toHalfWidth("a\xD4"), "a");  // a lone lead byte is dropped
    EXPECT_EQ(toFullWidth("A b~\t"), G("Ａ　ｂ") + "\xA1\xAB\t");
    EXPECT_EQ(toFullWidth(G("原")), G("原"));
    EXPECT_EQ(toHalfWidth(toFullWidth("Hello, world! 123")), "Hello, world! 123");
}

TEST(TextOps, TrimSpacesRemovesAsciiAndFullWidthBlanksOnly) {
    EXPECT_EQ(trimSpaces(G("　x ") + G("　")), "x");
    EXPECT_EQ(trimSpaces("\tx "), "\tx");
    EXPECT_EQ(trimSpaces(G("　　")), "");
    // 0xA1 as the trail byte of a character before a blank must not be taken for a blank.
    EXPECT_EQ(trimSpaces("\xB0\xA1\xA1\xA1"), "\xB0\xA1");
}

TEST(TextOps, SmallFormatters) {
    EXPECT_EQ(spaceText(3), "   ");
    EXPECT_EQ(spaceText(0), "");
    EXPECT_EQ(hexText(10), "A");
    EXPECT_EQ(hexText(255), "FF");
    EXPECT_EQ(hexText(0), "0");
}

}  // namespace
}  // namespace oc
