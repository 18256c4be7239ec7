// A 200,000-character article checked by both passes at once against a fast
// loopback server: every segment gets its row, in order, and both passes end
// with their percentage. (Its time and memory are measured in
// bench/bench_large_article.cpp.)
#include <gtest/gtest.h>

#include "check/check_run.h"
#include "check/memory_window.h"
#include "check/segmentation.h"
#include "tests/support/gbk.h"
#include "tests/support/long_article.h"
#include "tests/support/loopback_server.h"
#include "tests/support/scripted_platform.h"

namespace oc {
namespace {

TEST(LargeArticle, ChecksThroughToTheEndWithBothPasses) {
    testing::LoopbackServer server;
    server.server().Get("/s", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<p>结果<em>春天</em>与<em>早晨</em></p>", "text/html; charset=utf-8");
    });
    server.start();
    const Text article = testing::longArticle(200000);
    const SegmentList segments = splitSegments(cutSegments(prepareArticle(article), 76));
    ASSERT_GT(segments.size(), 5000u);

    MemoryWindow window;
    window.setEditContent(component::kArticleBox, article);
    testing::ScriptedPlatform platform;
    PassEnvironment env;
    env.window = &window;
    env.platform = &platform;
    env.settingsPath = "/nonexistent/配置.ini";
    env.mode = CheckMode::Classic;
    env.baiduUrl = server.baseUrl();
    env.url360 = server.baseUrl();
    CheckRun run(env);
    ASSERT_TRUE(run.start());
    run.wait();

    for (std::string_view grid : {component::kBaiduGrid, component::k360Grid}) {
        GridModel model = window.grid(grid);
        ASSERT_EQ(model.rowCount(), static_cast<int>(segments.size()) + 1) << grid;
        for (int row = 1; row < model.rowCount(); row += 997) {
            EXPECT_EQ(model.cellText(row, 0), std::to_string(row));
            EXPECT_EQ(model.cellText(row, 1), segments[static_cast<std::size_t>(row) - 1]);
            EXPECT_EQ(model.cellText(row, 2), "0");
        }
        EXPECT_EQ(model.cellText(model.rowCount() - 1, 1), segments.back());
    }
    EXPECT_EQ(window.caption(component::kBaiduValueLabel), "100%");
    EXPECT_EQ(window.caption(component::k360ValueLabel), "100%");
    EXPECT_EQ(server.requests().size(), 3 * segments.size());
    EXPECT_TRUE(platform.messages().empty());
    for (const PassRecord& pass : run.lastRun()) {
        EXPECT_EQ(pass.end, PassEnd::Normal);
    }
}

// One character more and nothing is checked: the message names the length,
// the article stays in the box as it was.
TEST(LargeArticle, OneCharacterOverTheLimitIsRefusedAndKeptInTheBox) {
    testing::LoopbackServer server;
    server.server().Get("/s", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<p>结果</p>", "text/html; charset=utf-8");
    });
    server.start();
    const Text article = testing::longArticle(200000) + testing::G("尾");
    MemoryWindow window;
    window.setEditContent(component::kArticleBox, article);
    testing::ScriptedPlatform platform;
    PassEnvironment env;
    env.window = &window;
    env.platform = &platform;
    env.settingsPath = "/nonexistent/配置.ini";
    env.baiduUrl = server.baseUrl();
    env.url360 = server.baseUrl();
    CheckRun run(env);
    EXPECT_FALSE(run.start());
    run.wait();
    ASSERT_EQ(platform.messages().size(), 1u);
    EXPECT_EQ(platform.messages()[0].message, testing::G("文章过长：200001 字，最多 200000 字"));
    EXPECT_TRUE(server.requests().empty());
    EXPECT_EQ(window.editContent(component::kArticleBox), article);
    EXPECT_EQ(window.gridRowCount(component::kBaiduGrid), 1);
    EXPECT_FALSE(window.buttonDisabled(component::kCheckButton));
}

}  // namespace
}  // namespace oc
