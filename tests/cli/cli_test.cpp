// The command-line checker: its article decoding and report, and the built
// program run against loopback servers.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "app/cli/result_report.h"
#include "services/boundary_text.h"
#include "tests/support/gbk.h"
#include "tests/support/loopback_server.h"

namespace oc {
namespace {
using testing::G;
namespace fs = std::filesystem;

TEST(CliReport, MeasuresChineseTextAsTwoColumns) {
    EXPECT_EQ(cli::displayWidth("abc"), 3);
    EXPECT_EQ(cli::displayWidth("原创"), 4);
    EXPECT_EQ(cli::displayWidth("，a"), 3);
}

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

class CliProgram : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("oc-cli-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
        server_.server().Get("/s", [this](const httplib::Request& req, httplib::Response& res) {
            res.set_content(page_(req.target), "text/html; charset=utf-8");
        });
        server_.start();
    }
    void TearDown() override {
        server_.stop();
        fs::remove_all(dir_);
    }

    fs::path write(const std::string& name, const std::string& bytes) {
        fs::path p = dir_ / name;
        std::ofstream(p, std::ios::binary) << bytes;
        return p;
    }

    RunResult run(const std::string& args, const std::string& input = "") {
        fs::path in = write("stdin.txt", input);
        fs::path out = dir_ / "stdout.txt";
        fs::path err = dir_ / "stderr.txt";
        std::string command = std::string(OC_BIN_DIR) + "/originality-cli --settings '" +
                              (dir_ / "none.ini").string() + "' --baidu-url " + server_.baseUrl() +
                              " --360-url " + server_.baseUrl() + " " + args + " < '" +
                              in.string() + "' > '" + out.string() + "' 2> '" + err.string() + "'";
        int raw = std::system(command.c_str());
        RunResult result;
        result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        std::stringstream o, e;
        o << std::ifstream(out).rdbuf();
        e << std::ifstream(err).rdbuf();
        result.out = o.str();
        result.err = e.str();
        return result;
    }

    fs::path dir_;
    testing::LoopbackServer server_;
    std::function<std::string(const std::string&)> page_ = [](const std::string&) {
        return std::string(
            "<p>普通<em>春眠不觉晓处处闻啼鸟夜来风雨声花落知多少春眠不觉晓处处闻啼鸟夜来</em></p>");
    };
};

const std::string kArticle =
    "春眠不觉晓处处闻啼鸟夜来风雨声花落知多少春眠不觉晓处处闻啼鸟夜来风雨声。\n"
    "这是一段原创的文字内容。";

TEST_F(CliProgram, PrintsOneJsonDocumentWithBothPasses) {
    fs::path article = write("article.txt", kArticle);
    RunResult r = run("--json --quiet '" + article.string() + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    auto doc = nlohmann::json::parse(r.out);
    EXPECT_EQ(doc["articleChars"], "48");  // 36 + 12 characters, the line feed half of one
    ASSERT_EQ(doc["passes"].size(), 2u);
    EXPECT_EQ(doc["passes"][0]["engine"], "baidu");
    EXPECT_EQ(doc["passes"][1]["engine"], "360");
    for (const auto& pass : doc["passes"]) {
        EXPECT_EQ(pass["end"], "normal");
        ASSERT_EQ(pass["rows"].size(), 2u);
        EXPECT_EQ(pass["rows"][0]["number"], "1");
        // The 360 pass reads two pages, and the server answers both alike.
        EXPECT_EQ(pass["rows"][0]["hits"], pass["engine"] == "360" ? "2" : "1");
        EXPECT_EQ(pass["rows"][1]["hits"], "0");
        EXPECT_EQ(pass["originality"], "50%");
    }
    EXPECT_EQ(doc["passes"][1]["verdict"], "别灰心额，还需努力");
    EXPECT_EQ(doc["passes"][0].count("verdict"), 0u);
    EXPECT_EQ(server_.requests().size(), 2u + 4u);
}

TEST_F(CliProgram, PrintsTablesAndProgressWithoutJson) {
    fs::path article = write("article.txt", G(kArticle));  // a GBK file reads the same
    RunResult r = run("--engine 360 '" + article.string() + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("360原创度: 50%"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("== 百度 =="), std::string::npos);
    EXPECT_NE(r.err.find("[360] 1/2"), std::string::npos) << r.err;
}

TEST_F(CliProgram, ABlockedSearchEndsThePassAsCancelled) {
    page_ = [](const std::string&) { return std::string(); };
    RunResult r = run("--engine baidu --json --on-empty-page cancel -", kArticle);
    EXPECT_EQ(r.status, 1);
    auto doc = nlohmann::json::parse(r.out);
    EXPECT_EQ(doc["passes"][0]["end"], "cancelled");
    EXPECT_EQ(doc["passes"][0]["originality"], "");
    EXPECT_EQ(doc["passes"][0]["rows"].size(), 1u);
    EXPECT_NE(r.err.find("百度可能暂时屏蔽本机搜索"), std::string::npos);

    r = run("--engine baidu --json --on-empty-page continue -", kArticle);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(nlohmann::json::parse(r.out)["passes"][0]["originality"], "0%");
}

TEST_F(CliProgram, RefusesBadInputWithAClearMessage) {
    RunResult r = run("--json -", "");
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("请拷贝待检测文章"), std::string::npos);

    r = run(std::string("'").append((dir_ / "missing.txt").string()).append("'"));
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("missing.txt"), std::string::npos);

    r = run(std::string("'").append(dir_.string()).append("'"));
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("folder"), std::string::npos);

    r = run("--engine google -");
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(server_.requests().empty());
}

}  // namespace
}  // namespace oc
