#include "services/encoding.h"

#include <gtest/gtest.h>

#include "tests/support/gbk.h"

namespace oc {
namespace {
using testing::G;

ByteSet bytes(std::string_view s) {
    return ByteSet(std::string(s));
}

TEST(ConvertEncoding, ConvertsUtf8PagesToGb18030) {
    bool ok = false;
    EXPECT_EQ(convertEncoding(bytes("原创"), "UTF-8", "GB18030", &ok), bytes("\xD4\xAD\xB4\xB4"));
    EXPECT_TRUE(ok);
    // Names are matched without regard to case; ASCII passes unchanged.
    EXPECT_EQ(convertEncoding(bytes("<em>a</em>"), "utf-8", "gb18030"), bytes("<em>a</em>"));
    // A character outside GBK comes out as a four-byte GB18030 sequence.
    EXPECT_EQ(convertEncoding(bytes("😀"), "UTF-8", "GB18030"), bytes("\x94\x39\xFC\x36"));
    // 0x00 bytes inside a page are kept.
    EXPECT_EQ(convertEncoding(bytes(std::string_view("a\0b", 3)), "UTF-8", "GB18030"),
              bytes(std::string_view("a\0b", 3)));
}

TEST(ConvertEncoding, AnyBadInputFailsTheWholeConversion) {
    bool ok = true;
    EXPECT_TRUE(convertEncoding(bytes("\xFF"), "UTF-8", "GB18030", &ok).empty());
    EXPECT_FALSE(ok);

    ok = true;  // a page cut off inside a three-byte character
    EXPECT_TRUE(convertEncoding(bytes("abc\xE5\x8E"), "UTF-8", "GB18030", &ok).empty());
    EXPECT_FALSE(ok);

    ok = true;  // one bad byte deep inside a long page
    std::string page(100000, 'x');
    page[70000] = '\xC0';
    EXPECT_TRUE(convertEncoding(bytes(page), "UTF-8", "GB18030", &ok).empty());
    EXPECT_FALSE(ok);

    ok = true;  // a character the target cannot hold is not replaced
    EXPECT_TRUE(convertEncoding(bytes("a原"), "UTF-8", "ASCII", &ok).empty());
    EXPECT_FALSE(ok);
}

TEST(ConvertEncoding, UnknownNamesFailEvenForEmptyInput) {
    bool ok = true;
    EXPECT_TRUE(convertEncoding(bytes("abc"), "UTF-8", "NO-SUCH-CODE", &ok).empty());
    EXPECT_FALSE(ok);
    ok = true;
    EXPECT_TRUE(convertEncoding(ByteSet(), "NO-SUCH-CODE", "UTF-8", &ok).empty());
    EXPECT_FALSE(ok);
}

TEST(ConvertEncoding, EmptyInputIsACompletedConversion) {
    bool ok = false;
    EXPECT_TRUE(convertEncoding(ByteSet(), "UTF-8", "GB18030", &ok).empty());
    EXPECT_TRUE(ok);
    EXPECT_TRUE(convertEncoding(ByteSet(), "UTF-8", "GB18030").empty());  // ok is optional
}

TEST(ConvertEncoding, OutputLargerThanInputCompletesThroughEnlargement) {
    Text gbk;
    std::string utf8;
    for (int i = 0; i < 5000; ++i) {
        gbk += G("原创检测");
        utf8 += "原创检测";
    }
    bool ok = false;
    EXPECT_EQ(convertEncoding(ByteSet(gbk), "GB18030", "UTF-8", &ok), bytes(utf8));
    EXPECT_TRUE(ok);

    // Four times the input needs several enlargements, still within the calls allowed.
    std::string ascii(1000, 'a');
    ByteSet wide = convertEncoding(bytes(ascii), "UTF-8", "UTF-32LE", &ok);
    EXPECT_TRUE(ok);
    ASSERT_EQ(wide.size(), 4000u);
    EXPECT_EQ(wide.view().substr(3996), std::string_view("a\0\0\0", 4));
}

TEST(ConvertEncoding, IgnoreSuffixIsHonoured) {
    bool ok = false;
    EXPECT_EQ(convertEncoding(bytes("a原b\xFF"
                                    "c"),
                              "UTF-8", "ASCII//IGNORE", &ok),
              bytes("abc"));
    EXPECT_TRUE(ok);
    EXPECT_EQ(convertEncoding(bytes("a原b"), "UTF-8", "ascii//ignore", &ok), bytes("ab"));
    EXPECT_TRUE(ok);
}

TEST(GbkToUtf8, ConvertsTheWholeText) {
    EXPECT_EQ(gbkToUtf8(G("原创，检测 abc")), "原创，检测 abc");
    EXPECT_EQ(gbkToUtf8(""), "");
    EXPECT_EQ(gbkToUtf8("\x80"), "€");  // the euro sign of code page 936
}

TEST(GbkToUtf8, CharactersOutsideCp936KeepTheRestOfTheText) {
    // The user-defined area and a GB18030-only two-byte code.
    EXPECT_EQ(gbkToUtf8("a\xAA\xA1"
                        "b\xFE\x50"
                        "c"),
              "a\xEE\x80\x80"
              "b\xE2\xBA\x81"
              "c");
    // A four-byte GB18030 form, as page text converted to GB18030 holds.
    EXPECT_EQ(gbkToUtf8(G("原") + "\x94\x39\xFC\x36" + G("创")), "原😀创");
    // Undecodable bytes become U+FFFD; the bytes after them survive.
    EXPECT_EQ(gbkToUtf8("ab\xB4"), "ab\xEF\xBF\xBD");
    // The euro byte next to a character only GB18030 has; 0x80 as a trail byte is no euro.
    EXPECT_EQ(gbkToUtf8("\x80\xAA\xA1\x80"), "€\xEE\x80\x80€");
    EXPECT_EQ(gbkToUtf8("\xAA\xA1\x81\x80"), "\xEE\x80\x80" + gbkToUtf8("\x81\x80"));
    // Long text: the conversion runs through several output buffers.
    Text longText;
    std::string expected;
    for (int i = 0; i < 3000; ++i) {
        longText += G("原创") + "\xAA\xA1";
        expected += "原创\xEE\x80\x80";
    }
    EXPECT_EQ(gbkToUtf8(longText), expected);
}

TEST(UrlEncode, BaiduFormEscapesEveryGbkByte) {
    EXPECT_EQ(urlEncode("a b"), "%61%20%62");
    EXPECT_EQ(urlEncode(G("原创")), "%D4%AD%B4%B4");
    EXPECT_EQ(urlEncode("\n"), "%0A");
    EXPECT_EQ(urlEncode(""), "");
}

TEST(UrlEncode, Form360KeepsSafeAsciiAndEscapesUtf8) {
    EXPECT_EQ(urlEncode("a b", true, true), "a%20b");
    EXPECT_EQ(urlEncode(G("原"), true, true), "%E5%8E%9F");
    EXPECT_EQ(urlEncode("Az09-._~*/+", true, true), "Az09-.%5F%7E%2A%2F%2B");
    EXPECT_EQ(urlEncode("\n", true, true), "%0A");
}

}  // namespace
}  // namespace oc
