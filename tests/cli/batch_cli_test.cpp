// The command-line checker given several articles: files, a folder and web
// pages checked one after another, JSON Lines, the summary, a report each.
#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <nlohmann/json.hpp>
#include <thread>

#include "tests/cli/cli_program.h"

namespace oc {
namespace {

using Json = nlohmann::json;

std::string fileText(const fs::path& path) {
    std::stringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::stringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

class CliBatch : public CliProgram {};

TEST_F(CliBatch, SeveralArticlesGiveOneJsonLineEachAReportEachAndASummary) {
    const std::string fixtures = OC_SOURCE_DIR "/tests/data/documents/";
    fs::create_directories(dir_ / "folder/sub");
    write("folder/a.txt", kArticle);
    write("folder/sub/a.md", kArticle);
    fs::copy_file(fixtures + "article.docx", dir_ / "folder/sub/word.docx");
    write("folder/notes.rtf", "not read");
    testing::LoopbackServer site;
    site.server().Get("/news/1.html", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<html><body><article><p>" + kArticle + "</p></article></body></html>",
                        "text/html; charset=utf-8");
    });
    site.start();
    const std::string url = site.baseUrl() + "/news/1.html";

    RunResult r = run("--json --quiet --batch-interval-ms 0 '" + (dir_ / "folder").string() +
                      "' --url " + url + " --report-dir '" + (dir_ / "reports").string() +
                      "' --summary '" + (dir_ / "summary.csv").string() + "'");
    EXPECT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = linesOf(r.out);
    ASSERT_EQ(lines.size(), 4u) << r.out;
    const std::vector<std::string> inputs = {(dir_ / "folder/a.txt").string(),
                                             (dir_ / "folder/sub/a.md").string(),
                                             (dir_ / "folder/sub/word.docx").string(), url};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].rfind("{\"input\":", 0), 0u) << lines[i];
        Json doc = Json::parse(lines[i]);
        EXPECT_EQ(doc["input"], inputs[i]);
        EXPECT_EQ(doc["passes"].size(), 2u);
    }
    EXPECT_EQ(Json::parse(lines[3])["ignoredSite"], "127.0.0.1");
    // One report per article, named after it; two "a" files apart.
    for (const char* name : {"a.html", "a-2.html", "word.html"}) {
        EXPECT_NE(fileText(dir_ / "reports" / name).find("<html"), std::string::npos) << name;
    }
    EXPECT_TRUE(fs::exists(dir_ / "reports" / "127.0.0.1_news_1.html"));
    const std::string summary = fileText(dir_ / "summary.csv");
    ASSERT_EQ(
        summary.rfind(
            "\xEF\xBB\xBF文件/网址,字数,百度原创度,百度核实,360原创度,360核实,状态,报告\r\n", 0),
        0u)
        << summary;
    EXPECT_EQ(linesOf(summary).size(), 5u);
    EXPECT_NE(summary.find(inputs[1] + ","), std::string::npos);
    // 字数 as the check counted it (整句 keeps digits and Latin letters).
    const std::string chars = Json::parse(lines[0])["articleChars"];
    EXPECT_NE(summary.find(inputs[0] + "," + chars + ","), std::string::npos) << summary;
    EXPECT_NE(summary.find(",完成,reports/a-2.html\r\n"), std::string::npos) << summary;

    // The HTML summary links every article's report.
    r = run("--quiet --batch-interval-ms 0 '" + inputs[0] + "' '" + inputs[2] + "' --report-dir '" +
            (dir_ / "more").string() + "' --summary '" + (dir_ / "summary.html").string() + "'");
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string page = fileText(dir_ / "summary.html");
    EXPECT_NE(page.find("<a href=\"more/a.html\">"), std::string::npos) << page;
    EXPECT_NE(page.find("<a href=\"more/word.html\">"), std::string::npos) << page;
    EXPECT_NE(r.out.find("== " + inputs[2]), std::string::npos);
    site.stop();
}

TEST_F(CliBatch, TheExitStatusIsTheWorstOfTheArticlesAndEveryArticleIsTried) {
    write("good.txt", kArticle);
    write("empty.txt", "");
    write("picture.txt", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    RunResult r = run("--json --quiet --batch-interval-ms 0 '" + (dir_ / "good.txt").string() +
                      "' '" + (dir_ / "empty.txt").string() + "'");
    EXPECT_EQ(r.status, 3) << r.err;
    r = run("--json --quiet --batch-interval-ms 0 '" + (dir_ / "picture.txt").string() + "' '" +
            (dir_ / "empty.txt").string() + "' '" + (dir_ / "good.txt").string() + "'");
    EXPECT_EQ(r.status, 2) << r.err;
    const std::vector<std::string> lines = linesOf(r.out);
    ASSERT_EQ(lines.size(), 3u) << r.out;
    EXPECT_NE(Json::parse(lines[0])["error"].get<std::string>().find("不是文本文件"),
              std::string::npos);
    EXPECT_EQ(Json::parse(lines[2])["passes"].size(), 2u);
    // A report file is for one article only.
    r = run("--quiet --report '" + (dir_ / "r.html").string() + "' '" +
            (dir_ / "good.txt").string() + "' '" + (dir_ / "empty.txt").string() + "'");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--report-dir"), std::string::npos) << r.err;
}

// A batch killed while its second article is asked goes on, run again with the
// same inputs, with the articles it did not finish: the first is printed from
// the history and costs no query.
TEST_F(CliBatch, AKilledBatchGoesOnWhereItStopped) {
    const std::vector<fs::path> articles = {
        write("a.txt", "白日依山尽黄河入海流欲穷千里目更上一层楼白日依山尽黄河入海流。"),
        write("b.txt", "床前明月光疑是地上霜举头望明月低头思故乡床前明月光疑是地上霜。"),
        write("c.txt", "千山鸟飞绝万径人踪灭孤舟蓑笠翁独钓寒江雪千山鸟飞绝万径人踪灭。")};
    const std::string store = (dir_ / "checks.db").string();
    std::string inputs;
    for (const fs::path& article : articles) {
        inputs += " '" + article.string() + "'";
    }
    const std::string args = "--json --quiet --no-cache --batch-interval-ms 0 --store '" + store +
                             "' --summary '" + (dir_ / "summary.csv").string() + "'" + inputs;
    std::atomic<int> asked{0};
    std::atomic<int> holdAfter{1 << 30};  // queries answered before the server holds on
    std::atomic<bool> release{false};
    {
        std::lock_guard lock(answerMutex_);
        respond_ = [&](const httplib::Request&, httplib::Response& res) {
            if (++asked > holdAfter) {
                for (int i = 0; i < 200 && !release; ++i) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(50));
                }
            }
            res.set_content("<p>普通<em>无关的飘红内容</em></p>", "text/html; charset=utf-8");
        };
    }
    // What the first article costs alone.
    RunResult first = run("--json --quiet --no-store '" + articles[0].string() + "'");
    ASSERT_EQ(first.status, 0) << first.err;
    const int firstQueries = asked.exchange(0);
    ASSERT_GT(firstQueries, 0);

    // Killed once the second article is being asked: the first is finished and kept.
    holdAfter = firstQueries;
    const fs::path pidFile = dir_ / "pid";
    const std::string command =
        std::string(OC_BIN_DIR) + "/originality-cli --settings '" + (dir_ / "none.ini").string() +
        "' --baidu-url " + server_.baseUrl() + " --360-url " + server_.baseUrl() + " " + args +
        " < /dev/null > /dev/null 2>&1 & echo $! > '" + pidFile.string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    for (int i = 0; i < 400 && asked <= firstQueries; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    ASSERT_GT(asked.load(), firstQueries);
    pid_t pid = 0;
    std::ifstream(pidFile) >> pid;
    ASSERT_GT(pid, 0);
    ASSERT_EQ(::kill(pid, SIGKILL), 0);
    release = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));

    // Run again: the two articles left are checked, the first printed again.
    holdAfter = 1 << 30;
    asked = 0;
    RunResult again = run(args);
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_NE(again.err.find("继续批量检测（2 篇未完成）"), std::string::npos) << again.err;
    const int resumedQueries = asked.exchange(0);
    std::vector<std::string> lines = linesOf(again.out);
    ASSERT_EQ(lines.size(), 3u) << again.out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        Json doc = Json::parse(lines[i]);
        EXPECT_EQ(doc["input"], articles[i].string());
        EXPECT_EQ(doc["passes"].size(), 2u) << lines[i];
    }
    // The first article as its run printed it, from the history.
    Json before = Json::parse(first.out);
    Json reprinted = Json::parse(lines[0]);
    EXPECT_EQ(reprinted["passes"][0]["rows"].size(), before["passes"][0]["rows"].size());
    EXPECT_EQ(reprinted["passes"][0]["originality"], before["passes"][0]["originality"]);
    EXPECT_EQ(linesOf(fileText(dir_ / "summary.csv")).size(), 4u);

    // The batch has ended: the same command line starts anew and asks everything.
    RunResult anew = run(args);
    EXPECT_EQ(anew.status, 0) << anew.err;
    EXPECT_EQ(anew.err.find("继续批量检测"), std::string::npos) << anew.err;
    EXPECT_EQ(resumedQueries, asked.load() - firstQueries);
    // Every article checked is a check in the history: the killed run's first
    // and its interrupted second, the two it went on with, and the three anew.
    RunResult history = run("--store '" + store + "' history --json");
    const Json checks = Json::parse(history.out);
    EXPECT_EQ(checks.size(), 7u) << history.out;
    EXPECT_EQ(std::count_if(checks.begin(), checks.end(),
                            [](const Json& check) { return check["endedAt"].is_null(); }),
              1)
        << history.out;
}

}  // namespace
}  // namespace oc
