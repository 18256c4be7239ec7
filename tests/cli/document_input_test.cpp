// The command-line checker on documents of every format it reads and on a
// web page given by --url.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/cli/cli_program.h"
#include "tests/support/gbk.h"

namespace oc {
namespace {

using Json = nlohmann::json;

std::string fixture(std::string_view name) {
    return std::string(OC_SOURCE_DIR "/tests/data/documents/").append(name);
}

class CliDocuments : public CliProgram {};

TEST_F(CliDocuments, WordPdfAndHtmlDocumentsAreCheckedAsTheirTextAndOtherFilesRefused) {
    for (const char* name : {"article.docx", "article.pdf", "article-gbk.html"}) {
        RunResult r = run("--json --quiet '" + fixture(name) + "'");
        ASSERT_EQ(r.status, 0) << name << ": " << r.err;
        Json doc = Json::parse(r.out);
        const Json& rows = doc["passes"][0]["rows"];
        ASSERT_FALSE(rows.empty()) << name;
        std::string text;
        for (const Json& row : rows) {
            text += row["text"].get<std::string>();
        }
        EXPECT_NE(text.find("搬到这座城市的第七年"), std::string::npos) << name << ": " << text;
        EXPECT_EQ(text.find("脚本"), std::string::npos) << name;
    }
    server_.clearRequests();
    for (const auto& [name, reason] : std::vector<std::pair<std::string, std::string>>{
             {"picture.txt", "不是文本文件"},
             {"damaged.docx", "文件已损坏"},
             {"make_fixtures.py", "不支持的文件格式"}}) {
        RunResult r = run("--json --quiet '" + fixture(name) + "'");
        EXPECT_EQ(r.status, 2) << name;
        EXPECT_NE(r.err.find(name), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(reason), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty()) << name;
    }
    EXPECT_TRUE(server_.requests().empty());
}

TEST_F(CliDocuments, AWebPageIsCheckedAsItsMainTextWithoutItsOwnSite) {
    testing::LoopbackServer site;
    site.server().Get("/news/1.html", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(testing::G("<html><head><title>新闻</title></head><body>"
                                   "<nav><a href='/'>首页导航</a></nav><article><p>" +
                                   kArticle.substr(0, kArticle.find('\n')) +
                                   "</p></article><footer>版权所有页脚</footer></body></html>"),
                        "text/html; charset=gbk");
    });
    site.start();
    // Every result holds the first segment, on the page's site.
    const std::string ownSite = "http://localhost:" + std::to_string(site.port());
    respond_ = [&](const httplib::Request& req, httplib::Response& res) {
        const std::string run =
            "<p><em>春眠不觉晓处处闻啼鸟夜来风雨声花落知多少春眠不觉晓处处闻啼鸟夜来</em></p>";
        res.set_content(req.has_param("wd")
                            ? "<div class=\"result c-container\" mu=\"" + ownSite +
                                  "/news/1.html\"><h3 class=\"t\"><a href=\"/l\">新闻</a></h3>" +
                                  run + "</div>"
                            : "<li class=\"res-list\"><h3 class=\"res-title\"><a href=\"" +
                                  ownSite + "/news/1.html\">新闻</a></h3>" + run + "</li>",
                        "text/html; charset=utf-8");
    };
    for (const std::string host : {"localhost", "127.0.0.1"}) {
        const std::string url =
            "http://" + host + ":" + std::to_string(site.port()) + "/news/1.html";
        RunResult r = run("--json --quiet --url " + url);
        ASSERT_EQ(r.status, 0) << r.err;
        Json doc = Json::parse(r.out);
        EXPECT_EQ(doc["url"], url);
        EXPECT_EQ(doc["ignoredSite"], host);
        for (const Json& pass : doc["passes"]) {
            ASSERT_FALSE(pass["rows"].empty());
            // Found on the page's own site: not counted; elsewhere, a copy.
            EXPECT_EQ(pass["rows"][0]["status"], host == "localhost" ? "original" : "hit");
            for (const Json& row : pass["rows"]) {
                EXPECT_EQ(row["text"].get<std::string>().find("导航"), std::string::npos);
                EXPECT_EQ(row["text"].get<std::string>().find("页脚"), std::string::npos);
            }
        }
        r = run("--quiet --url " + url + " --report '" + (dir_ / "r.html").string() + "'");
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find("网页所在网站 " + host + " 的结果不计入"), std::string::npos) << r.out;
        std::stringstream report;
        report << std::ifstream(dir_ / "r.html").rdbuf();
        EXPECT_NE(report.str().find("网页所在网站 " + host), std::string::npos);
    }

    // A page that cannot be had stops before any query.
    server_.clearRequests();
    RunResult r = run("--quiet --url http://127.0.0.1:" + std::to_string(site.port()) + "/none");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("HTTP 404"), std::string::npos) << r.err;
    r = run("--quiet --url ftp://example.com/a.txt");
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(server_.requests().empty());
    site.stop();
}

}  // namespace
}  // namespace oc
