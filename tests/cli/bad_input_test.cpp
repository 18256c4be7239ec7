// The command-line checker given bad input at its edges: articles that are no
// text, settings files that are no INI file, a cookie store it cannot write.
// Each gets a clear message or the neutral behaviour, never a crash.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <random>

#include <sys/stat.h>

#include "services/boundary_text.h"
#include "tests/support/cli_runner.h"
#include "tests/support/file_fixtures.h"
#include "tests/support/loopback_server.h"

namespace oc {
namespace {
using namespace std::chrono_literals;

const std::string kArticle =
    "春眠不觉晓处处闻啼鸟夜来风雨声花落知多少床前明月光疑是地上霜举头望明月";

class CliBadInput : public ::testing::Test {
  protected:
    static void putGbkSettings(const std::string& path, const std::string& utf8) {
        std::ofstream(path, std::ios::binary) << oc::gbkFromUtf8(utf8);
    }

    void SetUp() override {
        server_.server().Get("/s", [](const httplib::Request&, httplib::Response& res) {
            res.set_header("Set-Cookie", "BAIDUID=abc; Path=/");
            res.set_content("<p><em>无关</em></p>", "text/html; charset=utf-8");
        });
        server_.start();
    }

    std::string file(const std::string& name, const std::string& bytes) {
        std::string path = folder_.nativePath(name);
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    testing::CliRun check(const std::string& article, const std::string& settings,
                          const std::string& environment = "") {
        std::string args = "--json --quiet --settings '" + settings + "' --baidu-url " +
                           server_.baseUrl() + " --360-url " + server_.baseUrl() + " '" + article +
                           "'";
        auto run = testing::runCli(OC_BIN_DIR, folder_.native(), args, "", 60s, environment);
        EXPECT_NE(run.status, 124) << "the checker hung";
        return run;
    }

    testing::TempFolder folder_;
    testing::LoopbackServer server_;
};

TEST_F(CliBadInput, ArticlesThatAreNoTextGetAClearAnswer) {
    const std::string none = folder_.nativePath("none.ini");
    // Only a byte order mark: the empty-article message; only blanks, or in
    // 经典 only ASCII: nothing a query would hold, refused like an empty one.
    for (std::string bytes : {std::string("\xEF\xBB\xBF"), std::string(" \r\n\t ")}) {
        auto run = check(file("article.txt", bytes), none);
        EXPECT_EQ(run.status, 3) << run.err;
        EXPECT_NE(run.err.find(bytes.size() == 3 ? "请拷贝待检测文章" : "文章中没有可检测的文字"),
                  std::string::npos)
            << run.err;
    }
    // Only ASCII: in 整句 a sentence like any other.
    auto run = check(file("article.txt", "Hello, world! 12345"), none);
    EXPECT_EQ(run.status, 0) << run.err;
    auto doc = nlohmann::json::parse(run.out);
    EXPECT_EQ(doc["articleChars"], "9");
    EXPECT_EQ(doc["passes"][0]["rows"].size(), 1u);
    const std::string classic =
        file("classic.ini", gbkFromUtf8("[原创检测配置]\r\n检测方式=经典\r\n"));
    run = check(file("article.txt", "Hello, world! 12345"), classic);
    EXPECT_EQ(run.status, 3) << run.err;
    EXPECT_NE(run.err.find("文章中没有可检测的文字"), std::string::npos) << run.err;

    // Binary garbage: no text file under a text file's name, a format the
    // checker does not read under another; refused before any query.
    std::mt19937 random(7);
    std::string bytes(20000, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(random() & 0xFF);
    }
    server_.clearRequests();
    for (const auto& [name, reason] :
         {std::pair{"article.txt", "不是文本文件"}, std::pair{"article.bin", "不支持的文件格式"}}) {
        run = check(file(name, bytes), none);
        EXPECT_EQ(run.status, 2) << name;
        EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty());
    }
    EXPECT_TRUE(server_.requests().empty());
}

TEST_F(CliBadInput, OneStrayByteDoesNotTurnAUtf8ArticleIntoGbk) {
    const std::string none = folder_.nativePath("none.ini");
    auto clean = check(file("clean.txt", kArticle + "\n"), none);
    ASSERT_EQ(clean.status, 0) << clean.err;
    for (const std::string& spoilt :
         {kArticle + "\n\xFF", kArticle + "\n" + kArticle.substr(3, 2)}) {
        auto run = check(file("spoilt.txt", spoilt), none);
        ASSERT_EQ(run.status, 0) << run.err;
        auto doc = nlohmann::json::parse(run.out);
        auto cleanDoc = nlohmann::json::parse(clean.out);
        // The same rows; when each was verified differs from run to run.
        for (auto* passes : {&doc["passes"], &cleanDoc["passes"]}) {
            for (auto& pass : *passes) {
                for (auto& row : pass["rows"]) {
                    row.erase("verifiedAt");
                }
            }
        }
        EXPECT_EQ(doc["passes"], cleanDoc["passes"]);
        ASSERT_EQ(doc["warnings"].size(), 1u) << run.out;
        EXPECT_EQ(doc["warnings"][0]["kind"], "invalid-utf8");
        EXPECT_EQ(doc["warnings"][0]["line"], 2);
        EXPECT_EQ(doc["warnings"][0]["firstByte"], kArticle.size() + 2);
        EXPECT_NE(run.err.find("warning: "), std::string::npos) << run.err;
    }
    EXPECT_FALSE(nlohmann::json::parse(clean.out).contains("warnings"));
}

TEST_F(CliBadInput, AnEndlessDeviceOrAHugeInputEndsWithTheSizeMessage) {
    auto run = check("/dev/zero", folder_.nativePath("none.ini"));
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("larger than 16 MiB"), std::string::npos) << run.err;
    EXPECT_TRUE(server_.requests().empty());
}

TEST_F(CliBadInput, APipeAtTheCookiePathLetsTheRunEnd) {
    const std::string fifo = folder_.nativePath("cookies.fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    auto run = check(file("article.txt", kArticle), folder_.nativePath("none.ini"),
                     "OC_COOKIE_FILE='" + fifo + "'");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_LT(run.seconds, 20.0);
}

TEST_F(CliBadInput, AnInvalidEngineAddressInTheSettingsStopsBeforeAnyQuery) {
    const std::string settings = file("配置.ini", "");
    putGbkSettings(settings, "[搜索引擎]\r\n百度=http://127.0.0.1:08000\r\n");
    const std::string article = file("article.txt", kArticle);
    auto args = [&](const std::string& flags) {
        return "--json --quiet --settings '" + settings + "' " + flags + " '" + article + "'";
    };
    auto run =
        testing::runCli(OC_BIN_DIR, folder_.native(), args("--360-url " + server_.baseUrl()));
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("配置.ini 中 [搜索引擎] 百度 的地址无效：http://127.0.0.1:08000"),
              std::string::npos)
        << run.err;
    EXPECT_TRUE(server_.requests().empty());
    // A valid flag overrides the file; an engine not asked for does not matter.
    run = testing::runCli(OC_BIN_DIR, folder_.native(),
                          args("--engine 360 --360-url " + server_.baseUrl()));
    EXPECT_EQ(run.status, 0) << run.err;
    run = check(article, settings);
    EXPECT_EQ(run.status, 0) << run.err;
}

TEST_F(CliBadInput, ASettingsFileOfGarbageOrAFolderGivesTheDefaults) {
    const std::string article = file("article.txt", kArticle);
    std::string garbage(1 << 20, '\0');
    for (std::size_t i = 0; i < garbage.size(); ++i) {
        garbage[i] = static_cast<char>((i * 2654435761u) >> 13);
    }
    for (const std::string& settings :
         {file("garbage.ini", garbage), folder_.native(), folder_.nativePath("missing/x.ini")}) {
        auto run = check(article, settings);
        ASSERT_EQ(run.status, 0) << settings << "\n" << run.err;
        auto doc = nlohmann::json::parse(run.out);
        // 38 characters: one segment at the default length.
        EXPECT_EQ(doc["passes"][0]["rows"].size(), 1u) << settings;
        EXPECT_EQ(doc["passes"][1]["originality"], "100%");
        // A file that is there and cannot be used is named with the reason;
        // a missing one is the ordinary case and says nothing.
        const bool missing = settings.ends_with("x.ini");
        EXPECT_EQ(run.err.find("设置文件“" + settings + "”无法使用（") != std::string::npos,
                  !missing)
            << run.err;
    }
    EXPECT_NE(check(article, folder_.native()).err.find("这是一个文件夹"), std::string::npos);
}

TEST_F(CliBadInput, AReportIsWrittenOverALinkAndAFailedOneSaysWhy) {
    const std::string article = file("article.txt", kArticle);
    const std::string none = folder_.nativePath("none.ini");
    const std::string victim = file("victim.txt", "someone else's file\n");
    const std::string report = folder_.nativePath("report.html");
    ASSERT_EQ(::symlink(victim.c_str(), report.c_str()), 0);
    auto run = check(article + "' --report '" + report, none);
    EXPECT_EQ(run.status, 0) << run.err;
    struct stat entry {};
    ASSERT_EQ(::lstat(report.c_str(), &entry), 0);
    EXPECT_TRUE(S_ISREG(entry.st_mode));
    EXPECT_EQ(testing::fileBytes(victim), "someone else's file\n");
    EXPECT_EQ(testing::fileBytes(report).rfind("<!DOCTYPE html>", 0), 0u);

    run = check(article + "' --report '" + folder_.nativePath("missing/r.csv"), none);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("无法写入报告文件：" + folder_.nativePath("missing/r.csv") +
                           "（文件夹不存在）"),
              std::string::npos)
        << run.err;
}

TEST_F(CliBadInput, ACookieStoreThatCannotBeWrittenDoesNotStopTheCheck) {
    file("plain", "a file, not a folder");
    auto run = check(file("article.txt", kArticle), folder_.nativePath("none.ini"),
                     "OC_COOKIE_FILE='" + folder_.nativePath("plain/cookies.txt") + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(nlohmann::json::parse(run.out)["passes"][0]["originality"], "100%");
    EXPECT_GE(server_.requests().size(), 3u);
}

}  // namespace
}  // namespace oc
