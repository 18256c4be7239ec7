// The command-line checker against servers that misbehave: they stall, drop
// the connection, send without end, redirect forever, or send pages built to
// hurt the highlight search. Every pass must end, normally or through the
// prompt, keep the rows it wrote, and never crash or hang.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <nlohmann/json.hpp>
#include <thread>

#include "tests/support/cli_runner.h"
#include "tests/support/file_fixtures.h"
#include "tests/support/raw_server.h"

namespace oc {
namespace {
using testing::RawConnection;
using testing::RawServer;
using namespace std::chrono_literals;

// 61 characters: two segments of 38 and 23 at the default segment length.
const std::string kFirst =
    "春眠不觉晓处处闻啼鸟夜来风雨声花落知多少床前明月光疑是地上霜举头望明月低头思";
const std::string kSecond = "故乡白日依山尽黄河入海流欲穷千里目更上一层楼好";
// The first 30 characters of the first segment: a highlight long enough to count.
const std::string kHighlight = kFirst.substr(0, 30 * 3);

std::string repeat(const std::string& piece, std::size_t times) {
    std::string out;
    out.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) {
        out += piece;
    }
    return out;
}

std::string okHead(const std::vector<std::string>& lines = {}) {
    std::vector<std::string> all = {"Content-Type: text/html; charset=utf-8"};
    all.insert(all.end(), lines.begin(), lines.end());
    return RawServer::head("HTTP/1.0 200 OK", all);
}

// A server that answers every request with the same page.
RawServer::Handler page(std::string body) {
    return [body = std::move(body)](RawConnection& c) {
        c.readRequestHead();
        c.send(okHead({"Content-Length: " + std::to_string(body.size())}) + body);
    };
}

class HostileServer : public ::testing::Test {
  protected:
    // Runs both passes with the article of two segments against `server`. A
    // page that sends nothing for stallMs is given up; servers that do not
    // stall get a long time, since a loaded machine (or a sanitizer) may keep
    // a thread waiting for a while.
    nlohmann::json check(RawServer& server, const std::string& onEmptyPage,
                         const std::string& article = kFirst + kSecond, int stallMs = 20000,
                         const std::string& extraArgs = "") {
        std::ofstream(folder_.nativePath("article.txt"), std::ios::binary) << article;
        std::string args = extraArgs + " --json --quiet --stall-timeout-ms " +
                           std::to_string(stallMs) + " --on-empty-page " + onEmptyPage +
                           " --settings '" + folder_.nativePath("none.ini") + "' --baidu-url " +
                           server.baseUrl() + " --360-url " + server.baseUrl() + " '" +
                           folder_.nativePath("article.txt") + "'";
        last_ = testing::runCli(OC_BIN_DIR, folder_.native(), args, "", 90s);
        EXPECT_NE(last_.status, 124) << "the checker hung";
        EXPECT_TRUE(last_.status == 0 || last_.status == 1 || last_.status == 4)
            << last_.status << "\n"
            << last_.err;
        auto doc = nlohmann::json::parse(last_.out, nullptr, false);
        EXPECT_FALSE(doc.is_discarded()) << last_.out << last_.err;
        return doc;
    }

    static std::vector<std::string> hits(const nlohmann::json& pass) {
        std::vector<std::string> out;
        for (const auto& row : pass["rows"]) {
            out.push_back(row["hits"]);
        }
        return out;
    }

    testing::TempFolder folder_;
    testing::CliRun last_;
};

TEST_F(HostileServer, AServerThatStallsIsGivenUpAfterTheStallTime) {
    constexpr int kStallMs = 1500;
    // Nothing at all: no page arrives, so each one prompts and no segment is verified.
    RawServer silent([](RawConnection& c) {
        c.readRequestHead();
        c.stall(30s);
    });
    const std::string article = kFirst + kSecond;
    auto doc = check(silent, "continue", article, kStallMs);
    EXPECT_EQ(last_.status, 4);
    EXPECT_LT(last_.seconds, 30);  // six stalls of 1.5 s, the passes side by side
    for (const auto& pass : doc["passes"]) {
        EXPECT_EQ(hits(pass), (std::vector<std::string>{"", ""}));
        EXPECT_EQ(pass["originality"], "");  // neither 0% nor 100%
        EXPECT_EQ(pass["coverage"], "已核实 0/2");
        EXPECT_EQ(pass["rows"][1]["status"], "unverified");
        EXPECT_EQ(pass["rows"][1]["reason"], "超时");
    }
    EXPECT_NE(last_.err.find("无法连接百度：服务器长时间没有应答"), std::string::npos);
    // Given up at the first prompt: that row and the one never reached are unverified.
    doc = check(silent, "cancel", article, kStallMs);
    EXPECT_EQ(last_.status, 1);
    for (const auto& pass : doc["passes"]) {
        EXPECT_EQ(pass["end"], "cancelled");
        EXPECT_EQ(pass["rows"].size(), 2u);
        EXPECT_EQ(pass["rows"][1]["reason"], "已取消");
        EXPECT_EQ(pass["originality"], "");
        EXPECT_EQ(pass["coverage"], "已取消 0/2");
    }

    // Part of a page and then nothing: what came is analysed.
    RawServer halfway([](RawConnection& c) {
        c.readRequestHead();
        c.send(okHead({"Content-Length: 100000"}) + "<p><em>" + kHighlight + "</em></p>");
        c.stall(30s);
    });
    doc = check(halfway, "cancel", article, kStallMs);
    EXPECT_EQ(last_.status, 4);
    // The run that came counts; the missing part might have held one for the
    // second segment, which is therefore not original but unverified.
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_EQ(hits(doc["passes"][pass]), (std::vector<std::string>{pass == 0 ? "1" : "2", ""}));
        EXPECT_EQ(doc["passes"][pass]["rows"][1]["reason"], "页面不完整");
    }
}

TEST_F(HostileServer, AConnectionResetMidBodyKeepsThePassGoing) {
    // Cut inside a character: the page does not decode: unverified, as incomplete.
    const std::string body = "<p><em>" + kHighlight + "</em>" + kSecond;
    const std::size_t cut = body.size() - 2;
    RawServer insideCharacter([&](RawConnection& c) {
        c.readRequestHead();
        c.send(okHead({"Content-Length: " + std::to_string(body.size())}) + body.substr(0, cut));
        c.resetOnClose();
    });
    auto doc = check(insideCharacter, "continue");
    EXPECT_EQ(last_.status, 4);
    EXPECT_EQ(doc["passes"][0]["end"], "normal");
    EXPECT_EQ(hits(doc["passes"][0]), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(hits(doc["passes"][1]), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(doc["passes"][1]["rows"][0]["reason"], "页面不完整");

    // Cut between characters: the bytes before the reset are analysed.
    RawServer betweenCharacters([&](RawConnection& c) {
        c.readRequestHead();
        c.send(okHead({"Content-Length: " + std::to_string(body.size())}) +
               body.substr(0, body.size() - 3));
        std::this_thread::sleep_for(1s);  // read before the reset discards it
        c.resetOnClose();
    });
    doc = check(betweenCharacters, "cancel");
    EXPECT_EQ(hits(doc["passes"][0]), (std::vector<std::string>{"1", ""}));
    EXPECT_EQ(hits(doc["passes"][1]), (std::vector<std::string>{"2", ""}));
}

TEST_F(HostileServer, ACutPageNeverProvesASegmentOriginal) {
    // 360 result pages without a run for either segment: whole, each segment
    // is original; cut short (a close before the declared length, or a reset),
    // each is unverified, and the value is not 100%.
    const std::string body = "<html><body><p>" + repeat("无关的结果文字。", 50) + "</p>";
    RawServer closedEarly([&](RawConnection& c) {
        c.readRequestHead();
        c.send(okHead({"Content-Length: " + std::to_string(body.size() + 5000)}) + body);
    });
    RawServer reset([&](RawConnection& c) {
        c.readRequestHead();
        c.send(okHead() + body);
        std::this_thread::sleep_for(300ms);  // read before the reset discards it
        c.resetOnClose();
    });
    RawServer whole(page(body));
    for (RawServer* server : {&closedEarly, &reset}) {
        auto doc = check(*server, "continue", kFirst + kSecond, 20000, "--engine 360");
        EXPECT_EQ(last_.status, 4) << last_.err;
        const auto& pass = doc["passes"][0];
        EXPECT_EQ(hits(pass), (std::vector<std::string>{"", ""}));
        EXPECT_EQ(pass["originality"], "");
        EXPECT_EQ(pass["coverage"], "已核实 0/2");
        EXPECT_EQ(pass["rows"][0]["reason"], "页面不完整");
    }
    auto doc = check(whole, "continue", kFirst + kSecond, 20000, "--engine 360");
    EXPECT_EQ(last_.status, 0);
    EXPECT_EQ(doc["passes"][0]["originality"], "100%");
}

TEST_F(HostileServer, AZeroByteInAPageIsDroppedAndTheResultsAfterItCount) {
    const std::string body =
        std::string("<html><body>\0<p>", 17) + "<em>" + kHighlight + "</em></p>";
    RawServer withZero(page(body));
    auto doc = check(withZero, "continue", kFirst + kSecond, 20000, "--engine 360");
    EXPECT_EQ(hits(doc["passes"][0]), (std::vector<std::string>{"2", "0"}));
}

TEST_F(HostileServer, ATrickleIsEndedByThePageDeadline) {
    // One byte every 100 ms: the stall time never runs out, the page deadline does.
    std::atomic<int> sent{0};
    RawServer trickle([&](RawConnection& c) {
        c.readRequestHead();
        c.send(okHead({"Content-Length: 100000"}) + "<p>");
        while (!trickle.stopping() && sent < 2000 && c.send(" ")) {
            ++sent;
            std::this_thread::sleep_for(100ms);
        }
    });
    auto doc = check(trickle, "continue", kFirst + kSecond, 20000, "--page-timeout-s 1");
    EXPECT_EQ(last_.status, 4);
    for (const auto& pass : doc["passes"]) {
        EXPECT_EQ(hits(pass), (std::vector<std::string>{"", ""}));
        EXPECT_EQ(pass["rows"][0]["reason"], "超时");
        EXPECT_EQ(pass["rows"][1]["reason"], "超时");
    }
    // Six pages of about a second, two passes side by side: ten bytes a page.
    trickle.stop();
    EXPECT_LT(sent.load(), 150);
}

TEST_F(HostileServer, AHeaderFloodIsNamedAsSuch) {
    RawServer headers([](RawConnection& c) {
        c.readRequestHead();
        c.send("HTTP/1.0 200 OK\r\n");
        const std::string line = "X-Flood: " + std::string(1000, 'h') + "\r\n";
        for (int i = 0; i < 100000 && c.send(line); ++i) {
        }
    });
    auto doc = check(headers, "continue", kFirst, 20000, "--engine baidu");
    EXPECT_EQ(last_.status, 4);
    EXPECT_EQ(doc["passes"][0]["rows"][0]["reason"], "响应头过大");
    EXPECT_NE(last_.err.find("百度的应答无法使用：响应头过大"), std::string::npos) << last_.err;
    EXPECT_EQ(last_.err.find("无法连接"), std::string::npos) << last_.err;
}

TEST_F(HostileServer, APageFourTimesTheSizeLimitIsCutAndStillAnalysed) {
    // Far beyond the 32 MiB limit: the socket buffers of a loopback connection
    // may take in tens of megabytes the checker never reads.
    constexpr std::size_t kBody = 128u << 20;
    std::atomic<std::size_t> mostSent{0};
    RawServer flood([&](RawConnection& c) {
        c.readRequestHead();
        std::string start = "<p><em>" + kHighlight + "</em>";
        if (!c.send(okHead({"Content-Length: " + std::to_string(kBody)}) + start)) {
            return;
        }
        const std::string filler(1 << 20, 'x');
        std::size_t sent = start.size();
        while (sent < kBody && c.send(std::string_view(filler).substr(0, kBody - sent))) {
            sent += std::min(filler.size(), kBody - sent);
        }
        mostSent = std::max(mostSent.load(), sent);
    });
    auto doc = check(flood, "cancel", kFirst);
    EXPECT_EQ(last_.status, 0);
    EXPECT_EQ(hits(doc["passes"][0]), (std::vector<std::string>{"1"}));
    EXPECT_EQ(hits(doc["passes"][1]), (std::vector<std::string>{"2"}));
    flood.stop();
    EXPECT_LT(mostSent.load(), kBody);  // the checker stopped reading before the end
}

TEST_F(HostileServer, AnEndlessRedirectLoopLeavesTheSegmentsUnverified) {
    std::atomic<int> hops{0};
    RawServer loop([&](RawConnection& c) {
        c.readRequestHead();
        c.send(RawServer::head("HTTP/1.0 302 Found", {"Location: /s?hop=" + std::to_string(++hops),
                                                      "Content-Length: 0"}));
    });
    auto doc = check(loop, "continue");
    EXPECT_EQ(last_.status, 4);
    EXPECT_EQ(doc["passes"][0]["rows"].size(), 2u);
    EXPECT_EQ(hits(doc["passes"][1]), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(doc["passes"][1]["rows"][0]["reason"], "重定向过多");
    EXPECT_LE(hops.load(), 6 * 11);  // each of the six fetches follows a bounded number of hops
}

TEST_F(HostileServer, PagesBuiltToHurtTheHighlightSearchAreAnalysed) {
    // 19,999 short highlights, then the one that counts: all are analysed.
    RawServer many(page("<p>" + repeat("<em>春眠</em>", 19999) + "<em>" + kHighlight + "</em>"));
    auto doc = check(many, "cancel");
    EXPECT_EQ(last_.status, 0);
    EXPECT_EQ(hits(doc["passes"][0]), (std::vector<std::string>{"1", "0"}));
    EXPECT_EQ(hits(doc["passes"][1]), (std::vector<std::string>{"2", "0"}));
    EXPECT_EQ(doc["passes"][0]["rows"][0]["reason"], "");

    // 100,000 short highlights, then the one that counts: the first 20,000
    // are analysed, and the rows say so.
    RawServer tooMany(
        page("<p>" + repeat("<em>春眠</em>", 100000) + "<em>" + kHighlight + "</em>"));
    doc = check(tooMany, "cancel");
    EXPECT_EQ(hits(doc["passes"][0]), (std::vector<std::string>{"0", "0"}));
    for (const auto& row : doc["passes"][0]["rows"]) {
        EXPECT_EQ(row["reason"], "页面过大，仅分析前 20000 个飘红");
    }

    // 100,000 opening tags that nothing closes.
    RawServer unclosed(page("<p>" + repeat("<em>", 100000)));
    doc = check(unclosed, "cancel");
    EXPECT_EQ(last_.status, 4);  // Baidu: a page without highlights proves nothing
    EXPECT_EQ(hits(doc["passes"][0]), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(doc["passes"][1]["originality"], "100%");

    // One highlight of a megabyte.
    RawServer huge(page("<em>" + repeat("春", 350000) + "</em><em>" + kHighlight + "</em>"));
    doc = check(huge, "cancel");
    EXPECT_EQ(hits(doc["passes"][0]), (std::vector<std::string>{"1", "0"}));
}

TEST_F(HostileServer, CharactersOutsideGbkInsideHighlightsNeverMatch) {
    // The same run with an emoji inside does not count; the clean one does.
    const std::string withEmoji = kFirst.substr(0, 15 * 3) + "😀" + kFirst.substr(15 * 3, 15 * 3);
    RawServer emoji(page("<em>" + withEmoji + "</em><em>" + repeat("😀", 40) + "</em><em>" +
                         kHighlight + "</em>"));
    auto doc = check(emoji, "cancel");
    EXPECT_EQ(last_.status, 0);
    EXPECT_EQ(hits(doc["passes"][0]), (std::vector<std::string>{"1", "0"}));
    EXPECT_EQ(hits(doc["passes"][1]), (std::vector<std::string>{"2", "0"}));

    RawServer onlyEmoji(page("<em>" + withEmoji + "</em>"));
    doc = check(onlyEmoji, "cancel");
    EXPECT_EQ(hits(doc["passes"][0]), (std::vector<std::string>{"0", "0"}));
    EXPECT_EQ(doc["passes"][0]["originality"], "100%");
}

}  // namespace
}  // namespace oc
