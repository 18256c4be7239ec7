#include "check/stored_run.h"

#include <charconv>
#include <optional>

#include "check/check_pass.h"
#include "check/engine_tables.h"
#include "check/pass_steps.h"
#include "check/report_builder.h"
#include "check/store_recorder.h"
#include "services/boundary_text.h"

namespace oc {

namespace {

// The whole number a stored setting starts with ("38", "80%"); none when it
// does not start with one.
std::optional<int> storedNumber(const std::string& value) {
    int number = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (error != std::errc() || end == value.data()) {
        return std::nullopt;
    }
    return number;
}

}  // namespace

CheckRequest recheckRequestOf(const StoredCheck& check, SettingsSnapshot current) {
    CheckRequest request;
    request.article = gbkFromUtf8(check.article);
    for (const StoredPass& pass : check.passes) {
        request.engines.push_back(pass.summary.engine);
    }
    request.startedAt = std::chrono::system_clock::from_time_t(check.summary.startedAt);
    CheckSettings& used = current.check;
    for (const auto& [name, value] : check.settings) {
        const std::optional<int> number = storedNumber(value);
        if (name == "段落字数" && number) {
            used.segmentChars = *number;
        } else if (name == "飘红检测数" && number) {
            used.minRunChars = *number;
        } else if (name == "最后段字数" && number) {
            used.lastSegmentChars = *number;
        } else if (name == "飘红覆盖率" && number) {
            used.coveragePercent = *number;
        } else if (name == "检测方式") {
            used.mode = checkModeOf(gbkFromUtf8(value)).value_or(used.mode);
        } else if (name == "忽略网站") {
            // The list as the check applied it, the program's additions included.
            current.ignoredSites = gbkFromUtf8(value);
            current.extraIgnoredSites.clear();
        }
    }
    request.settings = std::move(current);
    return request;
}

StoredRun storedRunOf(const StoredCheck& check) {
    StoredRun run;
    run.report.checkedAt =
        reportTimestamp(std::chrono::system_clock::from_time_t(check.summary.startedAt));
    run.report.settings = check.settings;
    run.report.article = gbkFromUtf8(check.article);
    run.report.articleChars = check.summary.chars;
    for (const StoredPass& pass : check.passes) {
        const Engine engine = pass.summary.engine;
        const bool running = pass.summary.end == "running";
        const PassEnd end = running ? PassEnd::Cancelled : passEndOf(pass.summary.end);
        PassOutcome& outcome = run.outcomes[engine];
        outcome.stop = running ? PassStop::Stopped : passStopOf(pass.summary.stop);
        for (const StoredRow& row : pass.rows) {
            outcome.segments.push_back(gbkFromUtf8(row.text));
            outcome.rows.push_back(row.number);
            outcome.results.push_back(resultOf(row));
        }
        run.passes.push_back({engine, end});
        run.report.passes.push_back(reportPassOf(engine, outcome, end == PassEnd::Cancelled));
    }
    return run;
}

void showStoredRun(WindowPort& window, const StoredRun& run, int articleChars) {
    window.setLabelCaption(component::kCharCountLabel, Text(std::to_string(articleChars)));
    PassEnvironment env;
    env.window = &window;
    env.releaseCheckButton = false;
    for (Engine engine : kAllEngines) {
        const EngineIdentity& shown = engineIdentity(engine);
        clearEngineResults(window, shown);
        auto stored = run.outcomes.find(engine);
        if (stored == run.outcomes.end()) {
            continue;
        }
        PassOutcome outcome = stored->second;
        for (std::size_t i = 0; i < outcome.results.size(); ++i) {
            const int row = appendSegmentRow(window, shown.grid, outcome.segments[i]);
            writeSegmentRow(window, shown.grid, row, outcome.results[i]);
        }
        finishPass(env, shown, outcome, outcome.stop);
    }
}

}  // namespace oc
