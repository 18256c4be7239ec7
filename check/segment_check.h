// Checking one segment against one engine: its result pages fetched (paced),
// classified and combined into the segment's status, with the block prompts.
#pragma once

#include <chrono>

#include "check/block_wait.h"
#include "check/check_pass.h"
#include "check/engine_tables.h"
#include "check/ignore_list.h"
#include "check/pass_steps.h"
#include "check/segment_status.h"

namespace oc {

// Keeps the requests of one engine apart by the query interval.
class Pacer {
  public:
    // With `shared`, the previous request may be one of an earlier pass of
    // the engine (the article before in a batch).
    explicit Pacer(std::chrono::milliseconds interval, EngineRequestTimes* shared = nullptr,
                   Engine engine = Engine::Baidu)
        : interval_(interval), shared_(shared), engine_(engine) {}
    // Waits until the interval has passed since the previous request (not
    // before the first); returns early when fetches are aborted.
    void beforeRequest();

  private:
    std::chrono::milliseconds interval_;
    EngineRequestTimes* shared_;
    Engine engine_;
    std::chrono::steady_clock::time_point last_{};
    bool first_ = true;
};

struct SegmentContext {
    const PassEnvironment& env;
    const EngineTable& table;
    Text baseUrl;
    int thresholdBytes = 0;
    FetchLimits limits;
    Pacer& pacer;
    // Highlights inside results from these sites do not count.
    IgnoreList ignore;
    // 检测方式 and 飘红覆盖率.
    CheckSettings settings;
    // The memory kept from one page to the next (a pass's own; none: each
    // segment starts afresh).
    PageBuffers* buffers = nullptr;
    // The engine's pauses and failures over its pass (自动等待); none: the
    // run meets blocks with prompts only.
    EngineBackOff* backOff = nullptr;
    // Where verified result pages are remembered (none: every page is asked),
    // and the oldest fetch time (seconds since 1970) a remembered page may have.
    CheckStore* store = nullptr;
    std::int64_t cacheNotBefore = 0;
};

SegmentResult checkSegment(const SegmentContext& context, const Text& segment);

}  // namespace oc
