#include "check/sentence_pieces.h"

#include <gtest/gtest.h>

#include "check/engine_tables.h"
#include "check/segmentation.h"
#include "services/boundary_text.h"
#include "tests/check/pass_fixture.h"

namespace oc {
namespace {

// The pieces as UTF-8, for readable expectations.
std::vector<std::string> piecesOf(const std::string& article, int segmentChars = 38) {
    std::vector<std::string> out;
    for (const Text& piece : cutSentencePieces(gbkFromUtf8(article), segmentChars).pieces) {
        out.push_back(utf8FromGbk(piece));
    }
    return out;
}

// n characters: a distinct sentence body without punctuation.
std::string chars(int n, const char* ch = "字") {
    std::string out;
    for (int i = 0; i < n; ++i) {
        out += ch;
    }
    return out;
}

TEST(SentencePieces, PacksWholeSentencesOfAParagraphIntoPieces) {
    // Several short sentences: packed from the paragraph's start while they fit.
    const std::string a = chars(15, "甲") + "。";  // 16 characters each
    const std::string b = chars(15, "乙") + "！";
    const std::string c = chars(15, "丙") + "？";
    EXPECT_EQ(piecesOf(a + b + c), (std::vector<std::string>{a + b, c}));
    // Closing quotes and brackets after the mark stay with their sentence.
    const std::string quoted = "他说：“" + chars(12, "丁") + "。”";
    EXPECT_EQ(piecesOf(quoted + chars(18, "戊") + "。", 20),
              (std::vector<std::string>{quoted, chars(18, "戊") + "。"}));
    // …… ends a sentence; ASCII marks too.
    EXPECT_EQ(piecesOf(chars(15) + "……" + chars(15, "乙") + "!", 20),
              (std::vector<std::string>{chars(15) + "……", chars(15, "乙") + "!"}));
}

TEST(SentencePieces, CutsALongSentenceIntoWindowsTheLastEndingAtItsEnd) {
    const std::string sentence = chars(30, "甲") + chars(30, "乙") + "。";  // 61 characters
    std::vector<std::string> pieces = piecesOf(sentence, 38);
    ASSERT_EQ(pieces.size(), 2U);
    EXPECT_EQ(pieces[0], chars(30, "甲") + chars(8, "乙"));
    // The last window is 38 characters too, overlapping the one before.
    EXPECT_EQ(pieces[1], chars(7, "甲") + chars(30, "乙") + "。");
    // Each character counted once: 61.
    EXPECT_EQ(cutSentencePieces(gbkFromUtf8(sentence), 38).chars, 61);
}

TEST(SentencePieces, ShortPiecesAndShortParagraphsJoinANeighbour) {
    // A title (a short paragraph) joins the next paragraph with one space.
    const std::string title = "慢一点";
    const std::string body = chars(20, "甲") + "。";
    EXPECT_EQ(piecesOf(title + "\r\n" + body), (std::vector<std::string>{title + " " + body}));
    // The last paragraph, short, joins the one before.
    EXPECT_EQ(piecesOf(body + "\n" + title), (std::vector<std::string>{body + " " + title}));
    // A title that fits neither stays alone.
    const std::string full = chars(37, "乙") + "。";
    EXPECT_EQ(piecesOf(title + "\n" + full), (std::vector<std::string>{title, full}));
    // The 12-character floor: a paragraph of 11 joins the next, one of 12 does not.
    const std::string eleven = chars(11, "丙");
    const std::string twelve = chars(12, "丙");
    const std::string next = chars(20, "丁") + "。";
    EXPECT_EQ(piecesOf(eleven + "\n" + next), (std::vector<std::string>{eleven + " " + next}));
    EXPECT_EQ(piecesOf(twelve + "\n" + next), (std::vector<std::string>{twelve, next}));
    // A short sentence after a long one's windows fits neither neighbour: alone.
    const std::string longOne = chars(50, "甲") + "。";
    EXPECT_EQ(piecesOf(longOne + chars(5, "乙") + "。").size(), 3U);
}

TEST(SentencePieces, KeepsDigitsLatinAndOneSpaceForARunOfWhiteSpace) {
    const std::string article = "  苹果公司在2023年9月发布了iPhone   15\tPro，价格不变。  ";
    EXPECT_EQ(piecesOf(article),
              (std::vector<std::string>{"苹果公司在2023年9月发布了iPhone 15 Pro，价格不变。"}));
    // ASCII counts half: 11 Chinese and 26 ASCII characters fit 24 characters.
    const std::string mixed = chars(10) + std::string(26, 'a') + "。";
    EXPECT_EQ(piecesOf(mixed, 24), (std::vector<std::string>{mixed}));
}

// The queries of a piece: Baidu's in GBK with full-width forms (letters,
// digits, the comma) made half-width, 360's as written; a character GBK lacks ("?") in neither.
TEST(SentencePieces, QueriesKeepDigitsAndLatinAndLeaveOutWhatGbkLacks) {
    const std::vector<std::string> pieces =
        piecesOf("苹果公司在２０２３年发布了ｉＰｈｏｎｅ   15?Pro，价格不变。");
    ASSERT_EQ(pieces.size(), 1U);
    const Text piece = gbkFromUtf8(pieces[0]);
    const Text baidu = engineTable(Engine::Baidu).queryUrl("http://b", piece, 1);
    const std::size_t wd = baidu.find("wd=") + 3;
    EXPECT_EQ(utf8FromGbk(testing::percentDecode(baidu.substr(wd, baidu.find('&') - wd))),
              "苹果公司在2023年发布了iPhone 15Pro,价格不变。");
    const Text so360 = engineTable(Engine::So360).queryUrl("http://s", piece, 1);
    const std::size_t q = so360.find("q=") + 2;
    EXPECT_EQ(testing::percentDecode(so360.substr(q, so360.find('&') - q)),
              "苹果公司在２０２３年发布了ｉＰｈｏｎｅ 15Pro，价格不变。");
}

TEST(SentencePieces, AnEditInOneParagraphChangesOnlyItsPieces) {
    const std::string first = chars(20, "甲") + "。" + chars(20, "乙") + "。";
    const std::string second = chars(25, "丙") + "。" + chars(25, "丁") + "。";
    const std::string third = chars(18, "戊") + "。" + chars(30, "己") + "。";
    std::vector<std::string> before = piecesOf(first + "\n" + second + "\n" + third);
    std::vector<std::string> after =
        piecesOf(first + "\n" + chars(3, "庚") + second + "\n" + third);
    ASSERT_EQ(before.size(), after.size());
    EXPECT_EQ(before[0], after[0]);
    EXPECT_EQ(before[1], after[1]);
    EXPECT_NE(before[2], after[2]);
    EXPECT_EQ(std::vector<std::string>(before.begin() + 4, before.end()),
              std::vector<std::string>(after.begin() + 4, after.end()));
}

TEST(SentencePieces, TheCheckModeChoosesTheCutting) {
    CheckSettings settings;
    const Text article = gbkFromUtf8("标题\r\n苹果公司在2023年发布了新手机，价格不变。");
    ArticleCut sentence = cutArticle(article, settings);
    ASSERT_EQ(sentence.segments.size(), 1U);
    EXPECT_EQ(utf8FromGbk(sentence.segments[0]), "标题 苹果公司在2023年发布了新手机，价格不变。");
    settings.mode = CheckMode::Classic;
    ArticleCut classic = cutArticle(article, settings);
    ASSERT_EQ(classic.segments.size(), 1U);
    EXPECT_EQ(utf8FromGbk(classic.segments[0]), "标题\r\n苹果公司在年发布了新手机，价格不变。");
}

}  // namespace
}  // namespace oc
