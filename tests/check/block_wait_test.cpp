// 自动等待: an engine that blocks is paused and asked again, a failing one
// stopped, 不再询问 turns the prompts off, 停止检测 ends a pause, against a
// real HTTP server on 127.0.0.1.
#include "check/block_wait.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "check/check_pass.h"
#include "check/check_run.h"
#include "check/memory_window.h"
#include "check/pass_texts.h"
#include "check/segment_status.h"
#include "tests/support/gbk.h"
#include "tests/support/loopback_server.h"
#include "tests/support/scripted_platform.h"

namespace oc {
namespace {

using namespace std::chrono_literals;
using testing::G;
using testing::U;

// n Chinese characters without punctuation.
Text chinese(int n) {
    static const char* const kChars[] = {"春", "眠", "不", "觉", "晓",
                                         "处", "闻", "啼", "鸟", "夜"};
    std::string utf8;
    for (int i = 0; i < n; ++i) {
        utf8 += kChars[(i * 7) % 10];
    }
    return G(utf8);
}

// Three segments: 38, 38 and 24 characters.
const Text kArticle = chinese(100);

// A window that keeps the countdowns of the pauses.
class PauseWindow : public MemoryWindow {
  public:
    void enginePaused(std::string_view, int secondsLeft) override {
        std::lock_guard lock(mutex_);
        countdowns_.push_back(secondsLeft);
    }
    std::vector<int> countdowns() const {
        std::lock_guard lock(mutex_);
        return countdowns_;
    }

  private:
    mutable std::mutex mutex_;
    std::vector<int> countdowns_;
};

class BlockWait : public ::testing::Test {
  protected:
    void SetUp() override {
        server_.server().Get("/s", [this](const httplib::Request&, httplib::Response& res) {
            const int number = ++requests_;
            // An empty page is a block; otherwise a page without copies.
            res.set_content(
                blocked_(number) ? "" : "<html><body><p><em>无关</em>的结果</p></body></html>",
                "text/html; charset=utf-8");
        });
        server_.start();
        window_.setEditContent(component::kArticleBox, kArticle);
        env_.window = &window_;
        env_.platform = &platform_;
        env_.settingsPath = "/nonexistent/none.ini";
        env_.baiduUrl = server_.baseUrl();
        env_.url360 = server_.baseUrl();
        env_.stop = &stop_;
    }

    PassEnd runBaidu(PassOutcome& outcome) { return runEnginePass(Engine::Baidu, env_, outcome); }

    testing::LoopbackServer server_;
    std::atomic<int> requests_{0};
    std::function<bool(int number)> blocked_ = [](int) { return false; };
    PauseWindow window_;
    testing::ScriptedPlatform platform_;
    std::atomic<bool> stop_{false};
    PassEnvironment env_;
};

TEST_F(BlockWait, ABlockedEnginePausesCountsDownAndAsksThePageAgainWithoutAPrompt) {
    // The second segment is blocked twice, then served.
    blocked_ = [](int number) { return number == 2 || number == 3; };
    env_.blocks = std::make_shared<BlockPolicy>(BlockAnswer::Wait, 300ms);
    PassOutcome outcome;
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(runBaidu(outcome), PassEnd::Normal);
    // 300 ms, then doubled: 600 ms.
    EXPECT_GE(std::chrono::steady_clock::now() - started, 900ms);
    EXPECT_EQ(requests_.load(), 5);
    ASSERT_EQ(outcome.total(), 3);
    EXPECT_EQ(outcome.verified(), 3);
    EXPECT_TRUE(platform_.messages().empty());
    const std::vector<int> countdowns = window_.countdowns();
    ASSERT_FALSE(countdowns.empty());
    EXPECT_EQ(countdowns.front(), 1);
    EXPECT_EQ(countdowns.back(), 0);
}

TEST_F(BlockWait, AfterThreeTriesTheSegmentStaysUnverifiedAndTheEngineGoesOn) {
    blocked_ = [](int number) { return number >= 2 && number <= 4; };
    env_.blocks = std::make_shared<BlockPolicy>(BlockAnswer::Wait, 50ms);
    PassOutcome outcome;
    EXPECT_EQ(runBaidu(outcome), PassEnd::Normal);
    EXPECT_EQ(requests_.load(), 5);  // 1, three tries of the second, 1
    ASSERT_EQ(outcome.total(), 3);
    EXPECT_EQ(outcome.results[1].status, SegmentStatus::Unverified);
    EXPECT_EQ(outcome.results[2].status, SegmentStatus::Original);
    EXPECT_TRUE(platform_.messages().empty());
}

TEST_F(BlockWait, ThreeFailuresInARowThatAreNoBlocksStopTheEngine) {
    env_.baiduUrl = "http://127.0.0.1:1";  // nothing listens there
    env_.blocks = std::make_shared<BlockPolicy>(BlockAnswer::Wait, 10min);
    window_.setEditContent(component::kArticleBox, chinese(130));
    PassOutcome outcome;
    EXPECT_EQ(runBaidu(outcome), PassEnd::Normal);
    ASSERT_EQ(outcome.total(), 4);
    EXPECT_EQ(outcome.verified(), 0);
    // The third failure stops the engine: its segment and the rest say so.
    EXPECT_NE(U(outcome.results[1].reason), U(pass_texts::engineStopped(G("百度"))));
    EXPECT_EQ(U(outcome.results[2].reason), U(pass_texts::engineStopped(G("百度"))));
    EXPECT_EQ(U(outcome.results[3].reason), U(pass_texts::engineStopped(G("百度"))));
    EXPECT_TRUE(platform_.messages().empty());
    EXPECT_TRUE(window_.countdowns().empty()) << "failures are no blocks: no pause";
}

TEST_F(BlockWait, NoMoreAskTurnsThePromptIntoWaitingForTheRestOfTheRun) {
    blocked_ = [](int number) { return number == 2 || number == 3; };
    env_.blocks = std::make_shared<BlockPolicy>(BlockAnswer::Ask, 50ms);
    platform_.queueAnswer(kAnswerNoMoreAsk);
    PassOutcome outcome;
    EXPECT_EQ(runBaidu(outcome), PassEnd::Normal);
    ASSERT_EQ(platform_.messages().size(), 1u);
    EXPECT_EQ(platform_.messages()[0].style & 0xF, kMbOkCancelNoMoreAsk);
    EXPECT_NE(U(platform_.messages()[0].message).find("不再询问"), std::string::npos);
    EXPECT_EQ(env_.blocks->answer(), BlockAnswer::Wait);
    EXPECT_EQ(outcome.verified(), 3);
    EXPECT_EQ(requests_.load(), 5);
}

TEST_F(BlockWait, StoppingTheCheckEndsAPauseAtOnce) {
    blocked_ = [](int number) { return number >= 2; };
    env_.blocks = std::make_shared<BlockPolicy>(BlockAnswer::Wait, 10min);
    std::thread stopper([this] {
        while (window_.countdowns().empty()) {
            std::this_thread::sleep_for(10ms);
        }
        stop_ = true;
    });
    PassOutcome outcome;
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(runBaidu(outcome), PassEnd::Cancelled);
    stopper.join();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
    ASSERT_EQ(outcome.total(), 3);
    EXPECT_EQ(U(outcome.results[1].reason), U(stoppedReason()));
    EXPECT_EQ(window_.countdowns().back(), 0);
}

TEST_F(BlockWait, ThePausedEngineDoesNotHoldUpTheOther) {
    // Baidu is blocked from its second query on; 360 is served by another server.
    testing::LoopbackServer served;
    served.server().Get("/s", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<html><body><p><em>无关</em>的结果</p></body></html>",
                        "text/html; charset=utf-8");
    });
    served.start();
    env_.url360 = served.baseUrl();
    blocked_ = [](int number) { return number >= 2; };
    env_.blocks = std::make_shared<BlockPolicy>(BlockAnswer::Wait, 10min);
    window_.setTicked(component::kBaiduCheckBox, true);
    window_.setTicked(component::k360CheckBox, true);
    CheckRun run(env_);
    ASSERT_TRUE(run.start());
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    auto ended360 = [&run] {
        for (const PassRecord& record : run.lastRun()) {
            if (record.engine == Engine::So360) {
                return true;
            }
        }
        return false;
    };
    // However slowly either engine gets going, 360 ends while Baidu is paused.
    while ((!ended360() || window_.countdowns().empty()) &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(20ms);
    }
    EXPECT_TRUE(ended360());
    EXPECT_TRUE(run.active()) << "Baidu still waits out its block";
    const std::vector<int> countdowns = window_.countdowns();
    EXPECT_FALSE(countdowns.empty()) << "the window is told of the pause";
    EXPECT_GT(countdowns.empty() ? 0 : countdowns.front(), 500);
    run.stop();
    run.wait();
    EXPECT_EQ(run.lastOutcomes()[Engine::So360].verified(), 3);
    served.stop();
}

TEST(EngineBackOff, EachFurtherBlockDoublesThePauseUpToAnHour) {
    EngineBackOff backOff(20min);
    EXPECT_EQ(backOff.pauseForBlock(), 20min);
    EXPECT_EQ(backOff.pauseForBlock(), 40min);
    EXPECT_EQ(backOff.pauseForBlock(), 60min);
    EXPECT_EQ(backOff.pauseForBlock(), 60min);
    EXPECT_FALSE(backOff.failedInARow());
    EXPECT_FALSE(backOff.failedInARow());
    backOff.pageArrived();
    EXPECT_FALSE(backOff.failedInARow());
    EXPECT_FALSE(backOff.failedInARow());
    EXPECT_TRUE(backOff.failedInARow());
}

}  // namespace
}  // namespace oc
