#include "app/search_sim/search_request.h"

#include <gtest/gtest.h>

#include "app/search_sim/corpus_names.h"
#include "services/encoding.h"
#include "tests/support/gbk.h"

namespace oc::sim {
namespace {

TEST(PercentDecode, DecodesEscapesAndPlusAndKeepsBrokenEscapes) {
    EXPECT_EQ(percentDecode("%B0%A1a%2B+b"),
              "\xB0\xA1"
              "a+ b");
    EXPECT_EQ(percentDecode("%0a%0D"), "\n\r");
    EXPECT_EQ(percentDecode("100%"), "100%");
    EXPECT_EQ(percentDecode("%G1%4"), "%G1%4");
    EXPECT_EQ(percentDecode("%00x"), std::string("\0x", 2));
}

TEST(ParseSearchTarget, BaiduFormCarriesGbkBytes) {
    std::string target = "/s?wd=" + urlEncode(oc::testing::G("原创,度\r\n")) + "&rn=20&lm=0";
    auto request = parseSearchTarget(target);
    ASSERT_TRUE(request);
    EXPECT_EQ(request->form, EngineForm::Baidu);
    EXPECT_EQ(request->query, "原创,度\r\n");
    EXPECT_EQ(request->firstResult, 0);

    // Baidu pages by result offset.
    request = parseSearchTarget("/s?rn=20&pn=20&wd=%D4%AD%D4");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->firstResult, 20);
    EXPECT_EQ(request->query, "原\xEF\xBF\xBD");  // a lone lead byte is not a character
}

TEST(ParseSearchTarget, So360FormCarriesUtf8AndPagesFromOne) {
    auto page1 = parseSearchTarget("/s?q=%E5%8E%9F%E5%88%9B%EF%BC%8Cab-1.&pn=1");
    ASSERT_TRUE(page1);
    EXPECT_EQ(page1->form, EngineForm::So360);
    EXPECT_EQ(page1->query, "原创，ab-1.");
    EXPECT_EQ(page1->firstResult, 0);
    EXPECT_EQ(parseSearchTarget("/s?q=x&pn=2")->firstResult, 10);
    EXPECT_EQ(parseSearchTarget("/s?q=x&pn=3")->firstResult, 20);
    // Absent, zero or garbage page numbers mean the first page; huge ones are capped.
    EXPECT_EQ(parseSearchTarget("/s?q=x")->firstResult, 0);
    EXPECT_EQ(parseSearchTarget("/s?q=x&pn=0")->firstResult, 0);
    EXPECT_EQ(parseSearchTarget("/s?q=x&pn=-4")->firstResult, 0);
    EXPECT_EQ(parseSearchTarget("/s?q=x&pn=2x")->firstResult, 0);
    EXPECT_GT(parseSearchTarget("/s?q=x&pn=99999999999999999999")->firstResult, 0);
    // Ill-formed UTF-8 arrives as U+FFFD, never as raw bytes.
    EXPECT_EQ(parseSearchTarget("/s?q=%FFa")->query,
              "\xEF\xBF\xBD"
              "a");
    // An escaped & or = belongs to the query.
    EXPECT_EQ(parseSearchTarget("/s?q=a%26b%3Dc")->query, "a&b=c");
}

TEST(ParseSearchTarget, AnythingElseIsNoSearch) {
    EXPECT_FALSE(parseSearchTarget("/"));
    EXPECT_FALSE(parseSearchTarget("/s"));
    EXPECT_FALSE(parseSearchTarget("/s?"));
    EXPECT_FALSE(parseSearchTarget("/s?word=x"));
    EXPECT_FALSE(parseSearchTarget("/search?q=x"));
    EXPECT_FALSE(parseSearchTarget("/s/?q=x"));
    // An empty query is still a search (with no results).
    EXPECT_TRUE(parseSearchTarget("/s?wd="));
    EXPECT_TRUE(parseSearchTarget("/s?q"));
}

TEST(CodePoints, DecodesUtf8AndReplacesWhatIsIllFormed) {
    EXPECT_EQ(decodeUtf8("a原\xF0\x9F\x98\x80"), (CodePoints{U'a', 0x539F, 0x1F600}));
    // Overlong, surrogate, truncated and stray continuation bytes.
    EXPECT_EQ(decodeUtf8("\xC0\xAF"), (CodePoints{kReplacementChar, kReplacementChar}));
    EXPECT_EQ(decodeUtf8("\xED\xA0\x80"), CodePoints(3, kReplacementChar));
    EXPECT_EQ(decodeUtf8("\xE5\x8E"), CodePoints(2, kReplacementChar));
    EXPECT_EQ(decodeUtf8("\x80"
                         "b"),
              (CodePoints{kReplacementChar, U'b'}));
    std::string mixed = "原创，ＡＢ\xE3\x80\x80!";
    EXPECT_EQ(encodeUtf8(decodeUtf8(mixed)), mixed);
}

TEST(CodePoints, MatchKeysFoldWidthAndBlankOutSeparators) {
    EXPECT_EQ(matchKeys(U"，Ａ１！"), U",A1!");
    EXPECT_EQ(matchKey(0x3000), 0u);  // the ideographic space folds to a space
    for (char32_t c :
         {U' ', U'\n', U'\r', U'\t', U'<', U'>', U'&', U'"', U'\'', char32_t{0xFF1C}}) {
        EXPECT_EQ(matchKey(c), 0u) << static_cast<unsigned>(c);
    }
    EXPECT_EQ(matchKey(U'。'), U'。');
    EXPECT_TRUE(isPunctuationKey(matchKey(U'，')));
    EXPECT_TRUE(isPunctuationKey(U'。'));
    EXPECT_TRUE(isPunctuationKey(U'“'));
    EXPECT_FALSE(isPunctuationKey(U'原'));
    EXPECT_FALSE(isPunctuationKey(U'7'));
}

}  // namespace
}  // namespace oc::sim
