#include "text/script_regex.h"

#include <gtest/gtest.h>

#include <random>
#include <thread>

#include "tests/support/gbk.h"
#include "text/article_filters.h"
#include "text/com_init.h"

namespace oc {
namespace {
using testing::G;
using testing::U;

TEST(ScriptRegex, InvalidPatternGivesNoMatches) {
    ScriptRegex regex;
    EXPECT_FALSE(regex.execute("([a-", "abc"));
    EXPECT_EQ(regex.matchCount(), 0);
    EXPECT_EQ(regex.matchValue(1), "");
    EXPECT_EQ(regex.subMatchCount(), 0);
    EXPECT_EQ(regex.replace("x"), "");
    // A valid pattern without a match still gives a collection.
    EXPECT_TRUE(regex.execute("z", "abc"));
    EXPECT_EQ(regex.matchCount(), 0);
    EXPECT_EQ(regex.pattern(), "z");
}

TEST(ScriptRegex, QuoteEscapeStandsForADoubleQuote) {
    ScriptRegex regex;
    Text page = "<a title=\"" + G("原创") + "\">";
    ASSERT_TRUE(regex.execute(G("title=#引号(.*?)#引号"), page, false, true, true, true));
    EXPECT_EQ(regex.pattern(), "title=\"(.*?)\"");
    ASSERT_EQ(regex.matchCount(), 1);
    EXPECT_EQ(regex.subMatchValue(1, 1), G("原创"));
    // Without the escape the marker is plain text.
    ASSERT_TRUE(regex.execute(G("title=#引号"), page));
    EXPECT_EQ(regex.matchCount(), 0);
}

TEST(ScriptRegex, OptionsDefaultToIgnoreCaseMultiLineGlobal) {
    ScriptRegex regex;
    ASSERT_TRUE(regex.execute("^a", "A\na"));
    EXPECT_EQ(regex.matchCount(), 2);
    ASSERT_TRUE(regex.execute("^a", "A\na", true));
    EXPECT_EQ(regex.matchCount(), 1);
    ASSERT_TRUE(regex.execute("^a", "A\na", false, false));
    EXPECT_EQ(regex.matchCount(), 1);
    ASSERT_TRUE(regex.execute("a", "aaa", false, true, false));
    EXPECT_EQ(regex.matchCount(), 1);
}

TEST(ScriptRegex, PositionsAreByteOffsetsInMixedText) {
    ScriptRegex regex;
    Text text = G("原a原原") + "b" + G("原");
    ASSERT_TRUE(regex.execute(G("原"), text));
    ASSERT_EQ(regex.matchCount(), 4);
    int position = 99;
    int expected[] = {0, 3, 5, 8};
    for (int i = 1; i <= 4; ++i) {
        EXPECT_EQ(regex.matchValue(i, position, true), G("原"));
        EXPECT_EQ(position, expected[i - 1]) << i;
    }
    position = 99;
    EXPECT_EQ(regex.matchValue(2, position, false), G("原"));
    EXPECT_EQ(position, 99);
    EXPECT_EQ(regex.matchValue(5, position, true), "");
    EXPECT_EQ(position, -1);
    EXPECT_EQ(regex.matchValue(0), "");

    ASSERT_TRUE(regex.execute("(\\d+)" + G("年") + "(\\d+)",
                              G("公元") + "12" + G("年") + "3x2024" + G("年") + "12"));
    EXPECT_EQ(regex.subMatchCount(), 2);
    EXPECT_EQ(regex.subMatchValue(2, 1, position, true), "2024");
    EXPECT_EQ(position, 10);
    // A group's position is where its text first occurs in the match.
    EXPECT_EQ(regex.subMatchValue(2, 2, position, true), "12");
    EXPECT_EQ(position, 16);
    EXPECT_EQ(regex.subMatchValue(1, 3, position, true), "");
    EXPECT_EQ(position, -1);
}

TEST(ScriptRegex, ReplaceWorksOnTheSearchedText) {
    ScriptRegex regex;
    ASSERT_TRUE(regex.execute(Text("(").append(G("原")).append(")(\\w)"), G("原a原创原b")));
    EXPECT_EQ(regex.replace("$2$1"), Text("a").append(G("原原创")).append("b").append(G("原")));
    ASSERT_TRUE(regex.execute("x", "axbx", false, true, false));
    EXPECT_EQ(regex.replace(""), "abx");
}

TEST(ScriptRegex, CopiesShareTheSearchAndBalanceInitialisation) {
    int depth = comInitDepth();
    {
        ScriptRegex regex;
        EXPECT_EQ(comInitDepth(), depth + 1);
        ASSERT_TRUE(regex.execute("\\d", "a1b2"));
        ScriptRegex copy(regex);
        EXPECT_EQ(comInitDepth(), depth + 2);
        EXPECT_EQ(copy.matchCount(), 2);
        EXPECT_EQ(copy.matchValue(2), "2");
        ASSERT_TRUE(regex.execute("[ab]", "ab"));  // a fresh engine; the copy keeps the old one
        EXPECT_EQ(copy.matchValue(1), "1");
        ScriptRegex assigned;
        assigned = regex;
        EXPECT_EQ(assigned.matchValue(2), "b");
        EXPECT_EQ(comInitDepth(), depth + 3);
    }
    EXPECT_EQ(comInitDepth(), depth);
}

// Both ways of keeping the non-ASCII characters must agree, with and without
// dropping white space.
void expectSameAsCharacterWalk(const Text& text) {
    for (bool drop : {false, true}) {
        EXPECT_EQ(ScriptRegex::keepNonAsciiChars(text, drop), keepNonAsciiChars(text, drop))
            << "input " << U(text) << " drop " << drop;
    }
}

TEST(ScriptRegex, KeepNonAsciiCharsEqualsTheCharacterWalk) {
    EXPECT_EQ(
        ScriptRegex::keepNonAsciiChars(
            Text("a").append(G("原")).append("1 ").append(G("创")).append("\r\n").append(G("。"))),
        G("原创") + "\r\n" + G("。"));
    const Text corpus[] = {
        "",
        "Hello, World! 123 ~\x7F",
        G("原创检测：飘红 a1 b2\r\n\t第二段　全角，标点。"),
        "\x81\x61x\x81\x40",          // trail bytes in the ASCII range
        "\x80\x41\xFF\xFF\x81\x20z",  // pairs that are no GBK character
        "ab\xB0",                     // a lone lead byte at the end
        "\x01\x1F\x0B\x0C" + G("（１２３）") + "\x1C",
        G("€・〇㈠ⅰ"),
    };
    for (const Text& text : corpus) {
        expectSameAsCharacterWalk(text);
    }
}

TEST(ScriptRegex, KeepNonAsciiCharsEqualsTheCharacterWalkOnRandomTexts) {
    std::mt19937 random(20240305);
    std::uniform_int_distribution<int> anyByte(1, 255);
    std::uniform_int_distribution<int> kind(0, 3);
    for (int round = 0; round < 300; ++round) {
        Text text;
        int length = static_cast<int>(random() % 40);
        for (int i = 0; i < length; ++i) {
            switch (kind(random)) {
                case 0:
                    text += static_cast<char>(anyByte(random));  // anything but 0x00
                    break;
                case 1:
                    text += static_cast<char>(1 + random() % 0x7F);
                    break;
                default:  // a likely GBK character
                    text += static_cast<char>(0xB0 + random() % 0x48);
                    text += static_cast<char>(0xA1 + random() % 0x5E);
                    break;
            }
        }
        expectSameAsCharacterWalk(text);
    }
}

TEST(ScriptRegex, EachThreadUsesItsOwnObject) {
    Text article = G("原创检测 test 飘红\r\n") + "abc" + G("。");
    Text expected = keepNonAsciiChars(article);
    auto work = [&] {
        for (int i = 0; i < 50; ++i) {
            EXPECT_EQ(ScriptRegex::keepNonAsciiChars(article), expected);
        }
        EXPECT_EQ(comInitDepth(), 0);
    };
    std::thread first(work);
    std::thread second(work);
    first.join();
    second.join();
}

}  // namespace
}  // namespace oc
