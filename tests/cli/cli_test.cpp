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
#include "tests/cli/cli_program.h"
#include "tests/support/gbk.h"

namespace oc {
namespace {
using testing::G;

TEST(CliReport, MeasuresChineseTextAsTwoColumns) {
    EXPECT_EQ(cli::displayWidth("abc"), 3);
    EXPECT_EQ(cli::displayWidth("原创"), 4);
    EXPECT_EQ(cli::displayWidth("，a"), 3);
}

TEST_F(CliProgram, PrintsOneJsonDocumentWithBothPasses) {
    fs::path article = write("article.txt", kArticle);
    RunResult r = run("--json --quiet '" + article.string() + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    auto doc = nlohmann::json::parse(r.out);
    EXPECT_EQ(doc["articleChars"], "48");  // 36 + 12 characters of the two pieces
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
    // 整句 gives every verified row its coverage; 经典 none.
    EXPECT_TRUE(doc["passes"][0]["rows"][0]["highlightCoverage"].is_number());
    EXPECT_TRUE(doc["passes"][0]["rows"][1]["highlightCoverage"].is_number());
    r = run("--json --quiet --mode classic --engine baidu '" + article.string() + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    doc = nlohmann::json::parse(r.out);
    EXPECT_TRUE(doc["passes"][0]["rows"][0]["highlightCoverage"].is_null());
    EXPECT_EQ(doc["articleChars"], "49");  // the line break (CR LF) counts as one
    // 飘红覆盖率 outside 50-100 and an unknown mode are bad usage.
    EXPECT_EQ(run("--coverage-percent 101 '" + article.string() + "'").status, 2);
    EXPECT_EQ(run("--mode whole '" + article.string() + "'").status, 2);
}

TEST_F(CliProgram, PrintsTablesAndProgressWithoutJson) {
    fs::path article = write("article.txt", G(kArticle));  // a GBK file reads the same
    RunResult r = run("--engine 360 '" + article.string() + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("360原创度: 50%"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("== 百度 =="), std::string::npos);
    // A segment's query as its row begins, then what the pass found.
    for (const char* line : {"[360] 1/2 查询: ", "[360] 1/2 飘红: 2\n", "[360] 1/2 状态: 命中\n",
                             "[360] 2/2 飘红: 0\n", "[360] 2/2 状态: 原创\n"}) {
        EXPECT_NE(r.err.find(line), std::string::npos) << line << "\n" << r.err;
    }
    EXPECT_LT(r.err.find("[360] 1/2 查询: "), r.err.find("[360] 1/2 状态: "));
    EXPECT_EQ(r.err.find("原因"), std::string::npos) << "every segment was verified";
    EXPECT_NE(r.out.find("  搜索\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("http://"), std::string::npos) << r.out;

    // --no-urls: the table without its 搜索 column.
    r = run("--engine 360 --no-urls '" + article.string() + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("360原创度: 50%"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("搜索"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("http://"), std::string::npos) << r.out;
}

TEST_F(CliProgram, ABlockedSearchEndsThePassAsCancelled) {
    page_ = [](const std::string&) { return std::string(); };
    RunResult r = run("--engine baidu --json --on-empty-page cancel -", kArticle);
    EXPECT_EQ(r.status, 1);
    auto doc = nlohmann::json::parse(r.out);
    EXPECT_EQ(doc["passes"][0]["end"], "cancelled");
    EXPECT_EQ(doc["passes"][0]["originality"], "");
    EXPECT_EQ(doc["passes"][0]["coverage"], "已取消 0/2");
    EXPECT_EQ(doc["passes"][0]["rows"].size(), 2u);
    EXPECT_NE(r.err.find("百度可能暂时屏蔽本机搜索"), std::string::npos);

    // Going on past every prompt: exit 4, no value, nothing verified.
    r = run("--engine baidu --json --on-empty-page continue -", kArticle);
    EXPECT_EQ(r.status, 4);
    doc = nlohmann::json::parse(r.out)["passes"][0];
    EXPECT_EQ(doc["originality"], "");
    EXPECT_EQ(doc["verified"], 0);
    EXPECT_EQ(doc["unverified"], 2);
    EXPECT_EQ(doc["coverage"], "已核实 0/2");
    EXPECT_EQ(doc["rows"][0]["status"], "unverified");
    EXPECT_EQ(doc["rows"][0]["reason"], "空白页面");
}

TEST_F(CliProgram, EveryKindOfAnswerGetsItsStatusInTheJson) {
    struct Case {
        const char* name;
        std::function<void(const httplib::Request&, httplib::Response&)> respond;
        const char* status;  // of the first segment, whose query the hit page highlights
        const char* reason;
        const char* engine = nullptr;  // only this engine's verification host; null: both
    };
    auto html = [](std::string body, int status = 200) {
        return [body, status](const httplib::Request&, httplib::Response& res) {
            res.status = status;
            res.set_content(body, "text/html; charset=utf-8");
        };
    };
    auto redirect = [](std::string target) {
        return
            [target](const httplib::Request&, httplib::Response& res) { res.set_redirect(target); };
    };
    const std::string hit =
        "<em>春眠不觉晓处处闻啼鸟夜来风雨声花落知多少春眠不觉晓处处闻啼鸟夜来</em>";
    const std::vector<Case> cases = {
        {"captcha path", redirect("/static/captcha/tuxing.html"), "unverified", "屏蔽/验证码"},
        {"baidu host", redirect("https://passport.baidu.com/login"), "unverified", "屏蔽/验证码",
         "baidu"},
        {"360 host", redirect("http://qcaptcha.so.com/?ret=x"), "unverified", "屏蔽/验证码", "360"},
        {"403", html(hit, 403), "unverified", "屏蔽/验证码"},
        {"429", html("", 429), "unverified", "屏蔽/验证码"},
        {"500", html("", 500), "unverified", "HTTP 状态码 500"},
        {"captcha title", html("<title>百度安全验证 访问异常页面</title>"), "unverified",
         "屏蔽/验证码"},
        {"body marker", html("<p>网络不给力，请稍后重试 访问过于频繁</p>"), "unverified",
         "屏蔽/验证码"},
        {"quoted marker", html("<p>百度安全验证 请输入验证码</p>" + hit), "hit", ""},
        {"empty", html(""), "unverified", "空白页面"},
        {"undecodable", html("<em>\xFF\xFE</em>"), "unverified", "页面编码与声明不符"},
    };
    for (const Case& c : cases) {
        respond_ = c.respond;
        std::string engine = c.engine ? std::string(" --engine ") + c.engine : std::string();
        RunResult r = run("--json --quiet --on-empty-page continue" + engine + " -", kArticle);
        EXPECT_EQ(r.status, std::string(c.status) == "hit" ? 0 : 4) << c.name << r.err;
        auto doc = nlohmann::json::parse(r.out, nullptr, false);
        ASSERT_FALSE(doc.is_discarded()) << c.name << r.out;
        for (const auto& pass : doc["passes"]) {
            EXPECT_EQ(pass["rows"][0]["status"], c.status) << c.name << pass["engine"];
            EXPECT_EQ(pass["rows"][0]["reason"], c.reason) << c.name << pass["engine"];
        }
    }

    // Baidu's page without results echoes the query in em: original, and exit 0.
    respond_ = [](const httplib::Request&, httplib::Response& res) {
        res.set_content(
            "<div>很抱歉，没有找到与“<em>春眠不觉晓处处闻啼鸟夜来风雨声花落知多少春眠不觉晓处处闻啼"
            "鸟夜来</em>”相关的网页。</div>",
            "text/html; charset=utf-8");
    };
    RunResult r = run("--json --quiet --engine baidu -", kArticle);
    EXPECT_EQ(r.status, 0) << r.err;
    auto pass = nlohmann::json::parse(r.out)["passes"][0];
    EXPECT_EQ(pass["rows"][0]["status"], "original");
    EXPECT_EQ(pass["originality"], "100%");
    EXPECT_EQ(pass["verified"], 2);
    EXPECT_EQ(pass["unverified"], 0);
    EXPECT_EQ(pass["coverage"], "已核实 2/2");

    // Nothing listens: the prompt names it.
    url360_ = "http://127.0.0.1:1";
    r = run("--json --quiet --on-empty-page continue --engine 360 -", kArticle);
    EXPECT_EQ(r.status, 4);
    EXPECT_NE(r.err.find("无法连接360搜索：连接被拒绝"), std::string::npos) << r.err;
    EXPECT_EQ(nlohmann::json::parse(r.out)["passes"][0]["rows"][0]["reason"], "无法连接");
}

TEST_F(CliProgram, IntervalAndUserAgentOptions) {
    respond_ = [](const httplib::Request& req, httplib::Response& res) {
        res.set_content("<em>" + req.get_header_value("User-Agent") + "</em>", "text/html");
    };
    auto start = std::chrono::steady_clock::now();
    RunResult r =
        run("--json --quiet --engine 360 --interval-ms 100 --user-agent 'Editor/3.0' -", kArticle);
    EXPECT_EQ(r.status, 0) << r.err;
    // Four requests of one engine, three waits between them.
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
    for (const auto& request : server_.requests()) {
        EXPECT_EQ(request.headers.find("User-Agent")->second, "Editor/3.0");
    }
    EXPECT_EQ(run("--interval-ms -1 -", kArticle).status, 2);
    EXPECT_EQ(run("--user-agent '' -", kArticle).status, 2);
}

TEST_F(CliProgram, RefusesBadInputWithAClearMessage) {
    RunResult r = run("--json -", "");
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("请拷贝待检测文章"), std::string::npos);

    r = run(std::string("'").append((dir_ / "missing.txt").string()).append("'"));
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("missing.txt"), std::string::npos);

    // A folder is checked as the articles it holds; one without any is bad input.
    fs::create_directories(dir_ / "empty");
    r = run(std::string("'").append((dir_ / "empty").string()).append("'"));
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("没有可检测的文章"), std::string::npos) << r.err;

    r = run("--engine google -");
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(server_.requests().empty());

    // Values written by hand out of range are used brought into range, and said.
    write("none.ini", G("[原创检测配置]\r\n段落字数=5\r\n"));  // the file run() names
    r = run("--engine baidu --quiet -", kArticle);
    EXPECT_NE(r.err.find("分段文本字数（段落字数）5→12"), std::string::npos) << r.err;
}

// On a terminal with no article the user gets the usage, not a silent wait;
// --help lists the exit statuses.
TEST_F(CliProgram, NoArticleOnATerminalGivesTheUsage) {
    const std::string cli = std::string(OC_BIN_DIR) + "/originality-cli";
    // script(1) gives the program a terminal as standard input.
    const std::string command = "script -qec '" + cli + " --settings " +
                                (dir_ / "none.ini").string() + " --no-store' /dev/null > '" +
                                (dir_ / "tty.txt").string() + "'";
    const int raw = std::system(command.c_str());
    std::stringstream shown;
    shown << std::ifstream(dir_ / "tty.txt").rdbuf();
    EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 2) << shown.str();
    EXPECT_NE(shown.str().find("没有给出文章"), std::string::npos) << shown.str();
    EXPECT_NE(shown.str().find("originality-cli --help"), std::string::npos) << shown.str();

    RunResult help = run("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Exit status: 0 every engine finished"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("--no-urls"), std::string::npos);
}

}  // namespace
}  // namespace oc
