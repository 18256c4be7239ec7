// The desktop result grid with 5,000 rows: the cost of the row writes a pass
// makes per segment, and of painting and scrolling the full grid, which is
// what keeps the window responsive while a long article is checked.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QScrollBar>
#include <chrono>

#include "app/desktop/result_grid.h"
#include "tests/support/gbk.h"

namespace {

constexpr int kRows = 5000;

// A grid filled as a pass fills it: title, segment text, hit count and the
// query URL in blue.
void fill(oc::ResultGrid& grid, const oc::Text& segment, const oc::Text& url) {
    for (int i = 0; i < kRows; ++i) {
        int row = grid.rowCount();
        grid.appendRow(std::to_string(row), row);
        grid.setCell(row, 1, segment);
        grid.setCell(row, 2, i % 3);
        grid.setCell(row, 3, url);
        grid.setTextColour(row, 3, row, 3, 0xFF0000);
    }
}

const oc::Text& segment() {
    static const oc::Text text = oc::testing::G(
        "春眠不觉晓处处闻啼鸟夜来风雨声花落知多少床前明月光疑是地上霜举头望明月低头");
    return text;
}

const oc::Text& url() {
    static const oc::Text text =
        "http://www.baidu.com/s?wd=" + std::string(228, '%') + "&rn=20&lm=0";
    return text;
}

void BM_AppendFiveThousandRows(benchmark::State& state) {
    double seconds = 0;
    for (auto _ : state) {
        oc::ResultGrid grid;
        oc::setupResultGrid(grid);
        grid.resize(900, 600);
        grid.show();
        auto start = std::chrono::steady_clock::now();
        fill(grid, segment(), url());
        QApplication::processEvents();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        benchmark::DoNotOptimize(grid.rowCount());
    }
    state.counters["per_row_us"] =
        seconds * 1e6 / (static_cast<double>(kRows) * static_cast<double>(state.iterations()));
}
BENCHMARK(BM_AppendFiveThousandRows)->Unit(benchmark::kMillisecond)->Iterations(3);

// One page scroll and repaint of a full grid: what the user waits for.
void BM_ScrollAndPaintAtFiveThousandRows(benchmark::State& state) {
    oc::ResultGrid grid;
    oc::setupResultGrid(grid);
    grid.resize(900, 600);
    grid.show();
    fill(grid, segment(), url());
    QApplication::processEvents();
    QScrollBar* bar = grid.verticalScrollBar();
    int step = 0;
    for (auto _ : state) {
        bar->setValue((step++ * 997) % (bar->maximum() + 1));
        grid.viewport()->repaint();
    }
}
BENCHMARK(BM_ScrollAndPaintAtFiveThousandRows)->Unit(benchmark::kMicrosecond);

// Appending row 5,001 to a full grid: the cost per segment late in a long check.
void BM_OneMoreRowAtFiveThousand(benchmark::State& state) {
    oc::ResultGrid grid;
    oc::setupResultGrid(grid);
    grid.resize(900, 600);
    grid.show();
    fill(grid, segment(), url());
    for (auto _ : state) {
        int row = grid.rowCount();
        grid.appendRow(std::to_string(row), row);
        grid.setCell(row, 1, segment());
        grid.setCell(row, 3, url());
        state.PauseTiming();
        grid.deleteRow(row);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OneMoreRowAtFiveThousand)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
