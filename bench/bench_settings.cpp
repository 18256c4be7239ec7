// How long a check pass waits for its settings, and a save from the parameter
// window, on a real file in a temporary folder.
#include <benchmark/benchmark.h>

#include "services/ini_file.h"
#include "settings/settings.h"
#include "tests/support/file_fixtures.h"
#include "tests/support/gbk.h"

namespace {

using oc::testing::G;

void loadCheckSettings(benchmark::State& state) {
    oc::testing::TempFolder folder;
    oc::Text path = folder.path("配置.ini");
    oc::saveParameterTexts(path, {"30", "20", "5", "0"});
    for (auto _ : state) {
        benchmark::DoNotOptimize(oc::loadCheckSettings(path));
    }
}
BENCHMARK(loadCheckSettings);

// A hand-grown file of many sections, the wanted one last.
void readFromLargeFile(benchmark::State& state) {
    oc::testing::TempFolder folder;
    std::string bytes;
    for (int i = 0; bytes.size() < static_cast<std::size_t>(state.range(0)); ++i) {
        bytes += "[section" + std::to_string(i) + "]\r\nkey=" + std::to_string(i) + "\r\n";
    }
    bytes += G("[原创检测配置]\r\n段落字数=30\r\n");
    oc::testing::putFileBytes(folder.nativePath("配置.ini"), bytes);
    oc::Text path = folder.path("配置.ini");
    for (auto _ : state) {
        benchmark::DoNotOptimize(oc::loadCheckSettings(path));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 3 *
                            static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(readFromLargeFile)->Arg(4 << 10)->Arg(64 << 10)->Arg(1 << 20);

// Three atomic saves, each flushed to disk.
void saveParameterTexts(benchmark::State& state) {
    oc::testing::TempFolder folder;
    oc::Text path = folder.path("配置.ini");
    int i = 0;
    for (auto _ : state) {
        oc::Text value = std::to_string(++i % 40);
        benchmark::DoNotOptimize(oc::saveParameterTexts(path, {value, value, value, "0"}));
    }
}
BENCHMARK(saveParameterTexts)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
