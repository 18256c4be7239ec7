// The typed results of a check: its request and settings snapshot, the
// listener calls of its passes, and the one computation of value, coverage
// and verdict that every output shows.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <mutex>

#include "check/check_run.h"
#include "check/pass_outcome.h"
#include "check/pass_steps.h"
#include "tests/check/pass_fixture.h"

namespace oc {
namespace {
using testing::chinese;
using testing::G;
using testing::pageHighlighting;
using testing::PassFixture;
using testing::U;

// Keeps what the listener heard, per engine.
class Recorder : public ResultListener {
  public:
    explicit Recorder(const CheckRun* run = nullptr) : run_(run) {}

    void runStarted(const CheckRequest& request, RunKind kind) override {
        std::lock_guard lock(mutex_);
        requests.push_back(request);
        kinds.push_back(kind);
    }
    void passStarted(Engine engine, int segments) override {
        std::lock_guard lock(mutex_);
        started[engine] = segments;
    }
    void segmentChecked(Engine engine, const CheckedSegment& segment) override {
        std::lock_guard lock(mutex_);
        checked[engine].push_back(
            {segment.index, segment.row, U(segment.text), segment.result.status});
    }
    void passEnded(Engine engine, const PassOutcome& outcome, const PassSummary& summary,
                   PassEnd end) override {
        std::lock_guard lock(mutex_);
        outcomes[engine] = outcome;
        summaries[engine] = summary;
        ends[engine] = end;
    }
    void runEnded(const std::vector<PassRecord>& passes) override {
        std::lock_guard lock(mutex_);
        runEnds.push_back(passes);
        // Every pass has ended first, and the run still counts as active.
        endedAfterPasses = outcomes.size() == passes.size();
        activeAtEnd = run_ != nullptr && run_->active();
    }

    struct Checked {
        std::size_t index;
        int row;
        std::string text;
        SegmentStatus status;
    };
    std::mutex mutex_;
    const CheckRun* run_;
    std::vector<CheckRequest> requests;
    std::vector<RunKind> kinds;
    std::map<Engine, int> started;
    std::map<Engine, std::vector<Checked>> checked;
    std::map<Engine, PassOutcome> outcomes;
    std::map<Engine, PassSummary> summaries;
    std::map<Engine, PassEnd> ends;
    std::vector<std::vector<PassRecord>> runEnds;
    bool endedAfterPasses = false;
    bool activeAtEnd = false;
};

// A run tells its listeners what it works from and each segment's result as
// the rows fill; the figures the passes end with are the ones the window shows.
TEST_F(PassFixture, ARunTellsItsListenersEverySegmentAndTheFiguresShown) {
    // Segments opening with 春 are copied, the others original.
    serveBoth([](const std::string& q, int) {
        return pageHighlighting(q.find("春") == 0 ? q : std::string("无关"));
    });
    writeSettings("[原创检测配置]\r\n段落字数=20\r\n飘红检测数=12\r\n忽略网站=own.example\r\n");
    const Text article =
        chinese(20, 0) + chinese(20, 1) + chinese(20, 0) + chinese(20, 1) + chinese(10, 0);
    window_.setEditContent(component::kArticleBox, article);
    window_.setTicked(component::kBaiduCheckBox, true);
    window_.setTicked(component::k360CheckBox, true);
    env_.ignoredSites = "extra.example";
    CheckRun run(env_);
    Recorder recorder(&run);
    run.listeners().add(recorder);
    ASSERT_TRUE(run.start());
    run.wait();

    ASSERT_EQ(recorder.requests.size(), 1u);
    const CheckRequest& request = recorder.requests[0];
    EXPECT_EQ(recorder.kinds[0], RunKind::Check);
    EXPECT_EQ(request.article, article);
    EXPECT_EQ(request.engines, (std::vector<Engine>{Engine::Baidu, Engine::So360}));
    EXPECT_EQ(request.settings.check.segmentChars, 20);
    EXPECT_EQ(request.settings.check.minRunChars, 12);
    EXPECT_EQ(request.settings.endpoints.baidu, server_.baseUrl());
    EXPECT_EQ(ignoreListOf(request.settings).domains(),
              (std::vector<std::string>{"own.example", "extra.example"}));
    ASSERT_NE(run.lastRequest(), nullptr);
    EXPECT_EQ(run.lastRequest()->startedAt, request.startedAt);

    for (Engine engine : {Engine::Baidu, Engine::So360}) {
        const EngineIdentity& shown = engineIdentity(engine);
        const PassOutcome& outcome = recorder.outcomes[engine];
        EXPECT_EQ(recorder.started[engine], 5);
        ASSERT_EQ(recorder.checked[engine].size(), 5u);
        for (std::size_t i = 0; i < 5; ++i) {
            const auto& seen = recorder.checked[engine][i];
            EXPECT_EQ(seen.index, i);
            EXPECT_EQ(seen.row, static_cast<int>(i) + 1);
            EXPECT_EQ(seen.text, U(outcome.segments[i]));
            EXPECT_EQ(seen.status, outcome.results[i].status);
        }
        EXPECT_EQ(recorder.ends[engine], PassEnd::Normal);
        const PassSummary& summary = recorder.summaries[engine];
        EXPECT_GT(summary.original, 0);
        EXPECT_LT(summary.original, summary.total);
        EXPECT_EQ(summary.value, window_.caption(shown.valueLabel));
        EXPECT_EQ(summary.coverage, window_.caption(shown.coverageLabel));
        EXPECT_EQ(U(summary.coverage), "已核实 5/5");
        if (shown.hasVerdict()) {
            EXPECT_EQ(summary.verdict, window_.caption(shown.verdictLabel));
        }
    }
    ASSERT_EQ(recorder.runEnds.size(), 1u);
    EXPECT_EQ(recorder.runEnds[0].size(), 2u);
    EXPECT_TRUE(recorder.endedAfterPasses);
    EXPECT_TRUE(recorder.activeAtEnd);
    EXPECT_FALSE(window_.buttonDisabled(component::kCheckButton));
}

// The recheck completes its check with the check's own settings: a settings
// file changed since (an address no longer valid, another 飘红检测数) is not read.
TEST_F(PassFixture, TheRecheckUsesTheSettingsOfItsCheck) {
    serveBoth([](const std::string&, int) { return std::string(); });  // unverified
    writeSettings("[原创检测配置]\r\n飘红检测数=12\r\n[搜索引擎]\r\n百度=" + server_.baseUrl() +
                  "\r\n");
    env_.baiduUrl.clear();
    window_.setEditContent(component::kArticleBox, chinese(60));
    window_.setTicked(component::kBaiduCheckBox, true);
    window_.setTicked(component::k360CheckBox, false);
    CheckRun run(env_);
    Recorder recorder;
    run.listeners().add(recorder);
    ASSERT_TRUE(run.start());
    run.wait();
    ASSERT_TRUE(run.hasUnverified());

    writeSettings(
        "[原创检测配置]\r\n飘红检测数=30\r\n[搜索引擎]\r\n百度=http://127.0.0.1:08000\r\n");
    // 15 characters highlighted: a copy by the check's 飘红检测数 (12), not by
    // the file's new one (30).
    serveBoth([](const std::string& q, int) { return pageHighlighting(q.substr(0, 45)); });
    const std::size_t prompts = platform_.messages().size();
    ASSERT_TRUE(run.recheckUnverified());
    run.wait();
    EXPECT_EQ(platform_.messages().size(), prompts);  // no message about the address
    EXPECT_EQ(U(window_.caption(component::kBaiduCoverageLabel)), "已核实 2/2");
    EXPECT_EQ(run.lastOutcomes()[Engine::Baidu].results[0].status, SegmentStatus::Hit);
    ASSERT_EQ(recorder.kinds.size(), 2u);
    EXPECT_EQ(recorder.kinds[1], RunKind::Recheck);
    EXPECT_EQ(recorder.requests[1].startedAt, recorder.requests[0].startedAt);
    EXPECT_EQ(run.lastRequest()->settings.check.minRunChars, 12);
}

// Value, coverage and verdict of a pass, by how it ended.
TEST(PassSummary, ValueCoverageAndVerdictFollowTheOutcome) {
    auto outcomeOf = [](std::vector<SegmentStatus> statuses, PassStop stop) {
        PassOutcome outcome;
        for (SegmentStatus status : statuses) {
            outcome.segments.push_back("x");
            outcome.rows.push_back(static_cast<int>(outcome.rows.size()) + 1);
            outcome.results.push_back({status, {}, 0, {}, false, {}, {}, {}, false, {}});
        }
        outcome.stop = stop;
        return outcome;
    };
    using S = SegmentStatus;
    struct Case {
        std::vector<SegmentStatus> statuses;
        PassStop stop;
        const char* value;
        const char* coverage;
        const char* verdict;
        bool incomplete;
    };
    const Case cases[] = {
        {{S::Original, S::Original, S::Hit},
         PassStop::Finished,
         "66.67%",
         "已核实 3/3",
         "已经合格，有待提升",
         false},
        {{S::Original, S::Unverified, S::Original},
         PassStop::Finished,
         "100%",
         "已核实 2/3",
         "你乃神人，此文原创（1段未核实）",
         true},
        {{S::Original, S::Unverified}, PassStop::Cancelled, "", "已取消 1/2", "", true},
        {{S::Hit, S::Unverified}, PassStop::Stopped, "", "已停止 1/2", "", true},
        // Fewer than half verified: no verdict; half is enough.
        {{S::Unverified}, PassStop::Finished, "", "已核实 0/1", "核实不足（1段未核实）", true},
        {{S::Hit, S::Unverified, S::Unverified},
         PassStop::Finished,
         "0%",
         "已核实 1/3",
         "核实不足（2段未核实）",
         true},
        {{S::Hit, S::Unverified},
         PassStop::Finished,
         "0%",
         "已核实 1/2",
         "别灰心额，还需努力（1段未核实）",
         true},
        {{}, PassStop::Finished, "", "", "", false},
    };
    for (const Case& c : cases) {
        const PassSummary summary = summarizePass(outcomeOf(c.statuses, c.stop));
        EXPECT_EQ(U(summary.value), c.value) << c.coverage;
        EXPECT_EQ(U(summary.coverage), c.coverage);
        EXPECT_EQ(U(summary.verdict), c.verdict) << c.coverage;
        EXPECT_EQ(summary.incomplete(), c.incomplete) << c.coverage;
        EXPECT_EQ(summary.tooFewVerified, std::string_view(c.verdict).starts_with("核实不足"))
            << c.coverage;
    }
}

}  // namespace
}  // namespace oc
