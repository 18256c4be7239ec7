// Blocked, failed and empty answers of the engines, served by real HTTP
// servers on 127.0.0.1: a segment is only 命中 or 原创 when its pages were verified.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>

#include "check/check_pass.h"
#include "check/check_run.h"
#include "check/memory_window.h"
#include "check/pass_texts.h"
#include "services/boundary_text.h"
#include "services/encoding.h"
#include "tests/support/gbk.h"
#include "tests/support/loopback_server.h"
#include "tests/support/raw_server.h"
#include "tests/support/scripted_platform.h"

namespace oc {
namespace {
using testing::G;
using testing::U;
using namespace std::chrono_literals;
namespace fs = std::filesystem;
using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;

// One segment of 38 characters (the whole article) and the same text in UTF-8.
const std::string kSegment =
    "春眠不觉晓处处闻啼鸟夜来风雨声花落知多少白日依山尽黄河入海流欲穷千里目";

std::string resultPage(const std::string& body, const std::string& title = "搜索结果") {
    return "<html><head><title>" + title + "</title></head><body>" + body + "</body></html>";
}

// What the row of the one segment shows after a pass.
struct RowSeen {
    std::string status;
    std::string reason;
    std::string hits;
    std::string url;
    std::uint32_t background = 0;
};

class PageClasses : public ::testing::Test {
  protected:
    void SetUp() override {
        static int counter = 0;
        dir_ = fs::temp_directory_path() /
               ("oc-class-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
        fs::create_directories(dir_);
        Handler route = [this](const httplib::Request& req, httplib::Response& res) {
            Handler handler;
            {
                std::lock_guard lock(mutex_);
                handler = handler_;
            }
            if (handler) {
                handler(req, res);
            }
        };
        server_.server().Get(R"(/.*)", route);
        server_.start();
        window_.setEditContent(component::kArticleBox, G(kSegment));
        env_.window = &window_;
        env_.platform = &platform_;
        env_.settingsPath = gbkFromUtf8((dir_ / "配置.ini").string());
        env_.baiduUrl = env_.url360 = server_.baseUrl();
        env_.fetchLimits.stallTimeout = 300ms;
        env_.fetchLimits.maxRedirects = 3;
    }
    void TearDown() override {
        server_.stop();
        fs::remove_all(dir_);
    }

    void answer(Handler handler) {
        std::lock_guard lock(mutex_);
        handler_ = std::move(handler);
    }
    void answerPage(const std::string& html, int status = 200) {
        answer([html, status](const httplib::Request&, httplib::Response& res) {
            res.status = status;
            res.set_content(html, "text/html; charset=utf-8");
        });
    }

    RowSeen rowAfter(Engine engine) {
        PassOutcome outcome;
        EXPECT_EQ(runEnginePass(engine, env_, outcome), PassEnd::Normal);
        GridModel grid =
            window_.grid(engine == Engine::Baidu ? component::kBaiduGrid : component::k360Grid);
        EXPECT_EQ(grid.rowCount(), 2);
        return {U(grid.cellText(1, kStatusColumn)), U(grid.cell(1, kStatusColumn)->tip),
                U(grid.cellText(1, 2)), U(grid.cellText(1, kUrlColumn)), grid.rowBackground(1)};
    }

    fs::path dir_;
    std::mutex mutex_;
    Handler handler_;
    testing::LoopbackServer server_;
    MemoryWindow window_;
    testing::ScriptedPlatform platform_;
    PassEnvironment env_;
};

TEST_F(PageClasses, BlocksOfBothEnginesLeaveTheSegmentUnverifiedWithAPrompt) {
    struct Case {
        const char* name;
        Handler handler;
    };
    auto redirectTo = [](std::string target) {
        return
            [target](const httplib::Request&, httplib::Response& res) { res.set_redirect(target); };
    };
    auto page = [](std::string html, int status) {
        return [html, status](const httplib::Request&, httplib::Response& res) {
            res.status = status;
            res.set_content(html, "text/html; charset=utf-8");
        };
    };
    const std::vector<std::pair<Engine, std::vector<Case>>> cases = {
        {Engine::Baidu,
         {{"captcha path", redirectTo("/static/Captcha/tuxing.html?ak=1&backurl=/s")},
          {"wappass", redirectTo("https://wappass.baidu.com/static/captcha/tuxing_v2.html")},
          {"passport", redirectTo("http://passport.baidu.com/login")},
          {"403", page(resultPage("<em>" + kSegment + "</em>"), 403)},
          {"429", page("", 429)},
          {"title", page(resultPage("<p>拖动左侧滑块使图片为正</p>", "百度安全验证"), 200)},
          {"login title", page(resultPage("", "登录百度账号"), 200)},
          {"marker", page("<p>网络不给力，请稍后重试</p>", 200)},
          {"marker 2", page("<div>请完成下方验证后继续操作</div>", 200)}}},
        {Engine::So360,
         {{"captcha path", redirectTo("/captcha/check?ret=/s")},
          {"qcaptcha", redirectTo("http://qcaptcha.so.com/?ret=http%3A%2F%2Fwww.so.com&tk=1")},
          {"403", page("", 403)},
          {"429", page("", 429)},
          {"title", page(resultPage("", "访问异常页面"), 200)},
          {"marker", page("<p>访问过于频繁</p>", 200)},
          {"marker 2", page("<p>请输入验证码</p>", 200)}}},
    };
    platform_.setDefaultAnswer(kAnswerOk);
    for (const auto& [engine, list] : cases) {
        for (const Case& c : list) {
            answer(c.handler);
            server_.clearRequests();
            std::size_t promptsBefore = platform_.messages().size();
            RowSeen row = rowAfter(engine);
            EXPECT_EQ(row.status, "未核实") << c.name;
            EXPECT_EQ(row.reason, "屏蔽/验证码") << c.name;
            EXPECT_EQ(row.hits, "") << c.name;
            EXPECT_EQ(row.background, kColourUnverifiedRow) << c.name;
            // The unverified row keeps its query URL (360: page 2).
            EXPECT_EQ(row.url.substr(0, server_.baseUrl().size() + 3), server_.baseUrl() + "/s?")
                << c.name;
            // A redirect to a verification page is never followed.
            for (const std::string& target : server_.targets()) {
                EXPECT_EQ(target.substr(0, 3), "/s?") << c.name;
            }
            // One prompt per page while nothing of the segment was verified.
            std::size_t pages = engine == Engine::Baidu ? 1 : 2;
            ASSERT_EQ(platform_.messages().size(), promptsBefore + pages) << c.name;
            EXPECT_EQ(platform_.messages().back().message, engine == Engine::Baidu
                                                               ? pass_texts::baiduBlocked()
                                                               : pass_texts::blocked360());
        }
    }
}

TEST_F(PageClasses, FailuresNameTheirReason) {
    platform_.setDefaultAnswer(kAnswerOk);
    for (Engine engine : {Engine::Baidu, Engine::So360}) {
        answerPage("oops", 500);
        EXPECT_EQ(rowAfter(engine).reason, "HTTP 状态码 500");
        answerPage("gone", 404);
        EXPECT_EQ(rowAfter(engine).reason, "HTTP 状态码 404");
        answerPage("");
        EXPECT_EQ(rowAfter(engine).reason, "空白页面");
        answerPage("<em>\xFF\xFE</em>");  // declared UTF-8, and it is not
        EXPECT_EQ(rowAfter(engine).reason, "页面编码与声明不符");
        answer([](const httplib::Request&, httplib::Response& res) { res.set_redirect("/s"); });
        EXPECT_EQ(rowAfter(engine).reason, "重定向过多");
        EXPECT_EQ(platform_.messages().back().message,
                  engine == Engine::Baidu ? pass_texts::baiduBlocked() : pass_texts::blocked360());
    }
}

// A page whose bytes are not UTF-8 is read in the charset it declares: its
// hits count like those of a UTF-8 page.
TEST_F(PageClasses, PagesInADeclaredChineseCharsetAreAnalysed) {
    struct Case {
        const char* name;
        std::string body;
        const char* contentType;
    };
    const std::string hit = resultPage("<em>" + kSegment + "</em>");
    const std::string metaHit =
        "<html><head><meta http-equiv=\"Content-Type\" "
        "content=\"text/html; charset=gb2312\"><title>结果</title></head>"
        "<body><em>" +
        kSegment + "</em></body></html>";
    const Case cases[] = {
        {"GBK in the header", G(hit), "text/html; charset=GBK"},
        {"GB2312 in the meta, UTF-8 in the header", G(metaHit), "text/html; charset=utf-8"},
        {"GB18030 in the meta, nothing in the header", "<meta charset=\"gb18030\">" + G(hit),
         "text/html"},
    };
    for (const Case& c : cases) {
        answer([&c](const httplib::Request&, httplib::Response& res) {
            res.set_content(c.body, c.contentType);
        });
        for (Engine engine : {Engine::Baidu, Engine::So360}) {
            RowSeen row = rowAfter(engine);
            EXPECT_EQ(row.status, "命中") << c.name;
            EXPECT_EQ(row.hits, engine == Engine::Baidu ? "1" : "2") << c.name;
        }
    }
    // A traditional-character article against a Big5 page.
    const std::string traditional =
        "春眠不覺曉處處聞啼鳥夜來風雨聲花落知多少白日依山盡黃河入海流欲窮千里目";
    window_.setEditContent(component::kArticleBox, G(traditional));
    bool ok = false;
    const ByteSet big5 = convertEncoding(
        ByteSet(resultPage("<em>" + traditional + "</em>", "搜尋結果")), "UTF-8", "BIG5", &ok);
    ASSERT_TRUE(ok);
    answer([&big5](const httplib::Request&, httplib::Response& res) {
        res.set_content(big5.bytes(), "text/html; charset=big5");
    });
    EXPECT_EQ(rowAfter(Engine::Baidu).status, "命中");
    EXPECT_EQ(U(window_.caption(component::kBaiduValueLabel)), "0%");
    EXPECT_TRUE(platform_.messages().empty());
}

TEST_F(PageClasses, PagesThatDecodeInNoDeclaredWayStayFailedAndSaySo) {
    platform_.setDefaultAnswer(kAnswerOk);
    const std::pair<std::string, const char*> cases[] = {
        {G(resultPage("<em>" + kSegment + "</em>")), "text/html"},  // undeclared
        {G(resultPage("<em>" + kSegment + "</em>")) + "\xFF\xFF", "text/html; charset=gbk"},
        {G(resultPage("<em>" + kSegment + "</em>")), "text/html; charset=shift_jis"},
    };
    for (const auto& [body, contentType] : cases) {
        answer([&](const httplib::Request&, httplib::Response& res) {
            res.set_content(body, contentType);
        });
        RowSeen row = rowAfter(Engine::Baidu);
        EXPECT_EQ(row.status, "未核实") << contentType;
        EXPECT_EQ(row.reason, "页面编码与声明不符") << contentType;
        EXPECT_EQ(row.hits, "") << contentType;
    }
}

TEST_F(PageClasses, APageThatNeverArrivedGetsItsOwnPrompt) {
    platform_.setDefaultAnswer(kAnswerOk);
    env_.baiduUrl = env_.url360 = testing::refusingUrl();
    RowSeen baidu = rowAfter(Engine::Baidu);
    EXPECT_EQ(baidu.status, "未核实");
    EXPECT_EQ(baidu.reason, "无法连接");
    ASSERT_EQ(platform_.messages().size(), 1u);
    EXPECT_EQ(U(platform_.messages()[0].message), "无法连接百度：连接被拒绝");
    EXPECT_EQ(platform_.messages()[0].style & 0xF, kMbOkCancel);
    EXPECT_EQ(rowAfter(Engine::So360).reason, "无法连接");
    EXPECT_EQ(U(platform_.messages().back().message), "无法连接360搜索：连接被拒绝");
    EXPECT_EQ(window_.caption(component::k360ValueLabel), "");

    testing::RawServer silent([](testing::RawConnection& c) {
        c.readRequestHead();
        c.stall(60s);
    });
    env_.baiduUrl = silent.baseUrl();
    EXPECT_EQ(rowAfter(Engine::Baidu).reason, "超时");
    EXPECT_EQ(U(platform_.messages().back().message), "无法连接百度：服务器长时间没有应答");

    // 取消 at that prompt ends the pass.
    env_.baiduUrl = testing::refusingUrl();
    platform_.queueAnswer(kAnswerCancel);
    PassOutcome outcome;
    EXPECT_EQ(runEnginePass(Engine::Baidu, env_, outcome), PassEnd::Cancelled);
    EXPECT_EQ(U(window_.caption(component::kBaiduCoverageLabel)), "已取消 0/1");
}

TEST_F(PageClasses, PagesThatOnlyLookLikeBlocksOrEmptyAnswersAreResultPages) {
    // A snippet quoting a block title or marker, with highlights: a result page.
    answerPage(
        resultPage("<p>百度安全验证 网络不给力，请稍后重试 访问过于频繁 请输入验证码</p><p><em>" +
                   kSegment + "</em></p>"));
    for (Engine engine : {Engine::Baidu, Engine::So360}) {
        RowSeen row = rowAfter(engine);
        EXPECT_EQ(row.status, "命中");
        EXPECT_EQ(row.reason, "");
        EXPECT_EQ(row.background, kColourHitRow);
    }
    // A snippet quoting a no-results phrase, with highlights elsewhere: a result page.
    answerPage(resultPage("<p>论坛：没有找到相关结果怎么办</p><p><em>" + kSegment + "</em></p>"));
    EXPECT_EQ(rowAfter(Engine::Baidu).status, "命中");
    // A verification link in a result page's snippet is not a redirect.
    answerPage(resultPage("<a href=\"https://wappass.baidu.com/\">x</a><em>短</em>"));
    EXPECT_EQ(rowAfter(Engine::Baidu).status, "原创");
    EXPECT_TRUE(platform_.messages().empty());
}

TEST_F(PageClasses, BaiduNoResultsPageDoesNotCountTheEchoedQuery) {
    for (const std::string& sentence :
         {"很抱歉，没有找到与“<em>" + kSegment + "</em>”相关的网页。",
          "抱歉没有找到与“<EM>" + kSegment + "</EM>”相关的网页。", std::string("没有找到相关结果"),
          std::string("未找到相关结果。")}) {
        answerPage(resultPage("<div class=\"nors\"><p>" + sentence + "</p></div>"));
        RowSeen row = rowAfter(Engine::Baidu);
        EXPECT_EQ(row.status, "原创") << sentence;
        EXPECT_EQ(row.hits, "0") << sentence;
        EXPECT_EQ(row.background, kNoBackground) << sentence;
    }
    EXPECT_EQ(U(window_.caption(component::kBaiduValueLabel)), "100%");
    EXPECT_EQ(U(window_.caption(component::kBaiduCoverageLabel)), "已核实 1/1");
    // The sentence ends 600 GBK bytes after its phrase: an echo 597 bytes in is
    // the query's, one 617 bytes in is a result's.
    for (auto [filler, status] : {std::pair{250, "原创"}, std::pair{260, "命中"}}) {
        std::string words;
        for (int i = 0; i < filler; ++i) {
            words += "的";
        }
        answerPage(resultPage("<p>没有找到与“" + words + "<em>" + kSegment + "</em>”的网页。</p>"));
        EXPECT_EQ(rowAfter(Engine::Baidu).status, status) << filler;
    }
    // 360 knows no such page: a page without highlights is original as before.
    answerPage(resultPage("<p>找不到该结果</p>"));
    EXPECT_EQ(rowAfter(Engine::So360).status, "原创");
}

TEST_F(PageClasses, The360PagesCombine) {
    // Page 1 blocked, page 2 shows the segment: 命中, one prompt.
    auto byPage = [this](std::string page1, int status1, std::string page2) {
        answer([=](const httplib::Request& req, httplib::Response& res) {
            bool first = req.target.find("&pn=1") != std::string::npos;
            res.status = first ? status1 : 200;
            res.set_content(first ? page1 : page2, "text/html; charset=utf-8");
        });
    };
    const std::string hit = resultPage("<em>" + kSegment + "</em>");
    const std::string nothing = resultPage("<p>无关</p>");
    byPage("", 429, hit);
    EXPECT_EQ(rowAfter(Engine::So360).status, "命中");
    EXPECT_EQ(platform_.messages().size(), 1u);
    // Page 1 blocked, page 2 without a hit: not both verified, so unverified.
    byPage("", 429, nothing);
    RowSeen row = rowAfter(Engine::So360);
    EXPECT_EQ(row.status, "未核实");
    EXPECT_EQ(row.reason, "屏蔽/验证码");
    EXPECT_EQ(platform_.messages().size(), 2u);
    // Page 1 verified, page 2 blocked: no prompt after page 2, still unverified.
    answer([&](const httplib::Request& req, httplib::Response& res) {
        bool first = req.target.find("&pn=1") != std::string::npos;
        res.status = first ? 200 : 403;
        res.set_content(first ? nothing : "", "text/html; charset=utf-8");
    });
    EXPECT_EQ(rowAfter(Engine::So360).status, "未核实");
    EXPECT_EQ(platform_.messages().size(), 2u);
}

TEST_F(PageClasses, RequestsOfAnEngineAreSpacedByTheQueryInterval) {
    answerPage(resultPage("<em>短</em>"));
    env_.interval = 150ms;
    auto start = std::chrono::steady_clock::now();
    rowAfter(Engine::So360);  // page 1 and page 2
    EXPECT_GE(std::chrono::steady_clock::now() - start, 150ms);

    // Without an override, 查询间隔 of the settings file in seconds.
    env_.interval.reset();
    std::ofstream(dir_ / "配置.ini", std::ios::binary)
        << G("[原创检测配置]\r\n查询间隔=1\r\n[搜索引擎]\r\nUserAgent=Editor/2.0\r\n");
    start = std::chrono::steady_clock::now();
    rowAfter(Engine::So360);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_EQ(server_.requests().back().headers.find("User-Agent")->second, "Editor/2.0");
}

TEST_F(PageClasses, RecheckQueriesOnlyTheUnverifiedRowsAgain) {
    std::atomic<bool> blocking{true};
    std::atomic<int> answered{0};
    answer([&](const httplib::Request&, httplib::Response& res) {
        if (blocking && ++answered > 3) {
            res.status = 429;
            return;
        }
        res.set_content(resultPage("<em>" + kSegment + "</em>"), "text/html; charset=utf-8");
    });
    platform_.setDefaultAnswer(kAnswerOk);
    window_.setEditContent(component::kArticleBox, G(kSegment + "。" + kSegment + "。" + kSegment));
    CheckRun run(env_);
    EXPECT_FALSE(run.recheckUnverified());  // no run yet
    ASSERT_TRUE(run.start());
    EXPECT_TRUE(window_.buttonDisabled(component::kRecheckButton));
    EXPECT_FALSE(run.recheckUnverified());  // not while the run is active
    run.wait();
    ASSERT_TRUE(run.hasUnverified());
    EXPECT_FALSE(window_.buttonDisabled(component::kRecheckButton));
    auto unverifiedRows = [&](std::string_view grid) {
        int n = 0;
        GridModel model = window_.grid(grid);
        for (int r = 1; r < model.rowCount(); ++r) {
            n += U(model.cellText(r, kStatusColumn)) == "未核实" ? 1 : 0;
        }
        return n;
    };
    const int before = unverifiedRows(component::kBaiduGrid) + unverifiedRows(component::k360Grid);
    const int rows = window_.grid(component::kBaiduGrid).rowCount() - 1;
    EXPECT_GT(before, 0);

    blocking = false;
    server_.clearRequests();
    ASSERT_TRUE(run.recheckUnverified());
    run.wait();
    EXPECT_FALSE(run.hasUnverified());
    EXPECT_EQ(unverifiedRows(component::kBaiduGrid) + unverifiedRows(component::k360Grid), 0);
    // Rows updated in place; a Baidu row costs one request, a 360 row two.
    EXPECT_EQ(window_.grid(component::kBaiduGrid).rowCount() - 1, rows);
    EXPECT_GE(server_.requests().size(), static_cast<std::size_t>(before));
    EXPECT_LE(server_.requests().size(), static_cast<std::size_t>(2 * before));
    for (auto [coverage, value] :
         {std::pair{component::kBaiduCoverageLabel, component::kBaiduValueLabel},
          std::pair{component::k360CoverageLabel, component::k360ValueLabel}}) {
        EXPECT_EQ(U(window_.caption(coverage)),
                  "已核实 " + std::to_string(rows) + "/" + std::to_string(rows));
        EXPECT_EQ(window_.labelColour(coverage), kDefaultLabelColour);
        EXPECT_FALSE(window_.caption(value).empty());
    }
    EXPECT_EQ(U(window_.caption(component::k360VerdictLabel)).find("未核实"), std::string::npos);
    EXPECT_TRUE(window_.buttonDisabled(component::kRecheckButton));
    EXPECT_FALSE(window_.buttonDisabled(component::kCheckButton));
    EXPECT_FALSE(run.recheckUnverified());
}

}  // namespace
}  // namespace oc
