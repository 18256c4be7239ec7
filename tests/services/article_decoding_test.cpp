// Articles of unknown encoding: a stray byte in UTF-8 must not turn the whole
// article into GBK mojibake, short GBK text must stay GBK, and what is lost is
// reported; inputs above the article limit are refused, devices included.
#include <gtest/gtest.h>

#include "services/article_decoding.h"
#include "services/article_reading.h"
#include "services/boundary_text.h"
#include "tests/support/file_fixtures.h"
#include "tests/support/gbk.h"

namespace oc {
namespace {
using testing::G;
using testing::U;

const std::string kPoem =
    "春眠不觉晓，处处闻啼鸟。\n夜来风雨声，花落知多少。\n床前明月光，疑是地上霜。"
    "举头望明月，低头思故乡。\n";

// The text with CR LF line breaks, as the decoders give it.
std::string crlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    return out;
}

std::string warningsOf(const DecodedArticle& article) {
    std::string out;
    for (const ArticleWarning& w : article.warnings) {
        out += std::string(articleWarningName(w.kind)) + " " + std::to_string(w.count) + " @" +
               std::to_string(w.firstByte) + " L" + std::to_string(w.line) + ";";
    }
    return out;
}

TEST(ArticleDecoding, AUtf8ArticleWithAFewBadBytesStaysUtf8AndSaysSo) {
    // One 0xFF appended.
    DecodedArticle appended = decodeArticle(kPoem + "\xFF");
    EXPECT_EQ(U(appended.text), crlf(kPoem));
    EXPECT_EQ(warningsOf(appended), "invalid-utf8 1 @" + std::to_string(kPoem.size() + 1) + " L4;");

    // Cut in the middle of the last character, as head -c does.
    const std::string cut = kPoem.substr(0, kPoem.size() - 2);  // drops "\n" and half of "。"
    DecodedArticle truncated = decodeArticle(cut);
    EXPECT_EQ(U(truncated.text), crlf(kPoem.substr(0, kPoem.size() - 4)));
    EXPECT_EQ(warningsOf(truncated),
              "invalid-utf8 2 @" + std::to_string(kPoem.size() - 3) + " L3;");

    // A stray byte in the middle, after a byte order mark: positions count the mark.
    DecodedArticle middle =
        decodeArticle("\xEF\xBB\xBF" + kPoem.substr(0, 3) + "\x80" + kPoem.substr(3));
    EXPECT_EQ(U(middle.text), crlf(kPoem));
    EXPECT_EQ(warningsOf(middle), "invalid-utf8 1 @7 L1;");
}

TEST(ArticleDecoding, GbkTextStaysGbkHoweverShort) {
    for (const std::string& utf8 :
         std::vector<std::string>{"原创", "原创度", "你好", "中文", "测试文章", kPoem}) {
        DecodedArticle article = decodeArticle(G(utf8));
        EXPECT_EQ(U(article.text), crlf(utf8));
        EXPECT_EQ(warningsOf(article), "");
    }
    // Clean UTF-8 without warnings; a BOM is dropped.
    EXPECT_EQ(U(decodeArticle("\xEF\xBB\xBF原创").text), "原创");
    EXPECT_EQ(warningsOf(decodeArticle(kPoem)), "");
    // Many bad bytes in what might be UTF-8: read as GB18030.
    std::string mixed = kPoem.substr(0, 30) + G("原创检测工具");
    EXPECT_TRUE(U(decodeArticle(mixed).text).ends_with("原创检测工具"));
}

TEST(ArticleDecoding, CharactersOutsideGbkAreCountedWhereTheyStand) {
    // UTF-8: an emoji and a character of plane 2.
    DecodedArticle utf8 = decodeArticle("原\n😀创𠀀");
    EXPECT_EQ(utf8.text, G("原\r\n?创?"));
    EXPECT_EQ(warningsOf(utf8), "outside-gbk 2 @5 L2;");

    // GB18030: a four-byte character (U+1F600) and a byte that is no character.
    DecodedArticle gb = decodeArticle(G("原创") + "\x94\x39\xFC\x38" + G("度") + "\xFF");
    EXPECT_EQ(gb.text, G("原创?度?"));
    EXPECT_EQ(warningsOf(gb), "outside-gbk 2 @5 L1;");

    // The clipboard's UTF-8: the same report, and a stray 0x00 dropped.
    DecodedArticle pasted = articleFromUtf8(std::string("a\0b😀", 7));
    EXPECT_EQ(pasted.text, "ab?");
    EXPECT_EQ(warningsOf(pasted), "outside-gbk 1 @4 L1;");

    Text message = articleWarningMessage(pasted.warnings.at(0));
    EXPECT_EQ(U(message),
              "文章中有 1 个字符在 GBK 中没有，已换成“?”（第一个在第 1 行，第 4 字节）。");
}

// The text in a wide encoding with its byte-order mark.
std::string wide(const std::u32string& text, int unitBytes, bool bigEndian) {
    std::string bytes;
    auto put = [&](std::uint32_t unit) {
        for (int i = 0; i < unitBytes; ++i) {
            const int shift = 8 * (bigEndian ? unitBytes - 1 - i : i);
            bytes += static_cast<char>((unit >> shift) & 0xFF);
        }
    };
    put(0xFEFF);
    for (char32_t c : text) {
        if (unitBytes == 2 && c > 0xFFFF) {
            put(0xD800 + ((c - 0x10000) >> 10));
            put(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            put(c);
        }
    }
    return bytes;
}

TEST(ArticleDecoding, Utf16AndUtf32ArticlesAreReadByTheirByteOrderMark) {
    const std::u32string poem = U"春眠不觉晓，处处闻啼鸟。\n夜来风雨声，花落知多少。\n";
    for (int unit : {2, 4}) {
        for (bool bigEndian : {false, true}) {
            DecodedArticle article = decodeArticle(wide(poem, unit, bigEndian));
            EXPECT_EQ(U(article.text), crlf("春眠不觉晓，处处闻啼鸟。\n夜来风雨声，花落知多少。\n"))
                << unit << bigEndian;
            EXPECT_EQ(warningsOf(article), "") << unit << bigEndian;
        }
    }
    // A character GBK lacks, and an unpaired surrogate, are said as such, each
    // at its byte in the file.
    DecodedArticle odd = decodeArticle(wide(U"原😀创", 2, false) + std::string("\x00\xD8", 2) +
                                       wide(U"度", 2, false).substr(2));
    EXPECT_EQ(U(odd.text), "原?创度");
    EXPECT_EQ(warningsOf(odd), "invalid-utf8 1 @11 L1;outside-gbk 1 @5 L1;");
    EXPECT_TRUE(hasWideByteOrderMark(wide(U"字", 2, true)));
    EXPECT_FALSE(hasWideByteOrderMark("\xEF\xBB\xBF字"));
}

TEST(ArticleDecoding, InputAboveSixteenMebibytesIsRefused) {
    std::string limit(kMaxArticleBytes, 'a');
    DecodedArticle atLimit = decodeArticle(limit);
    EXPECT_FALSE(atLimit.tooLarge);
    EXPECT_EQ(atLimit.text.size(), kMaxArticleBytes);
    limit += 'a';
    EXPECT_TRUE(decodeArticle(limit).tooLarge);
    EXPECT_TRUE(decodeArticle(limit).text.empty());
    EXPECT_TRUE(articleFromUtf8(limit).tooLarge);

    // A device that never ends is read only to one byte past the limit.
    ArticleBytes zero = readArticleFile("/dev/zero");
    EXPECT_EQ(zero.error, 0);
    EXPECT_EQ(zero.bytes.size(), kMaxArticleBytes + 1);
    EXPECT_TRUE(decodeArticle(zero.bytes).tooLarge);

    testing::TempFolder folder;
    EXPECT_EQ(readArticleFile(folder.native()).error, EISDIR);
    EXPECT_EQ(readArticleFile(folder.nativePath("missing.txt")).error, ENOENT);
    testing::putFileBytes(folder.nativePath("a.txt"), kPoem);
    EXPECT_EQ(readArticleFile(folder.nativePath("a.txt")).bytes, kPoem);
}

}  // namespace
}  // namespace oc
