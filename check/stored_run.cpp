#include "check/stored_run.h"

#include "check/check_pass.h"
#include "check/engine_tables.h"
#include "check/pass_steps.h"
#include "check/report_builder.h"
#include "check/store_recorder.h"
#include "services/boundary_text.h"

namespace oc {

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
        while (window.gridRowCount(shown.grid) > 1) {
            if (!window.gridDeleteRow(shown.grid, window.gridRowCount(shown.grid) - 1)) {
                break;
            }
        }
        for (std::string_view label : {shown.valueLabel, shown.coverageLabel, shown.verdictLabel}) {
            if (!label.empty()) {
                window.setLabelCaption(label, Text());
            }
        }
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
