#include "app/desktop/qt_window_port.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <atomic>
#include <thread>

#include "app/desktop/result_grid.h"
#include "tests/app/event_pump.h"
#include "tests/support/gbk.h"
#include "tests/support/scripted_platform.h"

namespace oc {
namespace {
using testing::G;
using testing::pumpUntil;

class QtWindowPortTest : public ::testing::Test {
  protected:
    testing::ScriptedPlatform platform_;
    GuiBridge bridge_;
    MainWindow window_{platform_};
    QtWindowPort port_{bridge_, window_};

    // Runs `work` on a worker thread while the GUI thread keeps processing
    // events, counting the timer ticks it sees meanwhile; the worker's writes
    // have all taken effect when it returns.
    int onWorker(const std::function<void()>& work) {
        std::atomic<bool> done{false};
        int ticks = 0;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
        timer.start(1);
        std::thread worker([&] {
            work();
            port_.flush();
            done = true;
        });
        EXPECT_TRUE(pumpUntil([&] { return done.load(); }));
        worker.join();
        return ticks;
    }
};

TEST_F(QtWindowPortTest, WorkerCallsTakeEffectInOrderOnTheGuiThread) {
    window_.component<QPlainTextEdit>(component::kArticleBox)
        ->setPlainText(QStringLiteral("文章内容"));
    window_.component<QCheckBox>(component::k360CheckBox)->setChecked(false);
    setupResultGrid(*window_.grid(component::kBaiduGrid));

    Text article;
    bool baidu = false;
    bool engine360 = true;
    std::vector<int> counts;
    const int ticks = onWorker([&] {
        article = port_.editContent(component::kArticleBox);
        baidu = port_.isTicked(component::kBaiduCheckBox);
        engine360 = port_.isTicked(component::k360CheckBox);
        port_.setButtonDisabled(component::kCheckButton, true);
        port_.setLabelCaption(component::kBaiduValueLabel, G("84.21%"));
        // The pass's row pattern: each count is followed by the append at it.
        for (int i = 0; i < 200; ++i) {
            const int r = port_.gridRowCount(component::kBaiduGrid);
            counts.push_back(r);
            port_.gridAppendRow(component::kBaiduGrid, toText(r), r);
            port_.gridSetCell(component::kBaiduGrid, r, 1, G("段"));
            port_.gridSetCell(component::kBaiduGrid, r, 2, i);
            port_.gridSetTextColour(component::kBaiduGrid, r, 3, r, 3, kColourBlue);
        }
    });
    EXPECT_GT(ticks, 0);  // the GUI thread went on with its own events
    EXPECT_EQ(article, G("文章内容"));
    EXPECT_TRUE(baidu);
    EXPECT_FALSE(engine360);
    EXPECT_FALSE(window_.component(component::kCheckButton)->isEnabled());
    EXPECT_EQ(window_.component<QLabel>(component::kBaiduValueLabel)->text(), "84.21%");
    ResultGrid* grid = window_.grid(component::kBaiduGrid);
    ASSERT_EQ(grid->rowCount(), 201);
    for (int r = 1; r <= 200; ++r) {
        EXPECT_EQ(counts[static_cast<std::size_t>(r - 1)], r);
        EXPECT_EQ(grid->cellText(r, 0), toText(r));
        EXPECT_EQ(grid->cellText(r, 2), toText(r - 1));
        EXPECT_EQ(grid->textColour(r, 3), kColourBlue);
    }

    // Reset from the worker.
    onWorker([&] {
        while (port_.gridRowCount(component::kBaiduGrid) > 1) {
            port_.gridDeleteRow(component::kBaiduGrid,
                                port_.gridRowCount(component::kBaiduGrid) - 1);
        }
        port_.setButtonDisabled(component::kCheckButton, false);
    });
    EXPECT_EQ(grid->rowCount(), 1);
    EXPECT_EQ(grid->cellText(0, 1), G("文本"));
    EXPECT_TRUE(window_.component(component::kCheckButton)->isEnabled());
}

// What a pass writes about its segments' status and its coverage reaches the
// window from the worker; the label gets its own colour back afterwards.
TEST_F(QtWindowPortTest, StatusAndCoverageFromAWorker) {
    setupResultGrid(*window_.grid(component::k360Grid));
    auto* coverage = window_.component<QLabel>(component::k360CoverageLabel);
    ASSERT_NE(coverage, nullptr);
    const QColor own = coverage->palette().color(coverage->foregroundRole());
    const int status = window_.grid(component::k360Grid)->columnCount() - 1;
    onWorker([&] {
        port_.gridAppendRow(component::k360Grid, "1", 1);
        port_.gridSetCellTip(component::k360Grid, 1, status, G("超时"));
        port_.gridSetRowBackground(component::k360Grid, 1, kColourUnverifiedRow);
        // Writes to what does not exist change nothing.
        port_.gridSetRowBackground(component::k360Grid, 5, kColourHitRow);
        port_.gridSetCellTip("no such grid", 1, 1, "x");
        port_.setLabelCaption(component::k360CoverageLabel, G("已核实 2/5"));
        port_.setLabelColour(component::k360CoverageLabel, kColourRed);
        port_.setLabelColour("no such label", kColourRed);
    });
    ResultGrid* grid = window_.grid(component::k360Grid);
    EXPECT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(grid->cellTip(1, status), G("超时"));
    EXPECT_EQ(grid->rowBackground(1), kColourUnverifiedRow);
    EXPECT_EQ(coverage->text(), QStringLiteral("已核实 2/5"));
    coverage->ensurePolished();
    EXPECT_EQ(coverage->palette().color(coverage->foregroundRole()), QColor(255, 0, 0));

    onWorker([&] { port_.setLabelColour(component::k360CoverageLabel, kDefaultLabelColour); });
    coverage->ensurePolished();
    EXPECT_EQ(coverage->palette().color(coverage->foregroundRole()), own);
}

// A worker's writes do not wait for the GUI thread: they are queued, and take
// effect in order once it runs its events, a batch at a time.
TEST_F(QtWindowPortTest, WorkerWritesDoNotWaitForTheGuiThread) {
    setupResultGrid(*window_.grid(component::kBaiduGrid));
    // The GUI thread runs no events until the worker has finished.
    std::thread worker([&] {
        for (int r = 1; r <= 500; ++r) {
            port_.gridAppendRow(component::kBaiduGrid, toText(r), r);
            port_.gridSetCell(component::kBaiduGrid, r, 2, r);
        }
        port_.setLabelCaption(component::kBaiduValueLabel, G("50%"));
    });
    worker.join();
    ResultGrid* grid = window_.grid(component::kBaiduGrid);
    EXPECT_EQ(grid->rowCount(), 1);
    ASSERT_TRUE(pumpUntil(
        [&] { return window_.component<QLabel>(component::kBaiduValueLabel)->text() == "50%"; }));
    ASSERT_EQ(grid->rowCount(), 501);
    for (int r = 1; r <= 500; ++r) {
        EXPECT_EQ(grid->cellText(r, 0), toText(r));
        EXPECT_EQ(grid->cellText(r, 2), toText(r));
    }
}

TEST_F(QtWindowPortTest, CallsOnTheGuiThreadRunDirectly) {
    port_.setLabelCaption(component::k360ValueLabel, "50%");
    EXPECT_EQ(window_.component<QLabel>(component::k360ValueLabel)->text(), "50%");
    EXPECT_EQ(port_.gridRowCount(component::k360Grid), 1);
    EXPECT_FALSE(port_.gridDeleteRow(component::k360Grid, 3));
    EXPECT_EQ(port_.gridRowCount("no such grid"), 0);
    EXPECT_EQ(port_.editContent("no such box"), "");
}

TEST_F(QtWindowPortTest, AfterShutdownCallsChangeNothing) {
    bridge_.beginShutdown();
    onWorker([&] {
        EXPECT_FALSE(port_.gridAppendRow(component::kBaiduGrid, "1", 1));  // not even queued
        EXPECT_EQ(port_.gridRowCount(component::kBaiduGrid), 0);
        port_.setLabelCaption(component::kBaiduValueLabel, "1%");
        EXPECT_FALSE(port_.isTicked(component::kBaiduCheckBox));
    });
    port_.setLabelCaption(component::kBaiduValueLabel, "2%");
    EXPECT_EQ(window_.grid(component::kBaiduGrid)->rowCount(), 1);
    EXPECT_EQ(window_.component<QLabel>(component::kBaiduValueLabel)->text(), "");
}

// A worker waiting for the GUI thread is released by the shutdown flag, even
// when the GUI thread never processes the call.
TEST(GuiBridge, ShutdownReleasesAWaitingWorker) {
    GuiBridge bridge;
    std::atomic<int> result{-1};
    std::thread worker([&] { result = bridge.call([] { return 5; }, 9); });
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(result.load(), -1);  // waiting: nothing processed the call yet
    bridge.beginShutdown();
    worker.join();
    EXPECT_EQ(result.load(), 9);
    QCoreApplication::processEvents();  // the queued call is skipped
}

}  // namespace
}  // namespace oc
