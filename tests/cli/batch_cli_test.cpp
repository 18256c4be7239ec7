// The command-line checker given several articles: files, a folder and web
// pages checked one after another, JSON Lines, the summary, a report each.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

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

}  // namespace
}  // namespace oc
