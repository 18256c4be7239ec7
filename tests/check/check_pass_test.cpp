// The two check passes against real HTTP servers on 127.0.0.1 serving result
// pages written here, watched through an in-memory window.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "check/check_pass.h"
#include "check/check_run.h"
#include "check/memory_window.h"
#include "check/pass_steps.h"
#include "check/pass_texts.h"
#include "services/boundary_text.h"
#include "tests/check/pass_fixture.h"
#include "tests/support/gbk.h"

namespace oc {
namespace {
using testing::chinese;
using testing::G;
using testing::pageHighlighting;
using testing::PassFixture;
using testing::U;
namespace fs = std::filesystem;

TEST_F(PassFixture, BaiduPassWritesARowPerSegmentAndThePercentage) {
    serve([](const std::string& q, int) { return pageHighlighting(q); }, nullptr);
    window_.setEditContent(component::kArticleBox, chinese(100));
    EXPECT_EQ(runBaiduPass(env_), PassEnd::Normal);

    EXPECT_EQ(column(component::kBaiduGrid, 0), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(column(component::kBaiduGrid, 1)[2], U(chinese(100).substr(152)));
    // Segments of 38, 38 and 24 characters: all hit (the last has 24 < 30 characters).
    EXPECT_EQ(column(component::kBaiduGrid, 2), (std::vector<std::string>{"1", "1", "0"}));
    EXPECT_EQ(U(window_.caption(component::kBaiduValueLabel)), "33.33%");
    EXPECT_EQ(U(window_.caption(component::kCharCountLabel)), "100");
    EXPECT_FALSE(window_.buttonDisabled(component::kCheckButton));

    std::vector<std::string> targets = server_.targets();
    ASSERT_EQ(targets.size(), 3u);
    const Text first = chinese(100).substr(0, 76);
    std::string encoded;
    for (unsigned char b : first) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%%%02X", b);
        encoded += hex;
    }
    EXPECT_EQ(targets[0], "/s?wd=" + encoded + "&rn=20&lm=0");
    EXPECT_EQ(column(component::kBaiduGrid, 3)[0], server_.baseUrl() + targets[0]);
    GridModel grid = window_.grid(component::kBaiduGrid);
    EXPECT_EQ(grid.cell(1, 3)->colour, kColourBlue);
    EXPECT_FALSE(grid.cell(1, 2)->colourSet);
    for (const auto& request : server_.requests()) {
        EXPECT_EQ(request.version, "HTTP/1.0");
    }
}

TEST_F(PassFixture, The360PassAsksForTwoPagesAndLinksThePageWithTheCopy) {
    serve(nullptr, [](const std::string& q, int page) {
        return page == 2 ? pageHighlighting(q) : std::string("<p>无关</p>");
    });
    window_.setEditContent(component::kArticleBox, chinese(100));
    EXPECT_EQ(run360Pass(env_), PassEnd::Normal);

    std::vector<std::string> targets = server_.targets();
    ASSERT_EQ(targets.size(), 6u);
    for (std::size_t i = 0; i < targets.size(); ++i) {
        EXPECT_EQ(targets[i].substr(0, 5), "/s?q=");
        EXPECT_EQ(targets[i].substr(targets[i].size() - 5), i % 2 ? "&pn=2" : "&pn=1");
        EXPECT_EQ(targets[i].substr(5, 2), "%E");  // UTF-8 bytes of a Chinese character
    }
    // A copied row links to the page that shows the copy, the others to page 1.
    EXPECT_EQ(column(component::k360Grid, 3)[0], server_.baseUrl() + targets[1]);
    EXPECT_EQ(column(component::k360Grid, 3)[2], server_.baseUrl() + targets[4]);
    EXPECT_EQ(column(component::k360Grid, 2), (std::vector<std::string>{"1", "1", "0"}));
    EXPECT_EQ(U(window_.caption(component::k360ValueLabel)), "33.33%");
    EXPECT_EQ(U(window_.caption(component::k360VerdictLabel)), "别灰心额，还需努力");
    // A poor value (under 60%) is red; a good one keeps the label's own colour.
    EXPECT_EQ(window_.labelColour(component::k360ValueLabel), kColourRed);
}

TEST_F(PassFixture, PagesWithoutHighlightsDifferBetweenTheEngines) {
    serveBoth([](const std::string&, int) { return std::string("<p>没有任何飘红</p>"); });
    window_.setEditContent(component::kArticleBox, chinese(100));
    EXPECT_EQ(runBaiduPass(env_), PassEnd::Normal);
    EXPECT_EQ(run360Pass(env_), PassEnd::Normal);

    // Baidu: such a page proves nothing; the segments stay unverified and no
    // value is written instead of 0%. The rows keep the query URL, and no prompt comes.
    EXPECT_EQ(column(component::kBaiduGrid, 2), (std::vector<std::string>{"", "", ""}));
    EXPECT_EQ(column(component::kBaiduGrid, 3)[0].substr(0, server_.baseUrl().size()),
              server_.baseUrl());
    EXPECT_EQ(column(component::kBaiduGrid, kStatusColumn),
              (std::vector<std::string>{"未核实", "未核实", "未核实"}));
    EXPECT_EQ(U(window_.grid(component::kBaiduGrid).cell(1, kStatusColumn)->tip), "页面无飘红");
    EXPECT_EQ(window_.caption(component::kBaiduValueLabel), "");
    // Fewer than half verified: "核实不足" after the coverage, the value (none here) grey.
    EXPECT_EQ(U(window_.caption(component::kBaiduCoverageLabel)), "已核实 0/3 核实不足");
    EXPECT_EQ(window_.labelColour(component::kBaiduValueLabel), kColourGrey);
    EXPECT_EQ(window_.labelColour(component::kBaiduCoverageLabel), kColourRed);
    EXPECT_TRUE(platform_.messages().empty());
    // 360: two verified pages without highlights: every segment shows 0 and is original.
    EXPECT_EQ(column(component::k360Grid, 2), (std::vector<std::string>{"0", "0", "0"}));
    EXPECT_EQ(column(component::k360Grid, kStatusColumn),
              (std::vector<std::string>{"原创", "原创", "原创"}));
    EXPECT_EQ(U(window_.caption(component::k360ValueLabel)), "100%");
    EXPECT_EQ(window_.labelColour(component::k360ValueLabel), kDefaultLabelColour);
    EXPECT_EQ(U(window_.caption(component::k360CoverageLabel)), "已核实 3/3");
    EXPECT_EQ(window_.labelColour(component::k360CoverageLabel), kDefaultLabelColour);
    EXPECT_EQ(U(window_.caption(component::k360VerdictLabel)), "你乃神人，此文原创");
}

TEST_F(PassFixture, HighlightCaseAndLengthRules) {
    // Upper-case EM tags: Baidu finds them, 360 does not. Runs of 29 characters never count.
    serveBoth([](const std::string& q, int) {
        std::string longRun = q.substr(0, 30 * 3);
        std::string shortRun = q.substr(3, 29 * 3);
        return pageHighlighting(longRun, "EM") + pageHighlighting(shortRun);
    });
    window_.setEditContent(component::kArticleBox, chinese(38));
    runBaiduPass(env_);
    run360Pass(env_);
    EXPECT_EQ(column(component::kBaiduGrid, 2), (std::vector<std::string>{"1"}));
    EXPECT_EQ(column(component::k360Grid, 2), (std::vector<std::string>{"0"}));

    // With 飘红检测数 5 the threshold is raised to 12 characters: the 29-character run
    // counts, once on each of the two pages.
    writeSettings("[原创检测配置]\r\n飘红检测数=5\r\n");
    run360Pass(env_);
    EXPECT_EQ(column(component::k360Grid, 2), (std::vector<std::string>{"2"}));
}

TEST_F(PassFixture, SettingsFromTheFileShapeTheSegments) {
    serveBoth([](const std::string& q, int) { return pageHighlighting(q); });
    writeSettings("[原创检测配置]\r\n段落字数=20\r\n飘红检测数=12\r\n");
    window_.setEditContent(component::kArticleBox, chinese(50));
    runBaiduPass(env_);
    std::vector<std::string> texts = column(component::kBaiduGrid, 1);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[2].size(), 10u * 3);  // 20, 20 and 10 characters
    EXPECT_EQ(column(component::kBaiduGrid, 2), (std::vector<std::string>{"1", "1", "0"}));

    writeSettings("[原创检测配置]\r\n段落字数=50\r\n");  // above 38: used as 38
    runBaiduPass(env_);
    EXPECT_EQ(column(component::kBaiduGrid, 1).size(), 2u);
}

TEST_F(PassFixture, CancelAtTheBlockPromptEndsThePassWithoutAPercentage) {
    std::atomic<int> requests{0};
    serveBoth([&](const std::string& q, int) {
        return ++requests == 2 ? std::string() : pageHighlighting(q);
    });
    platform_.queueAnswer(kAnswerCancel);
    window_.setEditContent(component::kArticleBox, chinese(5 * 38));
    EXPECT_EQ(runBaiduPass(env_), PassEnd::Cancelled);

    // The row worked on keeps why its page prompted; the segments never
    // reached are unverified (已取消).
    EXPECT_EQ(column(component::kBaiduGrid, 0),
              (std::vector<std::string>{"1", "2", "3", "4", "5"}));
    EXPECT_EQ(column(component::kBaiduGrid, 2), (std::vector<std::string>{"1", "", "", "", ""}));
    EXPECT_EQ(column(component::kBaiduGrid, kStatusColumn),
              (std::vector<std::string>{"命中", "未核实", "未核实", "未核实", "未核实"}));
    EXPECT_EQ(U(window_.grid(component::kBaiduGrid).cell(2, kStatusColumn)->tip), "空白页面");
    EXPECT_EQ(U(window_.grid(component::kBaiduGrid).cell(5, kStatusColumn)->tip), "已取消");
    EXPECT_EQ(server_.requests().size(), 2u);
    EXPECT_EQ(window_.caption(component::kBaiduValueLabel), "");
    EXPECT_EQ(U(window_.caption(component::kBaiduCoverageLabel)), "已取消 1/5");
    EXPECT_FALSE(window_.buttonDisabled(component::kCheckButton));
    ASSERT_EQ(platform_.messages().size(), 1u);
    EXPECT_EQ(U(platform_.messages()[0].title), "百度提示");
    EXPECT_EQ(U(platform_.messages()[0].message),
              "百度可能暂时屏蔽本机搜索\r\n\r\n点击 确定，继续查询\r\n\r\n点击 取消，放弃本次查询，"
              "然后用浏览器打开百度搜索关键词，并输入验证码");
    EXPECT_EQ(platform_.messages()[0].style & 0xF, kMbOkCancel);
}

TEST_F(PassFixture, OkAtTheBlockPromptGoesOnAndLeavesTheSegmentsUnverified) {
    serveBoth([](const std::string&, int) { return std::string(); });
    platform_.setDefaultAnswer(kAnswerOk);
    window_.setEditContent(component::kArticleBox, chinese(60));
    EXPECT_EQ(runBaiduPass(env_), PassEnd::Normal);
    EXPECT_EQ(platform_.messages().size(), 2u);                   // once per empty page
    EXPECT_EQ(window_.caption(component::kBaiduValueLabel), "");  // never 0%
    EXPECT_EQ(U(window_.caption(component::kBaiduCoverageLabel)), "已核实 0/2 核实不足");

    // 360 asks after each page while no page of the segment was verified: twice per segment.
    EXPECT_EQ(run360Pass(env_), PassEnd::Normal);
    EXPECT_EQ(platform_.messages().size(), 2u + 4u);
    EXPECT_EQ(U(platform_.messages().back().title), "360搜索提示");
    EXPECT_EQ(U(platform_.messages().back().message),
              "360可能暂时屏蔽本机搜索\r\n\r\n点击 确定，继续查询\r\n\r\n点击 取消，放弃本次查询，"
              "然后用浏览器打开360搜索搜索关键词，并输入验证码");
    EXPECT_EQ(column(component::k360Grid, 2), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(window_.caption(component::k360ValueLabel), "");  // never 100%
    EXPECT_EQ(U(window_.caption(component::k360VerdictLabel)), "核实不足（2段未核实）");
    GridModel grid = window_.grid(component::k360Grid);
    EXPECT_EQ(U(grid.cell(1, kStatusColumn)->tip), "空白页面");
    EXPECT_EQ(grid.rowBackground(1), kColourUnverifiedRow);
}

// Pages built like Baidu's, each clause of the query highlighted apart inside
// one result: 整句 finds the pieces by coverage and shows it in 覆盖 with the
// result as source; 经典 on the same pages finds nothing and shows no 覆盖.
TEST_F(PassFixture, WholeSentencesAreFoundByCoverageAndShowIt) {
    serve(
        [](const std::string& q, int) {
            std::string body;
            std::string clause;
            auto flush = [&] {
                body += clause.empty() ? "" : "<em>" + clause + "</em>，";
                clause.clear();
            };
            for (std::size_t i = 0; i < q.size();) {
                const std::size_t n = (q[i] & 0x80) == 0 ? 1 : 3;
                const std::string c = q.substr(i, n);
                if (c == "," || c == "，" || c == "。") {
                    flush();
                } else {
                    clause += c;
                }
                i += n;
            }
            flush();
            return "<html><body><div class=\"result c-container\" mu=\"http://copy.cn/a\">"
                   "<h3 class=\"t\"><a href=\"/link?url=x\">抄本</a></h3>"
                   "<div class=\"c-abstract\">" +
                   body + "</div></div></body></html>";
        },
        nullptr);
    window_.setEditContent(component::kArticleBox,
                           G("卖豆腐的摊子冒着热气，老板娘一边切豆腐一边跟熟客聊家常。"
                             "鱼摊前的水盆里，鲫鱼甩着尾巴溅了顾客一身水。"));
    env_.mode = CheckMode::Sentence;
    EXPECT_EQ(runBaiduPass(env_), PassEnd::Normal);
    EXPECT_EQ(column(component::kBaiduGrid, kStatusColumn),
              (std::vector<std::string>{"命中", "命中"}));
    EXPECT_EQ(column(component::kBaiduGrid, 2), (std::vector<std::string>{"2", "2"}));
    EXPECT_EQ(column(component::kBaiduGrid, kCoverageColumn),
              (std::vector<std::string>{"100%", "100%"}));
    EXPECT_EQ(column(component::kBaiduGrid, kSourceColumn),
              (std::vector<std::string>{"抄本", "抄本"}));
    env_.mode = CheckMode::Classic;
    EXPECT_EQ(runBaiduPass(env_), PassEnd::Normal);
    EXPECT_EQ(column(component::kBaiduGrid, kStatusColumn),
              (std::vector<std::string>{"原创", "原创"}));
    EXPECT_EQ(column(component::kBaiduGrid, kCoverageColumn), (std::vector<std::string>{"", ""}));
}

TEST_F(PassFixture, ALastSegmentShorterThan最后段字数IsNeitherQueriedNorCounted) {
    serveBoth([](const std::string& q, int) { return pageHighlighting(q); });
    // 38 + 38 + 2 characters: the last two, under the default 5, are 不计.
    window_.setEditContent(component::kArticleBox, chinese(78));
    EXPECT_EQ(run360Pass(env_), PassEnd::Normal);
    EXPECT_EQ(server_.targets().size(), 4u);
    EXPECT_EQ(column(component::k360Grid, kStatusColumn),
              (std::vector<std::string>{"命中", "命中", "不计"}));
    EXPECT_EQ(column(component::k360Grid, 2), (std::vector<std::string>{"2", "2", ""}));
    EXPECT_EQ(U(window_.grid(component::k360Grid).cell(3, kStatusColumn)->tip), "最后一段过短");
    EXPECT_EQ(U(window_.caption(component::k360ValueLabel)), "0%");
    EXPECT_EQ(U(window_.caption(component::k360CoverageLabel)), "已核实 2/2");
    EXPECT_EQ(U(window_.caption(component::k360VerdictLabel)), "别灰心额，还需努力");
    // 0 keeps every segment; so does an article of one segment.
    writeSettings("[原创检测配置]\r\n最后段字数=0\r\n");
    EXPECT_EQ(runBaiduPass(env_), PassEnd::Normal);
    EXPECT_EQ(U(window_.caption(component::kBaiduCoverageLabel)), "已核实 3/3");
    writeSettings("[原创检测配置]\r\n最后段字数=38\r\n");
    window_.setEditContent(component::kArticleBox, chinese(20));
    EXPECT_EQ(runBaiduPass(env_), PassEnd::Normal);
    EXPECT_EQ(U(window_.caption(component::kBaiduCoverageLabel)), "已核实 1/1");
}

TEST_F(PassFixture, FewerThanHalfVerifiedGiveNoVerdictAndAGreyValue) {
    // The first segment's two pages answer, every later page is empty.
    auto served = std::make_shared<std::atomic<int>>(0);
    serve(nullptr, [served](const std::string&, int) {
        return ++*served <= 2 ? std::string("<p>无关</p>") : std::string();
    });
    platform_.setDefaultAnswer(kAnswerOk);
    window_.setEditContent(component::kArticleBox, chinese(100));
    EXPECT_EQ(run360Pass(env_), PassEnd::Normal);
    EXPECT_EQ(U(window_.caption(component::k360ValueLabel)), "100%");
    EXPECT_EQ(window_.labelColour(component::k360ValueLabel), kColourGrey);
    EXPECT_EQ(U(window_.caption(component::k360VerdictLabel)), "核实不足（2段未核实）");
    // Half verified is enough for a verdict.
    served->store(-2);
    EXPECT_EQ(run360Pass(env_), PassEnd::Normal);
    EXPECT_EQ(U(window_.caption(component::k360VerdictLabel)), "你乃神人，此文原创（1段未核实）");
    EXPECT_EQ(window_.labelColour(component::k360ValueLabel), kDefaultLabelColour);
}

TEST_F(PassFixture, InvalidUtf8CountsAsAnEmptyPage) {
    serveBoth([](const std::string&, int) { return std::string("<em>\xFF\xFE</em>"); });
    platform_.queueAnswer(kAnswerCancel);
    window_.setEditContent(component::kArticleBox, chinese(10));
    EXPECT_EQ(run360Pass(env_), PassEnd::Cancelled);
    EXPECT_EQ(column(component::k360Grid, 2), (std::vector<std::string>{""}));
    EXPECT_EQ(platform_.messages().size(), 1u);
}

TEST_F(PassFixture, AnEmptyArticleIsRefusedWithAMessage) {
    window_.setEditContent(component::kArticleBox, "");
    EXPECT_EQ(runBaiduPass(env_), PassEnd::EmptyArticle);
    ASSERT_EQ(platform_.messages().size(), 1u);
    EXPECT_EQ(platform_.messages()[0].message, G("请拷贝待检测文章"));
    EXPECT_EQ(platform_.messages()[0].title, G("提示"));
    EXPECT_FALSE(window_.buttonDisabled(component::kCheckButton));
    EXPECT_TRUE(server_.requests().empty());

    // White space only passes the test and gives no segments and no percentage.
    window_.setEditContent(component::kArticleBox, " \r\n abc ");
    EXPECT_EQ(runBaiduPass(env_), PassEnd::Normal);
    EXPECT_EQ(window_.grid(component::kBaiduGrid).rowCount(), 1);
    EXPECT_EQ(U(window_.caption(component::kCharCountLabel)), "0");
    EXPECT_EQ(window_.caption(component::kBaiduValueLabel), "");
}

TEST_F(PassFixture, ARunEmptiesOnlyItsOwnGridDownToTheHeadings) {
    serveBoth([](const std::string& q, int) { return pageHighlighting(q); });
    window_.setEditContent(component::kArticleBox, chinese(100));
    runBaiduPass(env_);
    run360Pass(env_);
    window_.setEditContent(component::kArticleBox, chinese(10));
    runBaiduPass(env_);
    EXPECT_EQ(window_.grid(component::kBaiduGrid).rowCount(), 2);
    EXPECT_EQ(window_.grid(component::k360Grid).rowCount(), 4);
    EXPECT_EQ(U(window_.grid(component::kBaiduGrid).cellText(0, 3)), "搜索");
}

TEST_F(PassFixture, ACheckRunKeepsTheButtonDisabledUntilBothPassesEnd) {
    std::mutex gate;
    std::unique_lock hold(gate);  // the 360 pages wait until the Baidu pass has ended
    serve([](const std::string& q, int) { return pageHighlighting(q); },
          [&gate](const std::string& q, int) {
              std::lock_guard pass(gate);
              return pageHighlighting(q);
          });
    window_.setEditContent(component::kArticleBox, chinese(100));
    CheckRun run(env_);
    ASSERT_TRUE(run.start());
    EXPECT_FALSE(run.start());  // a press while the run is active starts nothing
    while (run.lastRun().empty()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_EQ(run.lastRun()[0].engine, Engine::Baidu);
    EXPECT_TRUE(run.active());
    EXPECT_TRUE(window_.buttonDisabled(component::kCheckButton));
    hold.unlock();
    run.wait();
    EXPECT_FALSE(window_.buttonDisabled(component::kCheckButton));
    EXPECT_EQ(run.lastRun().size(), 2u);
    EXPECT_EQ(window_.grid(component::kBaiduGrid).rowCount(), 4);
    EXPECT_EQ(window_.grid(component::k360Grid).rowCount(), 4);
    EXPECT_EQ(U(window_.caption(component::kCharCountLabel)), "100");

    // Another run can start once this one has ended.
    window_.setTicked(component::kBaiduCheckBox, false);
    ASSERT_TRUE(run.start());
    run.wait();
    ASSERT_EQ(run.lastRun().size(), 1u);
    EXPECT_EQ(run.lastRun()[0].engine, Engine::So360);
}

// A press that cannot check says why, once, whatever is ticked: nothing
// ticked, an empty article, an article without a character a query would hold
// (in 经典 ASCII letters and digits are dropped), a local folder that is not
// there (said before any engine asks; the others still run).
TEST_F(PassFixture, APressWithNothingTickedOrNoArticleSaysSoOnce) {
    window_.setTicked(component::kBaiduCheckBox, false);
    window_.setTicked(component::k360CheckBox, false);
    window_.setEditContent(component::kArticleBox, chinese(10));
    CheckRun run(env_);
    EXPECT_FALSE(run.start());
    EXPECT_FALSE(window_.buttonDisabled(component::kCheckButton));
    ASSERT_EQ(platform_.messages().size(), 1u);
    EXPECT_EQ(U(platform_.messages()[0].message), "请至少勾选一个搜索引擎");

    window_.setTicked(component::kBaiduCheckBox, true);
    window_.setTicked(component::k360CheckBox, true);
    window_.setEditContent(component::kArticleBox, "");
    EXPECT_FALSE(run.start());
    EXPECT_FALSE(run.active());
    ASSERT_EQ(platform_.messages().size(), 2u);
    EXPECT_EQ(platform_.messages()[1].message, pass_texts::pasteArticle());
    EXPECT_FALSE(window_.buttonDisabled(component::kCheckButton));

    writeSettings("[原创检测配置]\r\n检测方式=经典\r\n");
    for (const char* article : {" \r\n\t ", "，。！？……", "Only English 2026."}) {
        window_.setEditContent(component::kArticleBox, G(article));
        EXPECT_FALSE(run.start()) << article;
        EXPECT_EQ(U(platform_.messages().back().message), "文章中没有可检测的文字");
        ASSERT_EQ(run.lastRun().size(), 2u);
        EXPECT_EQ(run.lastRun()[0].end, PassEnd::EmptyArticle);
    }
    EXPECT_EQ(platform_.messages().size(), 5u);
    EXPECT_EQ(server_.requests().size(), 0u);

    serveBoth([](const std::string& q, int) { return pageHighlighting(q); });
    writeSettings("[原创检测配置]\r\n本地文档目录=/nonexistent/folder\r\n");
    window_.setTicked(component::kLocalCheckBox, true);
    window_.setEditContent(component::kArticleBox, chinese(10));
    // Said while the press starts the run, before the engines' threads exist.
    ASSERT_TRUE(run.start());
    EXPECT_EQ(U(platform_.messages().back().message), "本地文档目录不存在：/nonexistent/folder");
    run.wait();
    EXPECT_EQ(server_.requests().size(), 3u);
    EXPECT_EQ(run.lastRun().size(), 3u);
    EXPECT_EQ(run.lastRun()[0].end, PassEnd::NoDocuments);
}

// Stopping a run: every pass ends at its next step, the fetch in flight
// aborted; the rows so far stay, no value, the rest unverified (已停止); the
// recheck finishes the run once fetches work again.
TEST_F(PassFixture, StopEndsEveryPassAndTheRecheckFinishesTheRun) {
    // The server's handlers own what they share with the test: an answer
    // aborted by the stop may still be written after the test body ends.
    auto released = std::make_shared<std::atomic<bool>>(false);
    auto queries = std::make_shared<std::atomic<int>>(0);
    auto slowAfterTwo = [released, queries](const std::string& q, int) {
        if (++*queries > 4) {
            for (int i = 0; i < 500 && !*released; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        }
        return pageHighlighting(q.substr(0, 30));
    };
    serve(slowAfterTwo, [slowAfterTwo](const std::string& q, int page) {
        return page == 1 ? slowAfterTwo(q, page) : std::string("<html></html>");
    });
    window_.setEditContent(component::kArticleBox, chinese(190));  // five segments
    CheckRun run(env_);
    EXPECT_FALSE(run.stop());  // nothing to stop
    ASSERT_TRUE(run.start());
    EXPECT_FALSE(window_.buttonDisabled(component::kStopButton));
    while (server_.requests().size() < 5) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_TRUE(run.stop());
    run.wait();
    EXPECT_TRUE(window_.buttonDisabled(component::kStopButton));
    EXPECT_FALSE(window_.buttonDisabled(component::kCheckButton));
    EXPECT_FALSE(fetchesAborted());
    EXPECT_TRUE(platform_.messages().empty());
    for (Engine engine : {Engine::Baidu, Engine::So360}) {
        const EngineIdentity& shown = engineIdentity(engine);
        GridModel grid = window_.grid(shown.grid);
        ASSERT_EQ(grid.rowCount(), 6) << shown.grid;
        int verified = 0;
        for (int row = 1; row < grid.rowCount(); ++row) {
            if (grid.cellText(row, kStatusColumn) != statusText(SegmentStatus::Unverified)) {
                ++verified;
                continue;
            }
            EXPECT_EQ(grid.cell(row, kStatusColumn)->tip, stoppedReason()) << row;
            EXPECT_NE(grid.cellText(row, kUrlColumn), "") << row;
        }
        EXPECT_LT(verified, 5);
        EXPECT_EQ(U(window_.caption(shown.valueLabel)), "");
        EXPECT_EQ(U(window_.caption(shown.coverageLabel)),
                  "已停止 " + std::to_string(verified) + "/5");
    }

    *released = true;
    ASSERT_TRUE(run.recheckUnverified());
    run.wait();
    for (Engine engine : {Engine::Baidu, Engine::So360}) {
        const EngineIdentity& shown = engineIdentity(engine);
        EXPECT_EQ(U(window_.caption(shown.coverageLabel)), "已核实 5/5");
        EXPECT_NE(U(window_.caption(shown.valueLabel)), "");
    }
    EXPECT_FALSE(run.hasUnverified());
}

// An engine address in the settings file that is no base URL stops that
// engine's pass at its start: the message names key and value, nothing is
// queried and no value written; the other engine and a given address go on.
TEST_F(PassFixture, AnInvalidEngineAddressStopsItsPassWithAMessage) {
    serveBoth([](const std::string& q, int) { return pageHighlighting(q); });
    window_.setEditContent(component::kArticleBox, chinese(10));
    ASSERT_EQ(runBaiduPass(env_), PassEnd::Normal);  // a value from an earlier pass
    const std::string bad = "http://127.0.0.1:08000";
    writeSettings("[搜索引擎]\r\n百度=" + bad + "\r\n360=" + server_.baseUrl() + "/\r\n");
    env_.baiduUrl.clear();
    env_.url360.clear();
    server_.clearRequests();

    EXPECT_EQ(runBaiduPass(env_), PassEnd::Cancelled);
    ASSERT_EQ(platform_.messages().size(), 1u);
    EXPECT_EQ(U(platform_.messages()[0].message), "配置.ini 中 [搜索引擎] 百度 的地址无效：" + bad);
    EXPECT_TRUE(server_.requests().empty());
    EXPECT_EQ(window_.caption(component::kBaiduValueLabel), "");
    EXPECT_EQ(window_.caption(component::kBaiduCoverageLabel), "");
    EXPECT_FALSE(window_.buttonDisabled(component::kCheckButton));
    EXPECT_EQ(run360Pass(env_), PassEnd::Normal);
    EXPECT_EQ(U(window_.caption(component::k360ValueLabel)), "100%");

    // The window's run: the Baidu pass ends at once, the 360 pass goes on.
    window_.setTicked(component::kBaiduCheckBox, true);
    window_.setTicked(component::k360CheckBox, true);
    {
        CheckRun run(env_);
        ASSERT_TRUE(run.start());
        run.wait();
        std::vector<PassRecord> records = run.lastRun();
        ASSERT_EQ(records.size(), 2u);
        for (const PassRecord& record : records) {
            EXPECT_EQ(record.end,
                      record.engine == Engine::Baidu ? PassEnd::Cancelled : PassEnd::Normal);
        }
    }
    EXPECT_EQ(platform_.messages().size(), 2u);
    EXPECT_FALSE(window_.buttonDisabled(component::kCheckButton));
    EXPECT_EQ(window_.caption(component::kBaiduValueLabel), "");

    // A recheck leaves the rows of the earlier pass as they were.
    serveBoth([](const std::string&, int) { return std::string(); });
    env_.baiduUrl = server_.baseUrl();
    PassOutcome outcome;
    ASSERT_EQ(runEnginePass(Engine::Baidu, env_, outcome), PassEnd::Normal);
    ASSERT_TRUE(outcome.hasUnverified());
    env_.baiduUrl.clear();
    server_.clearRequests();
    const std::size_t shown = platform_.messages().size();
    EXPECT_EQ(recheckEnginePass(Engine::Baidu, env_, outcome), PassEnd::Cancelled);
    EXPECT_EQ(platform_.messages().size(), shown + 1);
    EXPECT_TRUE(server_.requests().empty());
    EXPECT_EQ(column(component::kBaiduGrid, kStatusColumn), (std::vector<std::string>{"未核实"}));
    EXPECT_EQ(U(window_.caption(component::kBaiduCoverageLabel)), "已核实 0/1 核实不足");
}

}  // namespace
}  // namespace oc
