// The desktop program against search simulators that start blocking after a
// few queries, as the real engines do: the values count only the segments the
// engines really answered and say so, and the recheck, once the block is
// lifted, verifies every segment left over.
#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <map>
#include <vector>

#include "app/desktop/article_box.h"
#include "app/desktop/desktop_program.h"
#include "app/desktop/main_window.h"
#include "app/desktop/qt_platform.h"
#include "app/desktop/qt_text.h"
#include "app/desktop/result_grid.h"
#include "check/grid_model.h"
#include "check/score.h"
#include "check/window_port.h"
#include "tests/app/event_pump.h"
#include "tests/app/sample_program.h"
#include "tests/app/search_sim_process.h"
#include "tests/support/gbk.h"

namespace oc {
namespace {
using testing::G;
using testing::pumpUntil;
using testing::SearchSimProcess;

const QStringList kBlockAfterFour{QStringLiteral("--block-after"), QStringLiteral("4"),
                                  QStringLiteral("--block-kind"), QStringLiteral("captcha")};

// What one engine's grid and labels show.
struct EngineView {
    std::vector<Text> statuses;
    std::vector<Text> hits;
    int original = 0;
    int hit = 0;
    int unverified = 0;
    Text value;
    QString coverage;
    QColor coverageColour;
};

class BlockedRunTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    std::unique_ptr<DesktopProgram> start(const QString& baiduUrl, const QString& url360) {
        return testing::startOnSampleArticle(dir_.path(), baiduUrl, url360);
    }

    // Presses the button and answers 确定 at every prompt until the run ends.
    static int runAnsweringOk(DesktopProgram& program, std::string_view button) {
        int prompts = 0;
        program.window().component<QPushButton>(button)->click();
        EXPECT_TRUE(program.checkRunning());
        EXPECT_TRUE(pumpUntil(
            [&] {
                for (QMessageBox* box : program.qtPlatform().openBoxes()) {
                    EXPECT_EQ(box->button(QMessageBox::Ok)->text(), QStringLiteral("确定"));
                    box->button(QMessageBox::Ok)->click();
                    ++prompts;
                }
                return !program.checkRunning() && program.qtPlatform().openBoxes().isEmpty();
            },
            std::chrono::seconds(120)));
        return prompts;
    }

    static EngineView view(DesktopProgram& program, std::string_view gridName,
                           std::string_view valueName, std::string_view coverageName) {
        EngineView out;
        ResultGrid* grid = program.window().grid(gridName);
        for (int r = 1; r < grid->rowCount(); ++r) {
            const Text status = grid->cellText(r, kStatusColumn);
            out.statuses.push_back(status);
            out.hits.push_back(grid->cellText(r, 2));
            // A verified row's tip at most says that its pages came from the
            // results store (an earlier check of the test asked them).
            Text reason = grid->cellTip(r, kStatusColumn);
            if (reason.starts_with(G("缓存：核实于 "))) {
                reason.clear();
            }
            if (status == G("命中")) {
                ++out.hit;
                EXPECT_EQ(grid->rowBackground(r), kColourHitRow) << r;
                EXPECT_EQ(reason, "") << r;
            } else if (status == G("原创")) {
                ++out.original;
                EXPECT_EQ(grid->rowBackground(r), kNoBackground) << r;
                EXPECT_EQ(reason, "") << r;
            } else {
                EXPECT_EQ(status, G("未核实")) << r;
                ++out.unverified;
                EXPECT_EQ(grid->rowBackground(r), kColourUnverifiedRow) << r;
                EXPECT_NE(reason, "") << r;
                // The user can still open what the engine answered.
                EXPECT_NE(grid->cellText(r, kUrlColumn), "") << r;
                EXPECT_EQ(grid->cellText(r, 2), "") << r;
            }
        }
        out.value = gbkFromQString(program.window().component<QLabel>(valueName)->text());
        auto* coverage = program.window().component<QLabel>(coverageName);
        coverage->ensurePolished();
        out.coverage = coverage->text();
        out.coverageColour = coverage->palette().color(coverage->foregroundRole());
        return out;
    }

    static EngineView baidu(DesktopProgram& program) {
        return view(program, component::kBaiduGrid, component::kBaiduValueLabel,
                    component::kBaiduCoverageLabel);
    }
    static EngineView engine360(DesktopProgram& program) {
        return view(program, component::k360Grid, component::k360ValueLabel,
                    component::k360CoverageLabel);
    }

    // How many passages of the article box are marked in the colour.
    static int marksIn(DesktopProgram& program, const QColor& colour) {
        auto* box = program.window().component<ArticleBox>(component::kArticleBox);
        return static_cast<int>(
            std::count_if(box->marks().begin(), box->marks().end(),
                          [&](const BoxMark& mark) { return mark.background == colour; }));
    }

    static QString covered(int verified, int total) {
        return QStringLiteral("已核实 %1/%2").arg(verified).arg(total);
    }

    QTemporaryDir dir_;
};

TEST_F(BlockedRunTest, ValuesCountVerifiedSegmentsAndTheRecheckVerifiesTheRest) {
    // One simulator per engine, so each blocks after its own fourth query.
    auto simBaidu = std::make_unique<SearchSimProcess>(kBlockAfterFour);
    auto sim360 = std::make_unique<SearchSimProcess>(kBlockAfterFour);
    ASSERT_FALSE(simBaidu->url().isEmpty());
    ASSERT_FALSE(sim360->url().isEmpty());
    auto program = start(simBaidu->url(), sim360->url());
    auto* recheck = program->window().component<QPushButton>(component::kRecheckButton);
    EXPECT_FALSE(recheck->isEnabled());

    EXPECT_GT(runAnsweringOk(*program, component::kCheckButton), 0);
    const QColor red(255, 0, 0);
    const EngineView views[] = {baidu(*program), engine360(*program)};
    for (const EngineView& blocked : views) {
        const int total = static_cast<int>(blocked.statuses.size());
        const int verified = blocked.original + blocked.hit;
        ASSERT_GT(total, 8);
        // Only the first segments were answered; the value covers them alone
        // and the coverage, in red, says how many they are.
        EXPECT_GT(verified, 0);
        EXPECT_LE(verified, 4);
        EXPECT_EQ(blocked.unverified, total - verified);
        EXPECT_EQ(blocked.value, formatOriginality(blocked.original, verified));
        // Too few verified: Baidu, without a verdict, says so after the coverage.
        EXPECT_EQ(blocked.coverage,
                  covered(verified, total) +
                      (&blocked == &views[0] ? QStringLiteral(" 核实不足") : QString()));
        EXPECT_EQ(blocked.coverageColour, red);
    }
    const QString verdict =
        program->window().component<QLabel>(component::k360VerdictLabel)->text();
    EXPECT_TRUE(
        verdict.endsWith(QStringLiteral("（%1段未核实）").arg(engine360(*program).unverified)))
        << verdict.toStdString();
    EXPECT_TRUE(recheck->isEnabled());
    // The article shows the passages nobody verified in grey.
    const QColor grey(224, 224, 224);
    const QColor lightRed(255, 224, 224);
    EXPECT_GT(marksIn(*program, grey), 0);

    // The block is lifted: the same ports answer every query again.
    const int portBaidu = simBaidu->port();
    const int port360 = sim360->port();
    simBaidu.reset();
    sim360.reset();
    simBaidu = std::make_unique<SearchSimProcess>(QStringList(), portBaidu);
    sim360 = std::make_unique<SearchSimProcess>(QStringList(), port360);
    ASSERT_FALSE(simBaidu->url().isEmpty());
    ASSERT_FALSE(sim360->url().isEmpty());

    EXPECT_EQ(runAnsweringOk(*program, component::kRecheckButton), 0);
    const EngineView rechecked[] = {baidu(*program), engine360(*program)};
    for (const EngineView& after : rechecked) {
        const int total = static_cast<int>(after.statuses.size());
        EXPECT_EQ(after.unverified, 0);
        EXPECT_EQ(after.coverage, covered(total, total));
        EXPECT_NE(after.coverageColour, red);
        EXPECT_EQ(after.value, formatOriginality(after.original, total));
    }
    EXPECT_FALSE(recheck->isEnabled());
    // Marked afresh after the recheck: the copied passages, nothing grey.
    EXPECT_EQ(marksIn(*program, grey), 0);
    EXPECT_GE(marksIn(*program, lightRed), 5);
    EXPECT_FALSE(program->window()
                     .component<QLabel>(component::k360VerdictLabel)
                     ->text()
                     .contains(QStringLiteral("未核实")));

    // A fresh run without any block comes to the same rows and values.
    EXPECT_EQ(runAnsweringOk(*program, component::kCheckButton), 0);
    const EngineView fresh[] = {baidu(*program), engine360(*program)};
    for (int engine = 0; engine < 2; ++engine) {
        EXPECT_EQ(fresh[engine].statuses, rechecked[engine].statuses) << engine;
        EXPECT_EQ(fresh[engine].hits, rechecked[engine].hits) << engine;
        EXPECT_EQ(fresh[engine].value, rechecked[engine].value) << engine;
    }
}

}  // namespace
}  // namespace oc
