// Preparing and cutting an article: linear in its length.
#include <benchmark/benchmark.h>

#include "check/segmentation.h"
#include "services/boundary_text.h"

namespace {

oc::Text article(int chars) {
    const std::string paragraph =
        "春天的早晨，我们沿着河边慢慢地走着，看见柳树发芽，听见鸟儿在枝头歌唱。"
        "Some English words, 123 digits and spaces stay out of the query.\r\n";
    oc::Text gbk = oc::gbkFromUtf8(paragraph);
    oc::Text out;
    while (oc::articleCharCount(oc::prepareArticle(out)) < chars) {
        out += gbk;
    }
    return out;
}

void BM_PrepareAndCut(benchmark::State& state) {
    const oc::Text text = article(static_cast<int>(state.range(0)));
    std::size_t segments = 0;
    for (auto _ : state) {
        oc::SegmentList list =
            oc::splitSegments(oc::cutSegments(oc::prepareArticle(text), 2 * 38));
        segments = list.size();
        benchmark::DoNotOptimize(list);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    state.counters["segments"] = static_cast<double>(segments);
}
BENCHMARK(BM_PrepareAndCut)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
