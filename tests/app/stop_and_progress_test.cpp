// A check in daily use: its progress in the status bar and the title, Esc
// stopping it with the rows kept, the recheck finishing it, and the messages
// of a press that cannot check.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "app/desktop/desktop_program.h"
#include "app/desktop/main_window.h"
#include "app/desktop/progress_panel.h"
#include "app/desktop/qt_text.h"
#include "app/desktop/result_grid.h"
#include "check/grid_model.h"
#include "check/window_port.h"
#include "services/http_fetch.h"
#include "tests/app/event_pump.h"
#include "tests/app/sample_program.h"
#include "tests/app/search_sim_process.h"
#include "tests/support/gbk.h"
#include "tests/support/scripted_platform.h"

namespace oc {
namespace {
using testing::G;
using testing::pumpUntil;
using testing::ScriptedPlatform;
using testing::SearchSimProcess;
using namespace std::chrono_literals;

QString text(QWidget* widget) {
    return widget->property("text").toString();
}

TEST(ProgressPanel, CountsEstimateAndTitleFollowTheInjectedClock) {
    ProgressPanel panel;
    auto now = std::chrono::steady_clock::time_point(1000s);
    panel.setClock([&now] { return now; });
    auto* baidu = panel.findChild<QLabel*>(QStringLiteral("标签_进度百度"));
    auto* bar = panel.findChild<QProgressBar*>(QStringLiteral("进度条_百度"));
    auto* estimate = panel.findChild<QLabel*>(QStringLiteral("标签_剩余时间"));
    ASSERT_TRUE(baidu && bar && estimate);

    panel.begin();
    panel.update(0, 0, 43);
    panel.update(1, 0, 57);  // 360 has more segments and is slower
    EXPECT_EQ(panel.titlePrefix(), QStringLiteral("[0%] "));
    now += 10s;
    panel.update(0, 2, 43);
    EXPECT_EQ(baidu->text(), QStringLiteral("百度 2/43"));
    EXPECT_EQ(estimate->text(), QString());  // not before three segments
    now += 5s;
    panel.update(0, 3, 43);  // 5 s a segment, 40 left: 200 s
    EXPECT_EQ(bar->value(), 3);
    EXPECT_EQ(estimate->text(), QStringLiteral("约 3 分 20 秒"));
    panel.update(1, 20, 57);  // 0.75 s a segment, 37 left: 27.75 s
    EXPECT_EQ(estimate->text(), QStringLiteral("约 3 分 20 秒"));  // the slower engine counts
    EXPECT_EQ(panel.titlePrefix(), QStringLiteral("[23%] "));      // 23 of 100
    now += 185s;
    panel.update(0, 40, 43);  // 5 s a segment, 3 left
    panel.update(1, 56, 57);
    EXPECT_EQ(panel.findChild<QLabel*>(QStringLiteral("标签_进度360"))->text(),
              QStringLiteral("360 56/57"));
    EXPECT_EQ(estimate->text(), QStringLiteral("约 15 秒"));

    panel.end();
    EXPECT_EQ(panel.titlePrefix(), QString());
    EXPECT_EQ(estimate->text(), QString());
    EXPECT_EQ(baidu->text(), QStringLiteral("百度 40/43"));  // what was reached stays

    EXPECT_EQ(remainingTimeText(59499ms), QStringLiteral("约 59 秒"));
    EXPECT_EQ(remainingTimeText(59500ms), QStringLiteral("约 1 分 0 秒"));
}

// A pause shows its countdown in the engine's place and is left out of the
// time per segment; so is the time the prompts wait for the user (two open
// at once count once).
TEST(ProgressPanel, APauseCountsDownAndIsNoTimeSpentOnSegments) {
    ProgressPanel panel;
    auto now = std::chrono::steady_clock::time_point(1000s);
    panel.setClock([&now] { return now; });
    auto* baidu = panel.findChild<QLabel*>(QStringLiteral("标签_进度百度"));
    auto* estimate = panel.findChild<QLabel*>(QStringLiteral("标签_剩余时间"));
    panel.begin();
    panel.update(0, 0, 43);
    now += 10s;
    panel.update(0, 2, 43);
    panel.paused(0, 581);
    EXPECT_EQ(baidu->text(), QStringLiteral("百度已暂停，09:41 后继续"));
    now += 600s;
    panel.paused(0, 0);
    EXPECT_EQ(baidu->text(), QStringLiteral("百度 2/43"));
    now += 5s;
    panel.update(0, 3, 43);  // 15 s of work for three segments: 5 s each, 40 left
    EXPECT_EQ(estimate->text(), QStringLiteral("约 3 分 20 秒"));

    panel.promptShown(true);
    now += 100s;
    panel.promptShown(true);
    now += 200s;
    panel.promptShown(false);
    now += 50s;
    panel.promptShown(false);
    now += 5s;
    panel.update(0, 4, 43);  // 20 s of work for four segments, 39 left
    EXPECT_EQ(estimate->text(), QStringLiteral("约 3 分 15 秒"));
}

class StopTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    std::unique_ptr<DesktopProgram> start(const QString& url, Platform* platform = nullptr) {
        return testing::startOnSampleArticle(dir_.path(), url, url, platform);
    }

    QTemporaryDir dir_;
};

// Esc stops both passes against slow engines: the rows stay, no value, every
// row not finished unverified (已停止), the coverage "已停止 a/b" and the
// status bar with it; the progress and the title said how far it was; the
// recheck finishes the run.
TEST_F(StopTest, EscStopsTheRunAndTheRecheckFinishesIt) {
    SearchSimProcess sim({QStringLiteral("--latency-ms"), QStringLiteral("60")});
    ASSERT_FALSE(sim.url().isEmpty());
    auto program = start(sim.url());
    MainWindow& window = program->window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ResultGrid* baidu = window.grid(component::kBaiduGrid);
    auto* stop = window.component<QPushButton>(component::kStopButton);
    EXPECT_FALSE(stop->isEnabled());

    window.component<QPushButton>(component::kCheckButton)->click();
    EXPECT_TRUE(stop->isEnabled());
    ASSERT_TRUE(pumpUntil([&] { return baidu->rowCount() > 5; }, 60s));
    EXPECT_TRUE(window.windowTitle().startsWith(QStringLiteral("[")));
    EXPECT_TRUE(window.windowTitle().endsWith(QStringLiteral("%] Zarvik文章原创度检测工具")));
    const QString shown = window.findChild<QLabel*>(QStringLiteral("标签_进度百度"))->text();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("百度 "))) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("/43"))) << shown.toStdString();

    QTest::keyClick(&window, Qt::Key_Escape);
    ASSERT_TRUE(pumpUntil([&] { return !program->checkRunning(); }, 10s));
    EXPECT_FALSE(stop->isEnabled());
    EXPECT_FALSE(fetchesAborted());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Zarvik文章原创度检测工具"));
    const std::pair<std::string_view, std::string_view> engines[] = {
        {component::kBaiduGrid, component::kBaiduCoverageLabel},
        {component::k360Grid, component::k360CoverageLabel}};
    for (const auto& [gridName, coverageName] : engines) {
        ResultGrid* grid = window.grid(gridName);
        const int total = grid->rowCount() - 1;
        int verified = 0;
        for (int row = 1; row <= total; ++row) {
            if (grid->cellText(row, kStatusColumn) == G("未核实")) {
                EXPECT_EQ(grid->cellTip(row, kStatusColumn), G("已停止")) << row;
            } else {
                ++verified;
            }
        }
        EXPECT_LT(verified, total);
        EXPECT_EQ(text(window.component(coverageName)),
                  QStringLiteral("已停止 %1/%2").arg(verified).arg(total));
    }
    // The status bar says what the coverage says.
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("标签_进度百度"))->text(),
              QStringLiteral("百度 ") + text(window.component(component::kBaiduCoverageLabel)));
    EXPECT_EQ(baidu->rowCount() - 1, 43);  // every segment has its row
    EXPECT_EQ(text(window.component(component::kBaiduValueLabel)), QString());
    EXPECT_EQ(text(window.component(component::k360ValueLabel)), QString());

    auto* recheck = window.component<QPushButton>(component::kRecheckButton);
    ASSERT_TRUE(recheck->isEnabled());
    recheck->click();
    ASSERT_TRUE(pumpUntil([&] { return !program->checkRunning(); }, 120s));
    EXPECT_EQ(text(window.component(component::kBaiduCoverageLabel)),
              QStringLiteral("已核实 43/43"));
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("标签_进度百度"))->text(),
              QStringLiteral("百度 已核实 43/43"));
    EXPECT_NE(text(window.component(component::kBaiduValueLabel)), QString());
    EXPECT_NE(text(window.component(component::k360ValueLabel)), QString());
}

// A press that cannot check says why once; nothing starts.
TEST_F(StopTest, APressThatCannotCheckSaysWhyOnce) {
    ScriptedPlatform platform;
    auto program = start(QStringLiteral("http://127.0.0.1:9"), &platform);
    MainWindow& window = program->window();
    auto* check = window.component<QPushButton>(component::kCheckButton);
    window.component<QPlainTextEdit>(component::kArticleBox)->clear();
    check->click();
    ASSERT_EQ(platform.messages().size(), 1u);
    EXPECT_EQ(platform.messages()[0].message, G("请拷贝待检测文章"));
    EXPECT_FALSE(program->checkRunning());

    window.component<QPlainTextEdit>(component::kArticleBox)->setPlainText(QStringLiteral("原创"));
    window.component<QAbstractButton>(component::kBaiduCheckBox)->click();
    window.component<QAbstractButton>(component::k360CheckBox)->click();
    check->click();
    ASSERT_EQ(platform.messages().size(), 2u);
    EXPECT_EQ(platform.messages()[1].message, G("请至少勾选一个搜索引擎"));
    EXPECT_FALSE(program->checkRunning());
    EXPECT_TRUE(check->isEnabled());
}

}  // namespace
}  // namespace oc
