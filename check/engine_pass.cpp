// The check pass of one engine, and the recheck of its unverified segments.
#include <algorithm>
#include <limits>
#include <optional>

#include "check/block_wait.h"
#include "check/cached_page.h"
#include "check/check_pass.h"
#include "check/local_pass.h"
#include "check/page_class.h"
#include "check/pass_steps.h"
#include "check/segment_check.h"

namespace oc {
namespace {

// Gives the segments the pass never reached their rows, unverified with why
// the pass ended (已取消 or 已停止).
void markNotReached(const PassEnvironment& env, Engine engine, PassOutcome& outcome,
                    SegmentList& remaining, const EngineTable& table, const Text& base,
                    const Text& reason) {
    const std::string_view grid = engineIdentity(engine).grid;
    while (!remaining.empty()) {
        Text segment = std::move(remaining.front());
        remaining.pop_front();
        SegmentResult result;
        result.reason = reason;
        result.url = table.queryUrl(base, segment, 1);
        outcome.rows.push_back(appendSegmentRow(*env.window, grid, segment));
        outcome.segments.push_back(std::move(segment));
        recordSegment(env, engine, outcome, outcome.results.size(), std::move(result));
    }
}

// How a pass that gave up ended: stopped by the user or cancelled at a prompt.
PassStop endOf(const PassEnvironment& env) {
    return env.stopRequested() ? PassStop::Stopped : PassStop::Cancelled;
}

// The engine's pauses over one pass, when the run waits out blocks.
std::optional<EngineBackOff> backOffOf(const PassEnvironment& env) {
    if (!env.blocks) {
        return std::nullopt;
    }
    return EngineBackOff(env.blocks->firstPause());
}

// What every segment of one engine's pass is checked with.
SegmentContext contextOf(const CheckRequest& request, const PassEnvironment& env, Engine engine,
                         Text baseUrl, Pacer& pacer, PageBuffers& buffers,
                         std::optional<EngineBackOff>& backOff) {
    return {env,
            engineTable(engine),
            std::move(baseUrl),
            2 * request.settings.check.minRunChars,
            passFetchLimits(request, env),
            pacer,
            ignoreListOf(request.settings),
            request.settings.check,
            &buffers,
            backOff ? &*backOff : nullptr,
            env.store,
            request.settings.cacheDays > 0
                ? storeTimeNow() - std::int64_t{request.settings.cacheDays} * 24 * 3600
                : std::numeric_limits<std::int64_t>::max()};
}

PassEnd runWebPass(Engine engine, const CheckRequest& request, const PassEnvironment& env,
                   PassOutcome& outcome) {
    const EngineIdentity& shown = engineIdentity(engine);
    std::optional<PreparedPass> pass = beginPass(request, env, shown);
    if (!pass) {
        return PassEnd::EmptyArticle;
    }
    WindowPort& window = *env.window;
    std::optional<Text> baseUrl = engineBaseUrl(request, env, engine);
    if (!baseUrl) {
        finishPass(env, shown, outcome, PassStop::Cancelled);
        return PassEnd::Cancelled;
    }
    Pacer pacer(std::max(request.settings.queryInterval(), env.minInterval), env.lastRequests.get(),
                engine);
    PageBuffers buffers;
    std::optional<EngineBackOff> backOff = backOffOf(env);
    const SegmentContext context =
        contextOf(request, env, engine, std::move(*baseUrl), pacer, buffers, backOff);
    window.passProgress(shown.grid, 0, pass->total);
    if (env.listener != nullptr) {
        env.listener->passStarted(engine, pass->total);
    }
    while (!pass->segments.empty()) {
        Text segment = std::move(pass->segments.front());
        pass->segments.pop_front();
        outcome.rows.push_back(appendSegmentRow(window, shown.grid, segment));
        outcome.segments.push_back(std::move(segment));
        SegmentResult result = checkSegment(context, outcome.segments.back());
        const bool cancelled = result.cancelled;
        const bool engineStopped = result.engineStopped;
        const Text reason = result.reason;
        recordSegment(env, engine, outcome, outcome.results.size(), std::move(result));
        if (cancelled) {
            markNotReached(env, engine, outcome, pass->segments, context.table, context.baseUrl,
                           env.stopRequested() ? stoppedReason() : unverified_reason::cancelled());
            recordSkippedLast(env, engine, outcome, *pass);
            finishPass(env, shown, outcome, endOf(env));
            return PassEnd::Cancelled;
        }
        window.passProgress(shown.grid, outcome.total(), pass->total);
        if (engineStopped) {
            markNotReached(env, engine, outcome, pass->segments, context.table, context.baseUrl,
                           reason);
            break;
        }
    }
    recordSkippedLast(env, engine, outcome, *pass);
    finishPass(env, shown, outcome, PassStop::Finished);
    return PassEnd::Normal;
}

PassEnd recheckWebPass(Engine engine, const CheckRequest& request, const PassEnvironment& env,
                       PassOutcome& outcome) {
    const EngineIdentity& shown = engineIdentity(engine);
    WindowPort& window = *env.window;
    // An invalid address leaves the rows and values of the earlier pass as they are.
    std::optional<Text> baseUrl = engineBaseUrl(request, env, engine);
    if (!baseUrl) {
        return PassEnd::Cancelled;
    }
    window.setButtonDisabled(component::kCheckButton, true);
    window.setLabelCaption(shown.valueLabel, Text());
    if (shown.hasVerdict()) {
        window.setLabelCaption(shown.verdictLabel, Text());
    }
    Pacer pacer(std::max(request.settings.queryInterval(), env.minInterval), env.lastRequests.get(),
                engine);
    PageBuffers buffers;
    std::optional<EngineBackOff> backOff = backOffOf(env);
    const SegmentContext context =
        contextOf(request, env, engine, std::move(*baseUrl), pacer, buffers, backOff);
    const int unverified = outcome.total() - outcome.verified();
    int done = 0;
    window.passProgress(shown.grid, done, unverified);
    if (env.listener != nullptr) {
        env.listener->passStarted(engine, unverified);
    }
    for (std::size_t i = 0; i < outcome.results.size(); ++i) {
        if (outcome.results[i].status != SegmentStatus::Unverified) {
            continue;
        }
        SegmentResult result = checkSegment(context, outcome.segments[i]);
        const bool cancelled = result.cancelled;
        const bool engineStopped = result.engineStopped;
        recordSegment(env, engine, outcome, i, std::move(result));
        if (cancelled) {
            finishPass(env, shown, outcome, endOf(env));
            return PassEnd::Cancelled;
        }
        window.passProgress(shown.grid, ++done, unverified);
        if (engineStopped) {
            break;  // the segments still unverified keep their rows
        }
    }
    finishPass(env, shown, outcome, PassStop::Finished);
    return PassEnd::Normal;
}

// Tells the listener how the pass ended.
PassEnd ended(const PassEnvironment& env, Engine engine, const PassOutcome& outcome, PassEnd end) {
    if (env.listener != nullptr) {
        env.listener->passEnded(engine, outcome, summarizePass(outcome), end);
    }
    return end;
}

}  // namespace

PassEnd runEnginePass(Engine engine, const CheckRequest& request, const PassEnvironment& env,
                      PassOutcome& outcome) {
    outcome = PassOutcome();
    const PassEnd end = engine == Engine::Local ? runLocalPass(request, env, outcome)
                                                : runWebPass(engine, request, env, outcome);
    return ended(env, engine, outcome, end);
}

PassEnd recheckEnginePass(Engine engine, const CheckRequest& request, const PassEnvironment& env,
                          PassOutcome& outcome) {
    const PassEnd end = engine == Engine::Local ? recheckLocalPass(request, env, outcome)
                                                : recheckWebPass(engine, request, env, outcome);
    return ended(env, engine, outcome, end);
}

CheckRequest requestFromWindow(const PassEnvironment& env, Engine engine) {
    return makeCheckRequest(env.window->editContent(component::kArticleBox), {engine},
                            env.settingsPath, env);
}

PassEnd runEnginePass(Engine engine, const PassEnvironment& env, PassOutcome& outcome) {
    return runEnginePass(engine, requestFromWindow(env, engine), env, outcome);
}

PassEnd recheckEnginePass(Engine engine, const PassEnvironment& env, PassOutcome& outcome) {
    return recheckEnginePass(engine, requestFromWindow(env, engine), env, outcome);
}

PassEnd runBaiduPass(const PassEnvironment& env) {
    PassOutcome outcome;
    return runEnginePass(Engine::Baidu, env, outcome);
}

PassEnd run360Pass(const PassEnvironment& env) {
    PassOutcome outcome;
    return runEnginePass(Engine::So360, env, outcome);
}

}  // namespace oc
