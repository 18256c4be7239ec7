#include "text/regex.h"

#include <gtest/gtest.h>

#include <clocale>
#include <locale>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tests/support/gbk.h"

namespace oc {
namespace {
using testing::G;
using testing::U;

const Text kEm = "<em>(.*?)</em>";

std::vector<Text> groups(const RegexMatchList& list, const Text& source, int group = 1) {
    std::vector<Text> out;
    for (const RegexMatch& m : list) {
        out.push_back(m.groupText(source, group));
    }
    return out;
}

RegexMatchList allOf(const Text& pattern, const Text& text, bool caseSensitive = true) {
    Regex regex;
    EXPECT_TRUE(regex.compile(pattern, caseSensitive)) << pattern;
    return regex.searchAll(text);
}

// The C and C++ locales a Qt program runs under, for the life of the object.
class UnicodeLocale {
  public:
    UnicodeLocale()
        : savedC_(std::setlocale(LC_ALL, nullptr)),
          savedCpp_(std::locale::global(std::locale("C.UTF-8"))) {
        std::setlocale(LC_ALL, "C.UTF-8");
    }
    ~UnicodeLocale() {
        std::locale::global(savedCpp_);
        std::setlocale(LC_ALL, savedC_.c_str());
    }

  private:
    std::string savedC_;
    std::locale savedCpp_;
};

// The highlighted fragments of a result page, as the two passes find them.
TEST(Regex, HighlightFragmentsComeOutWholeAndOneByOne) {
    // Lazy: one fragment per tag pair, never the stretch from the first to the last tag.
    Text page = "<p><em>" + G("原创") + "</em> x <em>" + G("文章") + "</em></p>";
    EXPECT_EQ(groups(allOf(kEm, page), page), (std::vector<Text>{G("原创"), G("文章")}));

    // A fragment across a line break keeps its CR and LF; Chinese bytes come back intact.
    page = "a<em>" + G("第一行") + "\r\n" + G("第二行") + "</em>b";
    RegexMatchList list = allOf(kEm, page);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(U(list[0].groupText(page, 1)), "第一行\r\n第二行");
    EXPECT_EQ(list[0].matchText(page), "<em>" + G("第一行") + "\r\n" + G("第二行") + "</em>");

    // An opening tag without a closing one yields nothing; earlier results remain.
    page = "<em>" + G("一") + "</em><em>" + G("二") + "</em><em>" + G("没有结束") + " tail";
    EXPECT_EQ(groups(allOf(kEm, page), page), (std::vector<Text>{G("一"), G("二")}));

    // Offsets of later matches count from the start of the whole text.
    page = "xx<em>ab</em>yyy<em>c</em>";
    list = allOf(kEm, page);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].spans()[0].start, 2);
    EXPECT_EQ(list[0].spans()[1].start, 6);
    EXPECT_EQ(list[1].spans()[0].start, 16);
    EXPECT_EQ(list[1].spans()[0].length, 10);
    EXPECT_EQ(list[1].spans()[1].start, 20);
    EXPECT_EQ(list[1].spans()[1].length, 1);
}

TEST(Regex, CaseFoldingIsAsciiOnlyWhateverTheLocale) {
    const Text page = "<EM>" + G("大写") + "</EM> <Em>" + G("混合") + "</eM>";
    EXPECT_TRUE(allOf(kEm, page).empty());  // the 360 pass is case-sensitive
    RegexMatchList list;
    EXPECT_EQ(findAllMatches(kEm, page, list), "2");
    EXPECT_EQ(groups(list, page), (std::vector<Text>{G("大写"), G("混合")}));

    // A window toolkit switches the C locale; bytes from 0x80 still match only themselves.
    UnicodeLocale unicode;
    Regex latin;
    ASSERT_TRUE(latin.compile("\xE0", false));
    EXPECT_TRUE(latin.search("\xC0").empty());
    EXPECT_FALSE(latin.search("\xE0").empty());
    ASSERT_TRUE(latin.compile("\xC0", false));
    EXPECT_TRUE(latin.search("\xE0").empty());
    ASSERT_TRUE(latin.compile("[\xC0-\xDE]", false));
    EXPECT_TRUE(latin.search("\xE0\xFE").empty());
    ASSERT_TRUE(latin.compile("\\s", false));
    EXPECT_TRUE(latin.search("\xA0\x85\xA1\xA1").empty());  // no white space from 0x80 on
    ASSERT_TRUE(latin.compile("aBc", false));
    EXPECT_EQ(latin.search("xAbC").matchText("xAbC"), "AbC");
}

TEST(Regex, PatternSemanticsTheProgramReliesOn) {
    // "." is any byte, CR and LF included; "\S" takes each byte of a Chinese character.
    EXPECT_EQ(groups(allOf("a(.)b", "a\rb a\nb"), "a\rb a\nb"), (std::vector<Text>{"\r", "\n"}));
    EXPECT_EQ(allOf("\\S", G("原创")).size(), 4u);
    EXPECT_EQ(allOf("[\\s\\S]", " \t\r\n\v\f" + G("原")).size(), 8u);
    EXPECT_EQ(allOf("\\s", " \t\r\n\v\f" + G("　")).size(), 6u);

    // "^" and "$" also match at inner line breaks.
    const Text lines = "ab\ncd\r\nef";
    EXPECT_EQ(groups(allOf("^(\\w)\\w", lines), lines), (std::vector<Text>{"a", "c", "e"}));
    EXPECT_EQ(groups(allOf("(\\w)$", lines), lines), (std::vector<Text>{"b", "d", "f"}));

    // The trim pattern: leftmost-first alternation, greedy body backing off to the last \S.
    const Text trimPattern = "\\S[\\s\\S]*\\S|\\S";
    Regex trim;
    ASSERT_TRUE(trim.compile(trimPattern));
    const Text padded = " \r\n " + G("原 创") + " x\t\r\n";
    EXPECT_EQ(trim.search(padded).matchText(padded), G("原 创") + " x");
    EXPECT_EQ(trim.search("  y ").matchText("  y "), "y");
    EXPECT_TRUE(trim.search(" \r\n").empty());
}

TEST(Regex, SearchRangeRules) {
    Regex regex;
    ASSERT_TRUE(regex.compile("b+"));
    const Text text = "abbab";  // n = 5
    EXPECT_TRUE(regex.search(text, 0).empty());
    EXPECT_TRUE(regex.search(text, 6).empty());
    EXPECT_TRUE(regex.search(text, -3).empty());
    EXPECT_TRUE(regex.search(text, 2, 5).empty());  // runs past the end
    EXPECT_TRUE(regex.search("", 1).empty());
    EXPECT_EQ(regex.search(text, 2, 4).matchText(text), "bb");  // up to the last byte
    EXPECT_EQ(regex.search(text, 3, 1).matchText(text), "b");   // the range bounds the match
    EXPECT_TRUE(regex.search(text, 4, 1).empty());
    RegexMatch later = regex.search(text, 4);
    ASSERT_FALSE(later.empty());
    EXPECT_EQ(later.spans()[0].start, 4);  // counted from the start of the whole text
    EXPECT_EQ(later.spans()[0].length, 1);

    // A length of 0 or less leaves an empty range: only an empty match is possible.
    EXPECT_TRUE(regex.search(text, 2, 0).empty());
    EXPECT_TRUE(regex.search(text, 2, -1).empty());
    Regex empty;
    ASSERT_TRUE(empty.compile("x*"));
    RegexMatch none = empty.search(text, 3, 0);
    ASSERT_FALSE(none.empty());
    EXPECT_EQ(none.spans()[0].start, 2);
    EXPECT_EQ(none.spans()[0].length, 0);
    EXPECT_TRUE(empty.search("", 1, 0).empty());  // an empty text never matches

    // The first byte of the range is the beginning of the text; nothing before it is seen.
    Regex anchored;
    ASSERT_TRUE(anchored.compile("^b"));
    EXPECT_EQ(anchored.search(text, 2).spans()[0].start, 1);
    ASSERT_TRUE(anchored.compile("\\bbab"));
    EXPECT_EQ(anchored.search(text, 3).spans()[0].start, 2);
    ASSERT_TRUE(anchored.compile("(?<=a)b"));
    EXPECT_EQ(anchored.search(text, 2).spans()[0].start, 4);
}

TEST(Regex, SearchAllStepsAndStops) {
    // Each later search begins a new text for "^" and "\b".
    EXPECT_EQ(allOf("\\bx", "xx xx").size(), 4u);
    EXPECT_EQ(allOf("^a", "aaa").size(), 3u);

    // Patterns that can match empty: stop after an empty match at the very start,
    // step one byte past any other empty match.
    EXPECT_EQ(allOf("x*", "abc").size(), 1u);
    const Text lines = "ab\ncd";
    RegexMatchList ends = allOf("$", lines);
    ASSERT_EQ(ends.size(), 2u);
    EXPECT_EQ(ends[0].spans()[0].start, 2);
    EXPECT_EQ(ends[1].spans()[0].start, 5);
    RegexMatchList runs = allOf("b*", "abba");
    ASSERT_EQ(runs.size(), 1u);  // the empty match at offset 0
    runs = allOf("a|b*", "abbac");
    std::vector<Text> texts;
    for (const RegexMatch& m : runs) {
        texts.push_back(m.matchText("abbac"));
    }
    EXPECT_EQ(texts, (std::vector<Text>{"a", "bb", "a", "", ""}));
}

TEST(Regex, EmptyObjectsFailedCompilesAndGroups) {
    Regex regex;
    EXPECT_FALSE(regex.hasPattern());
    EXPECT_TRUE(regex.search("abc").empty());
    EXPECT_TRUE(regex.searchAll("abc").empty());
    EXPECT_FALSE(regex.compile("("));
    EXPECT_FALSE(regex.hasPattern());

    ASSERT_TRUE(regex.compile("(a)|(b)"));
    EXPECT_FALSE(regex.compile("[b"));  // the old pattern stays
    EXPECT_FALSE(regex.compile("(?<"));
    const Text text = "xb";
    RegexMatch m = regex.search(text);
    ASSERT_EQ(m.spans().size(), 3u);  // every group, matched or not
    EXPECT_FALSE(m.spans()[1].matched);
    EXPECT_EQ(m.groupText(text, 1), "");
    EXPECT_EQ(m.groupText(text, 2), "b");
    EXPECT_EQ(m.groupText(text, 3), "");
    EXPECT_EQ(m.groupText(text, -1), "");
    EXPECT_EQ(m.groupText("x", 2), "");  // a shorter text than the one searched
    EXPECT_EQ(RegexMatch().groupText(text, 0), "");
    EXPECT_EQ(RegexMatch().matchText(text), "");

    // A result outlives its Regex.
    RegexMatchList kept;
    {
        Regex shortLived;
        ASSERT_TRUE(shortLived.compile("b"));
        kept = shortLived.searchAll("abcb");
    }
    EXPECT_EQ(groups(kept, "abcb", 0), (std::vector<Text>{"b", "b"}));
}

TEST(Regex, EngineGivingUpIsNoMatchOrTheMatchesSoFar) {
    // Nested repeats over a long run exceed the effort limit or the engine's
    // stack; the "ac" after the run is not reached.
    const std::pair<Text, std::size_t> cases[] = {{"(?:a+)+c", 1000},
                                                  {"(?:a|aa)*(?:a|aa)*(?:a|aa)*c", 20000}};
    for (const auto& [pattern, run] : cases) {
        const Text text = "ac ac " + Text(run, 'a') + "! ac";
        Regex regex;
        ASSERT_TRUE(regex.compile(pattern));
        EXPECT_TRUE(regex.search(text, 7).empty()) << pattern;
        EXPECT_EQ(regex.search(text, 3).spans()[0].start, 3);
        EXPECT_EQ(groups(regex.searchAll(text), text, 0), (std::vector<Text>{"ac", "ac"}));
    }
}

TEST(FindAllMatches, AnswersAndWhenTheListIsReplaced) {
    const Text page = "<em>1</em><em>2</em>-<em>3</em><em>" + G("四") + "</em>";
    RegexMatchList list = allOf("x", "x");
    ASSERT_EQ(list.size(), 1u);

    EXPECT_EQ(U(findAllMatches(kEm, "", list)), "错误：原文本为空");
    EXPECT_EQ(list.size(), 1u);
    EXPECT_EQ(U(findAllMatches("(", page, list)),
              "错误：正则创建失败，请检查正则表达式语句是否有误！");
    EXPECT_EQ(list.size(), 1u);

    EXPECT_EQ(findAllMatches(kEm, page, list), "4");
    EXPECT_EQ(groups(list, page), (std::vector<Text>{"1", "2", "3", G("四")}));

    EXPECT_EQ(U(findAllMatches(kEm, "<p>" + G("没有飘红") + "</p>", list)),
              "匹配失败，请检检查正则语句是否有误，数量：0");
    EXPECT_TRUE(list.empty());
}

TEST(Regex, IndependentObjectsOnTwoThreads) {
    Text page;
    for (int i = 0; i < 300; ++i) {
        page +=
            "<div>" + G("结果") + "<em>" + G("飘红片段") + "</em>" + std::to_string(i) + "</div>";
    }
    std::vector<std::size_t> counts(2);
    auto work = [&](int index) {
        for (int round = 0; round < 20; ++round) {
            Regex regex;
            regex.compile(kEm, index == 0);
            counts[static_cast<std::size_t>(index)] += regex.searchAll(page).size();
        }
    };
    std::thread first(work, 0);
    std::thread second(work, 1);
    first.join();
    second.join();
    EXPECT_EQ(counts, (std::vector<std::size_t>{6000, 6000}));
}

}  // namespace
}  // namespace oc
