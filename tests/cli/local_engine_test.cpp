// The command-line checker's local engine: --corpus, --engine local|all, the
// skipped files on standard error and in the JSON, the report.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "services/boundary_text.h"
#include "tests/support/cli_runner.h"
#include "tests/support/file_fixtures.h"
#include "tests/support/loopback_server.h"

namespace oc {
namespace {
using namespace std::chrono_literals;

const std::string kCopied = "春风又绿江南岸明月何时照我还京口瓜洲一水";
const std::string kNew = "这一段完全是新写的没有任何文档里出现过它";

class CliLocal : public ::testing::Test {
  protected:
    void SetUp() override {
        server_.server().Get("/s", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("<p><em>无关</em></p>", "text/html; charset=utf-8");
        });
        server_.start();
        settings_ = folder_.nativePath("配置.ini");
        std::ofstream(settings_, std::ios::binary)
            << gbkFromUtf8("[原创检测配置]\r\n段落字数=20\r\n飘红检测数=12\r\n");
        article_ = folder_.nativePath("article.txt");
        std::ofstream(article_, std::ios::binary) << kCopied + kNew;
        docs_ = folder_.nativePath("docs");
        std::filesystem::create_directories(docs_ + "/sub");
        std::ofstream(docs_ + "/sub/poem.txt", std::ios::binary) << "泊船瓜洲\n" + kCopied;
        std::ofstream(docs_ + "/other.txt", std::ios::binary) << "别的\n" + kCopied;
        std::ofstream(docs_ + "/data.txt", std::ios::binary) << std::string("\0\1\2", 3);
    }

    testing::CliRun check(const std::string& options) {
        std::string args = "--quiet --settings '" + settings_ + "' --baidu-url " +
                           server_.baseUrl() + " --360-url " + server_.baseUrl() + " " + options +
                           " '" + article_ + "'";
        auto run = testing::runCli(OC_BIN_DIR, folder_.native(), args, "", 60s);
        EXPECT_NE(run.status, 124) << "the checker hung";
        return run;
    }

    testing::TempFolder folder_;
    testing::LoopbackServer server_;
    std::string settings_;
    std::string article_;
    std::string docs_;
};

TEST_F(CliLocal, TheLocalPassCarriesRowsSourcesPerFileAndTheSkippedFiles) {
    const std::string report = folder_.nativePath("report.html");
    testing::CliRun run =
        check("--json --engine local --corpus '" + docs_ + "' --report '" + report + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("skipped: " + docs_ + "/data.txt: 不是文本文件\n"), std::string::npos)
        << run.err;
    auto doc = nlohmann::json::parse(run.out);
    ASSERT_EQ(doc["passes"].size(), 1u);
    const auto& pass = doc["passes"][0];
    EXPECT_EQ(pass["engine"], "local");
    EXPECT_EQ(pass["originality"], "50%");
    EXPECT_EQ(pass["coverage"], "已核实 2/2");
    EXPECT_FALSE(pass["verdict"].get<std::string>().empty());
    ASSERT_EQ(pass["rows"].size(), 2u);
    EXPECT_EQ(pass["rows"][0]["status"], "hit");
    EXPECT_EQ(pass["rows"][0]["hits"], "1");
    EXPECT_EQ(pass["rows"][0]["url"], "");
    // Both files hold the passage: the first in path order is named.
    EXPECT_EQ(pass["rows"][0]["source"]["title"], "别的");
    EXPECT_EQ(pass["rows"][0]["source"]["url"], docs_ + "/other.txt");
    EXPECT_EQ(pass["rows"][1]["status"], "original");
    EXPECT_TRUE(pass["rows"][1]["source"].is_null());
    ASSERT_EQ(pass["sources"].size(), 1u);
    EXPECT_EQ(pass["sources"][0]["file"], docs_ + "/other.txt");
    EXPECT_EQ(pass["sources"][0]["segments"], 1);
    ASSERT_EQ(doc["skipped"].size(), 1u);
    EXPECT_EQ(doc["skipped"][0]["path"], docs_ + "/data.txt");
    EXPECT_EQ(doc["skipped"][0]["reason"], "不是文本文件");

    std::string page = testing::fileBytes(report);
    EXPECT_NE(page.find("本地文档"), std::string::npos);
    EXPECT_NE(page.find(docs_ + "/other.txt"), std::string::npos);
}

TEST_F(CliLocal, ACorpusWithoutEngineRunsAllThreeAndTheTableNamesTheLocalOne) {
    testing::CliRun json = check("--json --corpus '" + docs_ + "'");
    ASSERT_EQ(json.status, 0) << json.err;
    auto doc = nlohmann::json::parse(json.out);
    ASSERT_EQ(doc["passes"].size(), 3u);
    EXPECT_EQ(doc["passes"][0]["engine"], "baidu");
    EXPECT_EQ(doc["passes"][1]["engine"], "360");
    EXPECT_EQ(doc["passes"][2]["engine"], "local");

    testing::CliRun table = check("--engine all --corpus '" + docs_ + "'");
    ASSERT_EQ(table.status, 0) << table.err;
    EXPECT_NE(table.out.find("== 本地文档 =="), std::string::npos) << table.out;
    EXPECT_NE(table.out.find("本地文档原创度: 50%"), std::string::npos) << table.out;
}

TEST_F(CliLocal, TheIndexCommandBuildsAndUpdatesTheIndexThatTheCheckThenUses) {
    const std::string environment = "OC_INDEX_DIR='" + folder_.nativePath("index") + "'";
    auto index = [&](const std::string& args) {
        return testing::runCli(OC_BIN_DIR, folder_.native(), "index " + args, "", 60s, environment);
    };
    testing::CliRun first = index("--quiet '" + docs_ + "'");
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_NE(first.out.find("新增 3 个文件，更改 0 个，删除 0 个，未变 0 个，跳过 1 个"),
              std::string::npos)
        << first.out;
    EXPECT_NE(first.out.find("文档 2 篇"), std::string::npos) << first.out;
    EXPECT_NE(first.err.find("skipped: " + docs_ + "/data.txt: 不是文本文件"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(folder_.nativePath("index")));

    std::filesystem::remove(docs_ + "/other.txt");
    std::ofstream(docs_ + "/new.txt", std::ios::binary) << "新来的\n" + kNew;
    testing::CliRun second = index("'" + docs_ + "'");
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_NE(second.out.find("新增 1 个文件，更改 0 个，删除 1 个，未变 2 个"), std::string::npos)
        << second.out;
    EXPECT_NE(second.err.find("索引 3 / 3 个文件"), std::string::npos) << second.err;

    // The check uses that index: the new file's passage is found, the removed one is gone.
    testing::CliRun check =
        testing::runCli(OC_BIN_DIR, folder_.native(),
                        "--json --quiet --engine local --settings '" + settings_ + "' --corpus '" +
                            docs_ + "' '" + article_ + "'",
                        "", 60s, environment);
    ASSERT_EQ(check.status, 0) << check.err;
    auto doc = nlohmann::json::parse(check.out);
    EXPECT_EQ(doc["passes"][0]["rows"][0]["source"]["url"], docs_ + "/sub/poem.txt");
    EXPECT_EQ(doc["passes"][0]["rows"][1]["source"]["url"], docs_ + "/new.txt");

    EXPECT_EQ(index("").status, 2);  // no folder: bad usage, nothing read from the terminal
    testing::CliRun missing = index("'" + docs_ + "/missing'");
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("本地文档目录不存在"), std::string::npos) << missing.err;
}

TEST_F(CliLocal, NoFolderOrAFolderThatCannotBeUsedIsBadUsage) {
    for (const char* engine : {"local", "all"}) {
        testing::CliRun run = check(std::string("--engine ") + engine);
        EXPECT_EQ(run.status, 2) << engine;
        EXPECT_NE(run.err.find("需要本地文档目录"), std::string::npos) << run.err;
    }
    testing::CliRun missing = check("--engine local --corpus '" + docs_ + "/missing'");
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("本地文档目录不存在：" + docs_ + "/missing"), std::string::npos)
        << missing.err;
}

}  // namespace
}  // namespace oc
