// The command-line checker's sources, own-site list and report files, run
// against a loopback server whose result pages have each engine's blocks.
#include <atomic>
#include <nlohmann/json.hpp>

#include "check/segmentation.h"
#include "services/boundary_text.h"
#include "services/encoding.h"
#include "tests/cli/cli_program.h"
#include "tests/support/gbk.h"

namespace oc {
namespace {

// Seven segments of 38 distinct characters each, so that every highlighted
// run of the pages below occurs in exactly one segment.
std::string sevenSegmentArticle() {
    std::string article;
    for (char32_t c = 0x4E00; c < 0x4E00 + 7 * 38; ++c) {
        article += static_cast<char>(0xE0 | (c >> 12));
        article += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        article += static_cast<char>(0x80 | (c & 0x3F));
    }
    return article;
}

struct Block {
    std::string address;  // Baidu's mu, 360's data-mdurl; empty: only the engine's link
    std::string title;    // as HTML
};

// Segments 1 to 5 sit in blocks, 6 in an advertisement outside any block, 7 in none.
const std::vector<Block> kBlocks = {
    {"http://b.cn/1", "&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt; 乙's"},
    {"http://news.a.cn/2", "=HYPERLINK(\"http://evil\")"},
    {"http://c.cn/3", "丙😀"},
    {"http://C.cn:8080/4", "丁"},
    {"", "戊"},
};

class CliSources : public CliProgram {
  protected:
    void SetUp() override {
        CliProgram::SetUp();
        article_ = write("article.txt", sevenSegmentArticle());
        for (const Text& segment : splitSegments(
                 cutSegments(prepareArticle(testing::G(sevenSegmentArticle())), 2 * 38))) {
            segments_.push_back(utf8FromGbk(segment));
        }
        respond_ = [this](const httplib::Request& req, httplib::Response& res) {
            res.set_content(pageFor(req), "text/html; charset=utf-8");
        };
    }

    // Baidu's form for "wd", 360's for "q" (its second page holds no highlight).
    std::string pageFor(const httplib::Request& req) const {
        const bool baidu = req.has_param("wd");
        if (!baidu && req.get_param_value("pn") == "2") {
            return "<html><body><p>没有更多结果</p></body></html>";
        }
        std::string page = "<html><body>";
        for (std::size_t i = 0; i < kBlocks.size(); ++i) {
            const Block& block = kBlocks[i];
            const std::string run = "<p>摘要<em>" + segments_[i] + "</em></p>";
            const std::string link = "/link?url=" + std::to_string(i);
            if (baidu) {
                page += "<div class=\"result c-container\"" +
                        (block.address.empty() ? "" : " mu=\"" + block.address + "\"") +
                        "><h3 class=\"t\"><a href=\"" + link + "\">" + block.title + "</a></h3>" +
                        run + "</div>";
            } else {
                page += "<li class=\"res-list\"><h3 class=\"res-title\"><a href=\"" +
                        server_.baseUrl() + link + "\"" +
                        (block.address.empty() ? "" : " data-mdurl=\"" + block.address + "\"") +
                        ">" + block.title + "</a></h3>" + run + "</li>";
            }
        }
        page += "<div class=\"ad\"><em>" + segments_[5] + "</em></div>";
        return page + "</body></html>";
    }

    RunResult check(const std::string& options) {
        return run(options + " --quiet '" + article_.string() + "'");
    }

    std::string fileText(const std::string& name) {
        std::stringstream text;
        text << std::ifstream(dir_ / name, std::ios::binary).rdbuf();
        return text.str();
    }

    fs::path article_;
    std::vector<std::string> segments_;
};

using Json = nlohmann::json;

Json sourceOf(const std::string& title, const std::string& url) {
    return {{"title", title}, {"url", url}};
}

TEST_F(CliSources, EachCopiedRowNamesItsSourceAndEachPassCountsTheSites) {
    ASSERT_EQ(segments_.size(), 7u);
    RunResult r = check("--json");
    ASSERT_EQ(r.status, 0) << r.err;
    Json doc = Json::parse(r.out);
    ASSERT_EQ(doc["passes"].size(), 2u);
    for (const Json& pass : doc["passes"]) {
        const bool baidu = pass["engine"] == "baidu";
        const Json& rows = pass["rows"];
        ASSERT_EQ(rows.size(), 7u);
        EXPECT_EQ(rows[0]["source"],
                  sourceOf("<script>alert(\"x\")</script> 乙's", "http://b.cn/1"));
        EXPECT_EQ(rows[1]["source"], sourceOf("=HYPERLINK(\"http://evil\")", "http://news.a.cn/2"));
        // Characters GBK lacks are kept.
        EXPECT_EQ(rows[2]["source"], sourceOf("丙😀", "http://c.cn/3"));
        EXPECT_EQ(rows[3]["source"], sourceOf("丁", "http://C.cn:8080/4"));
        // Without mu or data-mdurl the engine's own link is the address (Baidu's
        // made absolute against the query URL).
        EXPECT_EQ(rows[4]["source"], sourceOf("戊", server_.baseUrl() + "/link?url=4"));
        // A run outside every block still counts: 命中 with an unknown source.
        EXPECT_EQ(rows[5]["status"], "hit");
        EXPECT_EQ(rows[5]["hits"], "1");
        EXPECT_TRUE(rows[5]["source"].is_null());
        EXPECT_EQ(rows[6]["status"], "original");
        EXPECT_TRUE(rows[6]["source"].is_null());
        // Most segments first, ties by domain; the engine's own host is left out.
        EXPECT_EQ(pass["sources"], Json::parse(R"([{"domain": "c.cn", "segments": 2},
                                                   {"domain": "b.cn", "segments": 1},
                                                   {"domain": "news.a.cn", "segments": 1}])"))
            << (baidu ? "baidu" : "360");
    }

    // The table shows the source after the status, 未识别 for the advertisement.
    r = check("--engine baidu");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("状态  来源"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("命中  未识别"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("来源网站:\n  c.cn  2段\n  b.cn  1段\n  news.a.cn  1段\n"),
              std::string::npos)
        << r.out;
}

// A page sent in GBK (read as GB18030) and a UTF-8 page holding characters
// GB18030 lacks (read as "?"), both with characters before the blocks whose
// byte counts differ between the page as sent and as read: each names the
// blocks the plain UTF-8 page names.
TEST_F(CliSources, PagesInGbkOrWithCharactersGb18030LacksNameTheSameSources) {
    for (const bool gbk : {true, false}) {
        SCOPED_TRACE(gbk ? "gbk" : "utf-8");
        respond_ = [this, gbk](const httplib::Request& req, httplib::Response& res) {
            std::string page = pageFor(req);
            page.insert(page.find("<body>") + 6, gbk ? "<p>😀𠀀表情</p>" : "<p>\uE793\uE81E😀</p>");
            if (gbk) {
                res.set_content(convertEncoding(ByteSet(page), "UTF-8", "GB18030").bytes(),
                                "text/html; charset=gbk");
                return;
            }
            const std::size_t title = page.find(">丁<");
            page.insert(title + std::string_view(">丁").size(), "\uE793");
            res.set_content(page, "text/html; charset=utf-8");
        };
        RunResult r = check("--json");
        ASSERT_EQ(r.status, 0) << r.err;
        Json doc = Json::parse(r.out);
        ASSERT_EQ(doc["passes"].size(), 2u);
        for (const Json& pass : doc["passes"]) {
            const Json& rows = pass["rows"];
            ASSERT_EQ(rows.size(), 7u);
            EXPECT_EQ(rows[0]["source"],
                      sourceOf("<script>alert(\"x\")</script> 乙's", "http://b.cn/1"));
            EXPECT_EQ(rows[2]["source"], sourceOf("丙😀", "http://c.cn/3"));
            EXPECT_EQ(rows[3]["source"], sourceOf(gbk ? "丁" : "丁?", "http://C.cn:8080/4"));
            EXPECT_EQ(rows[4]["source"], sourceOf("戊", server_.baseUrl() + "/link?url=4"));
            EXPECT_EQ(rows[5]["status"], "hit");
            EXPECT_TRUE(rows[5]["source"].is_null());
            EXPECT_EQ(rows[6]["status"], "original");
        }
    }
}

TEST_F(CliSources, OwnSitesFromTheOptionAndTheSettingsFileDoNotCount) {
    // 忽略网站 of the settings file (GBK) and the option add up; the option is
    // split like the setting and a domain covers its subdomains.
    write("none.ini", testing::G("[原创检测配置]\r\n忽略网站=https://C.CN/\r\n"));
    RunResult r = check("--json --ignore-domain 'x.cn，a.cn' --ignore-domain '*.zz.cn' --report '" +
                        (dir_ / "r.html").string() + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    // The report names the list the check used.
    EXPECT_NE(fileText("r.html").find("<th>忽略网站</th><td>c.cn x.cn a.cn zz.cn</td>"),
              std::string::npos);
    Json out = Json::parse(r.out);
    for (const Json& pass : out["passes"]) {
        const Json& rows = pass["rows"];
        EXPECT_EQ(rows[0]["status"], "hit");
        for (int ignored : {1, 2, 3}) {
            EXPECT_EQ(rows[ignored]["status"], "original") << ignored;
            EXPECT_EQ(rows[ignored]["hits"], "0") << ignored;
            EXPECT_TRUE(rows[ignored]["source"].is_null()) << ignored;
        }
        // The engine's own host and runs outside blocks are never ignored.
        EXPECT_EQ(rows[4]["status"], "hit");
        EXPECT_EQ(rows[5]["status"], "hit");
        EXPECT_EQ(pass["sources"], Json::parse(R"([{"domain": "b.cn", "segments": 1}])"));
        EXPECT_EQ(pass["originality"], "57.14%");
    }

    // An option that names no site is refused before any query.
    server_.clearRequests();
    r = check("--ignore-domain ' ，, '");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--ignore-domain"), std::string::npos) << r.err;
    EXPECT_TRUE(server_.requests().empty());
}

TEST_F(CliSources, ReportsAreWrittenInTheFormatTheirNameAsks) {
    const std::string html = (dir_ / "报告.HTM").string();
    RunResult r = check("--json --report '" + html + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(
        Json::parse(r.out, nullptr, false).is_discarded());  // the report goes to the file only
    std::string page = fileText("报告.HTM");
    EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_EQ(page.find("<script"), std::string::npos);
    EXPECT_NE(page.find("&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt; 乙&#39;s"),
              std::string::npos);
    EXPECT_NE(page.find("<h2>来源网站</h2>"), std::string::npos);
    EXPECT_NE(page.find("<td>c.cn</td><td>2</td>"), std::string::npos);
    EXPECT_NE(page.find("未识别"), std::string::npos);

    r = check("--engine 360 --report '" + (dir_ / "r.Csv").string() + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("360原创度"), std::string::npos);  // the table still goes to the terminal
    std::string csv = fileText("r.Csv");
    EXPECT_EQ(
        csv.rfind("\xEF\xBB\xBF引擎,序号,文本,飘红,状态,原因,来源标题,来源地址,搜索,覆盖\r\n", 0),
        0u);
    EXPECT_NE(csv.find("\r\n360,2," + segments_[1] +
                       ",1,命中,,\"'=HYPERLINK(\"\"http://evil\"\")\",http://news.a.cn/2,http"),
              std::string::npos)
        << csv;
    EXPECT_NE(csv.find("\r\n360,6," + segments_[5] + ",1,命中,,未识别,,http"), std::string::npos);
    EXPECT_NE(csv.find("\r\n360,7," + segments_[6] + ",0,原创,,,,http"), std::string::npos);
    EXPECT_EQ(csv.find("百度"), std::string::npos);
}

TEST_F(CliSources, AReportIsWrittenAfterACancelledPass) {
    // The first query is answered, then the engine sends empty pages and the
    // prompt is answered 取消.
    auto answered = std::make_shared<std::atomic<int>>(0);
    respond_ = [this, answered](const httplib::Request& req, httplib::Response& res) {
        res.set_content(answered->fetch_add(1) == 0 ? pageFor(req) : std::string(),
                        "text/html; charset=utf-8");
    };
    RunResult r =
        check("--engine baidu --on-empty-page cancel --report '" + (dir_ / "r.csv").string() + "'");
    EXPECT_EQ(r.status, 1) << r.err;
    std::string csv = fileText("r.csv");
    EXPECT_NE(csv.find("\r\n百度,1," + segments_[0] + ",1,命中,,"), std::string::npos) << csv;
    // The row that prompted keeps why; the rows never reached say 已取消.
    EXPECT_NE(csv.find("\r\n百度,2," + segments_[1] + ",,未核实,空白页面,"), std::string::npos);
    EXPECT_NE(csv.find("\r\n百度,7," + segments_[6] + ",,未核实,已取消,"), std::string::npos);

    r = check("--engine baidu --json --on-empty-page cancel --report '" +
              (dir_ / "r.html").string() + "'");
    EXPECT_EQ(r.status, 1) << r.err;
    Json pass = Json::parse(r.out)["passes"][0];
    EXPECT_EQ(pass["end"], "cancelled");
    EXPECT_EQ(pass["sources"], Json::array());  // the one answered query was before this run
    EXPECT_NE(fileText("r.html").find("已取消 0/7"), std::string::npos);
}

TEST_F(CliSources, AReportThatCannotBeWrittenStopsBeforeAnyQuery) {
    fs::create_directories(dir_ / "folder.html");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {(dir_ / "r.txt").string(), ".csv"},
        {(dir_ / "r.html.bak").string(), ".csv"},
        {"", ".csv"},
        {(dir_ / "missing" / "r.html").string(), "无法写入报告文件"},
        {(dir_ / "folder.html").string(), "无法写入报告文件"},
    };
    for (const auto& [path, message] : cases) {
        for (const char* json : {"", "--json "}) {
            RunResult r = check(std::string(json).append("--report '").append(path).append("'"));
            EXPECT_EQ(r.status, 2) << path;
            EXPECT_NE(r.err.find(message), std::string::npos) << path << r.err;
            EXPECT_TRUE(r.out.empty()) << path;
        }
    }
    // Nor may the report replace the article, whatever name leads to it.
    const std::string articleText = sevenSegmentArticle();
    write("article.html", articleText);
    fs::create_symlink(dir_ / "article.html", dir_ / "link.htm");
    RunResult r = run("--quiet --report '" + (dir_ / "link.htm").string() + "' '" +
                      (dir_ / "article.html").string() + "'");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("报告文件不能是文章本身"), std::string::npos) << r.err;
    EXPECT_EQ(fileText("article.html"), articleText);
    EXPECT_TRUE(server_.requests().empty());
    EXPECT_FALSE(fs::exists(dir_ / "r.txt"));
}

// The pages one check kept in the results store answer the next check's
// queries with exactly the rows fresh queries give, for other 飘红检测数 values
// and ignore lists; a page whose results were not looked up (no highlight was
// long enough then) is asked again when they are needed.
TEST_F(CliSources, RememberedPagesGiveTheRowsFreshQueriesGive) {
    // Each page highlights the first 20 characters of its segment.
    respond_ = [this](const httplib::Request& req, httplib::Response& res) {
        std::string page = pageFor(req);
        for (const std::string& segment : segments_) {
            const std::string whole = "<em>" + segment + "</em>";
            if (std::size_t at = page.find(whole); at != std::string::npos) {
                page.replace(at, whole.size(),
                             "<em>" + segment.substr(0, 60) + "</em>" + segment.substr(60));
            }
        }
        res.set_content(page, "text/html; charset=utf-8");
    };
    const std::string store = "--store '" + (dir_ / "checks.db").string() + "' --json ";
    auto rowsOf = [](const RunResult& r) {
        Json passes = Json::parse(r.out)["passes"];
        for (Json& pass : passes) {
            for (Json& row : pass["rows"]) {
                row.erase("cached");
                row.erase("verifiedAt");
            }
        }
        return passes;
    };
    auto settings = [this](int minRun) {
        write("none.ini", testing::G("[原创检测配置]\r\n检测方式=经典\r\n飘红检测数=" +
                                     std::to_string(minRun) + "\r\n"));
    };
    settings(30);  // longer than any highlight: no result is looked up
    ASSERT_EQ(check(store).status, 0);
    struct Case {
        int minRun;
        std::string options;
        bool askedAgain;
    };
    for (const Case& c :
         {Case{30, "", false}, Case{12, "", true}, Case{12, "--ignore-domain c.cn", false},
          Case{20, "--ignore-domain b.cn --ignore-domain news.a.cn", false}}) {
        settings(c.minRun);
        server_.clearRequests();
        RunResult remembered = check(store + c.options);
        const bool asked = !server_.requests().empty();
        RunResult fresh = check("--no-store --json " + c.options);
        ASSERT_EQ(remembered.status, fresh.status) << remembered.err;
        EXPECT_EQ(rowsOf(remembered), rowsOf(fresh)) << c.minRun << c.options;
        EXPECT_EQ(asked, c.askedAgain) << c.minRun << c.options;
        const Json row = Json::parse(remembered.out)["passes"][0]["rows"][0];
        EXPECT_EQ(row["cached"], !c.askedAgain);
        EXPECT_TRUE(row["verifiedAt"].is_string());
        if (c.minRun < 30 && c.options.find("b.cn") == std::string::npos) {
            EXPECT_EQ(row["status"], "hit");  // the first result, b.cn
        }
    }
}

// Unverified rows are always asked again; 缓存天数 0 and --no-cache ask every
// query, and the pages they verify answer the next check.
TEST_F(CliSources, UnverifiedRowsAndCacheDaysZeroAskAgain) {
    const std::string store = "--store '" + (dir_ / "checks.db").string() + "' ";
    respond_ = [](const httplib::Request&, httplib::Response& res) { res.status = 503; };
    EXPECT_EQ(check(store + "--on-empty-page continue").status, 4);
    respond_ = [this](const httplib::Request& req, httplib::Response& res) {
        res.set_content(pageFor(req), "text/html; charset=utf-8");
    };
    const std::size_t everyQuery = 7 + 2 * 7;  // Baidu one page, 360 two
    for (const std::string& options : {store, store + "--cache-days 0", store + "--no-cache", store,
                                       std::string("--no-store")}) {
        server_.clearRequests();
        ASSERT_EQ(check(options).status, 0) << options;
        const bool fromStore = options == store && server_.requests().size() < everyQuery;
        EXPECT_EQ(server_.requests().size(), fromStore ? 0u : everyQuery) << options;
    }
}

}  // namespace
}  // namespace oc
