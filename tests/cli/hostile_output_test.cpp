// What reaches the terminal from the command-line checker when pages, files
// and articles are built to hurt it: no control character acts, the table
// stays small whatever a page's title, an over-long article is refused.
#include <nlohmann/json.hpp>

#include <sstream>

#include "app/cli/terminal_platform.h"
#include "check/highlight.h"
#include "check/pass_texts.h"
#include "check/result_blocks.h"
#include "services/boundary_text.h"
#include "tests/cli/cli_program.h"

namespace oc {
namespace {

// A control character that would act on a terminal: C0 but the line feed,
// DEL, and C1 in UTF-8 (U+0080..U+009F) or as a bare byte; or a bidi control.
bool holdsActiveControl(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if ((c < 0x20 && c != '\n') || c == 0x7F) {
            return true;
        }
        if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
            static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            return true;
        }
        if (c >= 0x80 && c <= 0x9F && (i == 0 || static_cast<unsigned char>(text[i - 1]) < 0x80)) {
            return true;  // a bare 8-bit control, never part of a UTF-8 sequence here
        }
    }
    for (const char* bidi : {"\u202A", "\u202B", "\u202C", "\u202D", "\u202E", "\u2066", "\u2067",
                             "\u2068", "\u2069", "\u200E", "\u200F"}) {
        if (text.find(bidi) != std::string::npos) {
            return true;
        }
    }
    return false;
}

// A prompt and a notice name what they are about (a folder, a page's
// failure); their control characters are shown, their line breaks kept.
TEST(TerminalPrompts, ControlCharactersOfAPromptOrNoticeAreShownNotActed) {
    std::istringstream in;
    std::ostringstream out;
    cli::TerminalPlatform platform(cli::EmptyPageAnswer::Continue, in, out);
    EXPECT_EQ(platform.messageBox(gbkFromUtf8("目录：/x\x1B]0;t\x07\n继续？"), kMbOkCancel,
                                  gbkFromUtf8("标\x1B[2J题")),
              kAnswerOk);
    platform.messageBox(gbkFromUtf8("无法使用：x\x7F"
                                    "exe.txt\r"),
                        0, gbkFromUtf8("提示"));
    EXPECT_FALSE(holdsActiveControl(out.str())) << out.str();
    EXPECT_NE(out.str().find("[标\\x1B[2J题] 目录：/x\\x1B]0;t\\x07\n继续？\n"), std::string::npos)
        << out.str();
    EXPECT_NE(out.str().find("无法使用：x\\x7Fexe.txt\\x0D"), std::string::npos) << out.str();
}

// A prompt answered in advance by --on-block says nothing of 不再询问; one
// that asks offers it.
TEST(TerminalPrompts, TheNoMoreAskHintIsShownOnlyWhereItCanBeAnswered) {
    const Text prompt = gbkFromUtf8("百度可能暂时屏蔽本机搜索") + pass_texts::noMoreAskHint();
    for (cli::EmptyPageAnswer answer : {cli::EmptyPageAnswer::Continue,
                                        cli::EmptyPageAnswer::Cancel, cli::EmptyPageAnswer::Ask}) {
        std::istringstream in("w\n");
        std::ostringstream out;
        cli::TerminalPlatform platform(answer, in, out);
        platform.messageBox(prompt, kMbOkCancelNoMoreAsk, gbkFromUtf8("百度提示"));
        const bool asks = answer == cli::EmptyPageAnswer::Ask;
        EXPECT_EQ(out.str().find("不再询问") != std::string::npos, asks) << out.str();
        EXPECT_NE(out.str().find("百度可能暂时屏蔽本机搜索"), std::string::npos);
    }
}

// One Baidu result block holding the article's first 30 characters, with the
// title and address given (HTML).
std::string blockPage(const std::string& title, const std::string& address) {
    return "<html><body><div class=\"c-container\" mu=\"" + address + "\"><h3><a href=\"/x\">" +
           title + "</a></h3><p><em>" + kArticle.substr(0, 30 * 3) +
           "</em></p></div></body></html>";
}

class CliHostileOutput : public CliProgram {};

TEST_F(CliHostileOutput, AHostileAddressAndTitleReachTheTerminalAsVisibleEscapes) {
    // The address would write the clipboard, set the window title, erase the
    // line and forge a row; the title reverses what follows it.
    const std::string address =
        "http://evil.example/\x1B]52;c;ZWNobyBoaQ==\x07\x1B]0;pwned\x07\x1B[2K\r"
        "[百度] 1/2 状态: 原创\xC2\x9B"
        "31m";
    page_ = [&](const std::string&) { return blockPage("标题\u202Eeman\x1B[31m红", address); };
    RunResult run = this->run("--engine baidu --interval-ms 0 '" +
                              write("article.txt", kArticle).string() + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_FALSE(holdsActiveControl(run.out)) << run.out;
    EXPECT_FALSE(holdsActiveControl(run.err)) << run.err;
    // The 命中 row's address is named for what it is, its escapes shown.
    EXPECT_NE(run.err.find("[百度] 1/2 来源地址: http://evil.example/\\x1B]52;c;ZWNobyBoaQ==\\x07"
                           "\\x1B]0;pwned\\x07\\x1B[2K [百度] 1/2 状态: 原创\\u009B31m\n"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(run.err.find("原因:"), std::string::npos) << run.err;
    // (The HTML parser drops the title's ESC; its bidi override is shown.)
    EXPECT_NE(run.out.find("标题\\u202Eeman[31m红"), std::string::npos) << run.out;
    // As JSON the override is the document's own escape: shown, and read back the same.
    RunResult json = this->run("--json --engine baidu --interval-ms 0 '" +
                               write("article.txt", kArticle).string() + "'");
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(json.out.find("\u202E"), std::string::npos);
    EXPECT_NE(json.out.find("标题\\u202eeman"), std::string::npos) << json.out;
    EXPECT_NE(nlohmann::json::parse(json.out).dump().find("标题\u202Eeman"), std::string::npos);
}

// File names of the local documents reach the table, the progress lines and
// the skipped lines as visible escapes.
TEST_F(CliHostileOutput, HostileFileNamesReachTheTerminalAsVisibleEscapes) {
    const fs::path docs = dir_ / "docs";
    fs::create_directories(docs);
    const std::string copied = "x\x1B]0;pwned\x07\u202Etxt.exe";
    const std::string binary = "y\x1B[2K\r\x9B.txt";
    std::ofstream(docs / (copied + ".txt"), std::ios::binary) << "标题\x1B[31m行\n" + kArticle;
    std::ofstream(docs / binary, std::ios::binary) << std::string("\0\1\2", 3);
    RunResult run = this->run("--engine local --corpus '" + docs.string() + "' '" +
                              write("article.txt", kArticle).string() + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_FALSE(holdsActiveControl(run.out)) << run.out;
    EXPECT_FALSE(holdsActiveControl(run.err)) << run.err;
    EXPECT_NE(run.err.find("skipped: " + docs.string() + "/y\\x1B[2K\\x0D\\x9B.txt: "),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.out.find("x\\x1B]0;pwned\\x07\\u202Etxt.exe.txt"), std::string::npos) << run.out;
}

TEST_F(CliHostileOutput, ATitleOfMegabytesIsCutToTwoHundredCharactersInATableOfFixedWidth) {
    std::string title;
    for (int i = 0; i < 1 << 19; ++i) {
        title += "题";
    }
    page_ = [&](const std::string&) { return blockPage(title, "http://long.example/"); };
    RunResult run = this->run("--engine baidu --quiet --interval-ms 0 '" +
                              write("article.txt", kArticle).string() + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    std::string cut;
    for (int i = 0; i < 200; ++i) {
        cut += "题";
    }
    EXPECT_NE(run.out.find(" " + cut + "… "), std::string::npos) << run.out.substr(0, 2000);
    EXPECT_EQ(run.out.find(cut + "题"), std::string::npos);
    // Every row is as wide as the widest cell allows, not the title: the row
    // of the original segment is not padded to the title.
    std::size_t longestOther = 0;
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);) {
        if (line.find(cut) == std::string::npos) {
            longestOther = std::max(longestOther, line.size());
        }
    }
    EXPECT_LT(longestOther, 1200u);
    EXPECT_LT(run.out.size(), 8000u);
}

TEST_F(CliHostileOutput, AnArticleOverTwoHundredThousandCharactersIsRefusedAsRead) {
    // Counted after decoding: 200,000 Chinese characters are 600,000 bytes of
    // UTF-8; a line break (LF or CR LF) is one character.
    std::string line;
    for (int i = 0; i < 99; ++i) {
        line += "春";
    }
    std::string article;
    for (int i = 0; i < 1000; ++i) {
        article += line + (i % 2 == 0 ? "\r\n" : "\n");  // 100 characters
    }
    for (int i = 0; i < 100000; ++i) {
        article += "眠";
    }
    respond_ = [](const httplib::Request&, httplib::Response& res) { res.status = 500; };
    RunResult accepted = this->run("--engine baidu --quiet --on-empty-page cancel '" +
                                   write("article.txt", article).string() + "'");
    EXPECT_EQ(accepted.status, 1) << accepted.err;  // checked, then given up at the first prompt
    EXPECT_EQ(server_.requests().size(), 1u);

    server_.clearRequests();
    RunResult refused =
        this->run("--engine baidu --quiet '" + write("article.txt", article + "眠").string() + "'");
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err, "originality-cli: 文章过长：200001 字，最多 200000 字\n");
    EXPECT_EQ(refused.out, "");
    EXPECT_TRUE(server_.requests().empty());
}

// A page of 6,000 result blocks, each holding a run, and one of 25,000
// highlights: each is analysed up to its cap, the row is 命中 from what was
// examined, and the progress line says that the page was analysed in part.
TEST_F(CliHostileOutput, APageOverTheCapsIsAnalysedUpToThemAndTheRowSaysSo) {
    const std::string run = "<em>" + kArticle.substr(0, 30 * 3) + "</em>";
    std::string blocks = "<html><body>";
    for (std::size_t i = 0; i < kMaxResultBlocks + 1000; ++i) {
        blocks += "<div class=\"c-container\" mu=\"http://s" + std::to_string(i) +
                  ".example/\"><h3><a href=\"/x\">标题" + std::to_string(i) + "</a></h3>" + run +
                  "</div>";
    }
    std::string highlights = "<html><body>";
    for (std::size_t i = 0; i < kMaxHighlights + 5000; ++i) {
        highlights += run;
    }
    for (const auto& [page, hits, note] :
         {std::tuple{blocks, kMaxResultBlocks + 1000, "页面过大，仅分析前 5000 个结果"},
          std::tuple{highlights, kMaxHighlights, "页面过大，仅分析前 20000 个飘红"}}) {
        page_ = [page = page](const std::string&) { return page; };
        RunResult result = this->run("--engine baidu --json --interval-ms 0 '" +
                                     write("article.txt", kArticle).string() + "'");
        ASSERT_EQ(result.status, 0) << result.err;
        auto doc = nlohmann::json::parse(result.out);
        const auto& row = doc["passes"][0]["rows"][0];
        EXPECT_EQ(row["status"], "hit");
        EXPECT_EQ(row["hits"], std::to_string(hits));
        EXPECT_EQ(row["reason"], note);
        EXPECT_NE(result.err.find(std::string("[百度] 1/2 说明: ") + note + "\n"),
                  std::string::npos)
            << result.err.substr(0, 3000);
    }
}

}  // namespace
}  // namespace oc
