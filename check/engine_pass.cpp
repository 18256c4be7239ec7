// The check pass of one engine, and the recheck of its unverified segments.
#include "check/check_pass.h"
#include "check/page_class.h"
#include "check/pass_steps.h"
#include "check/segment_check.h"

namespace oc {
namespace {

// Gives the segments the pass never reached their rows, unverified with the
// reason of the segment that ended it (已取消 or 已停止).
void markNotReached(WindowPort& window, std::string_view grid, PassOutcome& outcome,
                    SegmentList& remaining, const EngineTable& table, const Text& base,
                    const Text& reason) {
    while (!remaining.empty()) {
        Text segment = std::move(remaining.front());
        remaining.pop_front();
        SegmentResult result;
        result.reason = reason;
        result.url = table.queryUrl(base, segment, table.pagesPerSegment);
        int row = appendSegmentRow(window, grid, segment);
        writeSegmentRow(window, grid, row, result);
        outcome.segments.push_back(std::move(segment));
        outcome.rows.push_back(row);
        outcome.results.push_back(std::move(result));
    }
}

// How a pass that gave up ended: stopped by the user or cancelled at a prompt.
PassStop endOf(const PassEnvironment& env) {
    return env.stopRequested() ? PassStop::Stopped : PassStop::Cancelled;
}

}  // namespace

PassEnd runEnginePass(Engine engine, const PassEnvironment& env, PassOutcome& outcome) {
    if (engine == Engine::Local) {
        return runLocalPass(env, outcome);
    }
    outcome = PassOutcome();
    const PassComponents shown = componentsOf(engine);
    std::optional<PreparedPass> pass = beginPass(env, shown);
    if (!pass) {
        return PassEnd::EmptyArticle;
    }
    WindowPort& window = *env.window;
    std::optional<Text> baseUrl = engineBaseUrl(env, engine);
    if (!baseUrl) {
        finishPass(window, shown, outcome, PassStop::Cancelled);
        return PassEnd::Cancelled;
    }
    const EngineTable& table = engineTable(engine);
    Pacer pacer(passInterval(env, pass->settings));
    PageBuffers buffers;
    const SegmentContext context{env,
                                 table,
                                 std::move(*baseUrl),
                                 2 * pass->settings.minRunChars,
                                 passFetchLimits(env),
                                 pacer,
                                 passIgnoreList(env),
                                 pass->settings,
                                 &buffers};
    window.passProgress(shown.grid, 0, pass->total);
    while (!pass->segments.empty()) {
        Text segment = std::move(pass->segments.front());
        pass->segments.pop_front();
        int row = appendSegmentRow(window, shown.grid, segment);
        SegmentResult result = checkSegment(context, segment);
        writeSegmentRow(window, shown.grid, row, result);
        outcome.segments.push_back(std::move(segment));
        outcome.rows.push_back(row);
        const bool cancelled = result.cancelled;
        const Text reason = result.reason;
        outcome.results.push_back(std::move(result));
        if (!cancelled) {
            window.passProgress(shown.grid, outcome.total(), pass->total);
        }
        if (cancelled) {
            markNotReached(window, shown.grid, outcome, pass->segments, table, context.baseUrl,
                           reason);
            finishPass(window, shown, outcome, endOf(env));
            return PassEnd::Cancelled;
        }
    }
    finishPass(window, shown, outcome, PassStop::Finished);
    return PassEnd::Normal;
}

PassEnd recheckEnginePass(Engine engine, const PassEnvironment& env, PassOutcome& outcome) {
    if (engine == Engine::Local) {
        return recheckLocalPass(env, outcome);
    }
    const PassComponents shown = componentsOf(engine);
    WindowPort& window = *env.window;
    // An invalid address leaves the rows and values of the earlier pass as they are.
    std::optional<Text> baseUrl = engineBaseUrl(env, engine);
    if (!baseUrl) {
        return PassEnd::Cancelled;
    }
    window.setButtonDisabled(component::kCheckButton, true);
    window.setLabelCaption(shown.valueLabel, Text());
    if (!shown.verdictLabel.empty()) {
        window.setLabelCaption(shown.verdictLabel, Text());
    }
    const CheckSettings settings = passSettings(env);
    Pacer pacer(passInterval(env, settings));
    PageBuffers buffers;
    const SegmentContext context{env,
                                 engineTable(engine),
                                 std::move(*baseUrl),
                                 2 * settings.minRunChars,
                                 passFetchLimits(env),
                                 pacer,
                                 passIgnoreList(env),
                                 settings,
                                 &buffers};
    const int unverified = outcome.total() - outcome.verified();
    int done = 0;
    window.passProgress(shown.grid, done, unverified);
    for (std::size_t i = 0; i < outcome.results.size(); ++i) {
        if (outcome.results[i].status != SegmentStatus::Unverified) {
            continue;
        }
        SegmentResult result = checkSegment(context, outcome.segments[i]);
        writeSegmentRow(window, shown.grid, outcome.rows[i], result);
        bool cancelled = result.cancelled;
        outcome.results[i] = std::move(result);
        if (!cancelled) {
            window.passProgress(shown.grid, ++done, unverified);
        }
        if (cancelled) {
            finishPass(window, shown, outcome, endOf(env));
            return PassEnd::Cancelled;
        }
    }
    finishPass(window, shown, outcome, PassStop::Finished);
    return PassEnd::Normal;
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
