// Keeping the non-ASCII characters of an article: through the script
// regular-expression component (one automation exchange per kept character)
// against the plain character walk, and trimming through the byte-wise engine.
#include <benchmark/benchmark.h>

#include "tests/support/gbk.h"
#include "text/article_filters.h"
#include "text/script_regex.h"
#include "text/web_text_util.h"

namespace oc {
namespace {
using testing::G;

// An article of about 3000 characters, Chinese with ASCII words, digits and line breaks.
Text makeArticle() {
    const Text paragraph = G("原创检测工具通过搜索引擎判断文章中的句子是否已经出现在网络上，") +
                           "Baidu 360 " + G("并统计飘红片段的数量。") + "2024\r\n";
    Text article = "\r\n  ";
    while (article.size() < 6000) {
        article += paragraph;
    }
    return article + " \t";
}

void BM_KeepNonAsciiThroughComponent(benchmark::State& state) {
    const Text article = makeArticle();
    for (auto _ : state) {
        benchmark::DoNotOptimize(ScriptRegex::keepNonAsciiChars(article));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * article.size()));
}
BENCHMARK(BM_KeepNonAsciiThroughComponent);

void BM_KeepNonAsciiCharacterWalk(benchmark::State& state) {
    const Text article = makeArticle();
    for (auto _ : state) {
        benchmark::DoNotOptimize(keepNonAsciiChars(article));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * article.size()));
}
BENCHMARK(BM_KeepNonAsciiCharacterWalk);

void BM_TrimThroughRegex(benchmark::State& state) {
    const Text article = makeArticle();
    for (auto _ : state) {
        benchmark::DoNotOptimize(webTextUtil().trim(article));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * article.size()));
}
BENCHMARK(BM_TrimThroughRegex);

}  // namespace
}  // namespace oc

BENCHMARK_MAIN();
