// A stored check as the run that made it left it: how each pass ended, every
// segment with its row and result, and the report, so that it is printed,
// exported and shown exactly as it was.
#pragma once

#include <map>
#include <vector>

#include "check/check_report.h"
#include "check/check_request.h"
#include "check/check_store.h"
#include "check/pass_outcome.h"
#include "check/window_port.h"

namespace oc {

struct StoredRun {
    std::vector<PassRecord> passes;
    std::map<Engine, PassOutcome> outcomes;
    CheckReport report;
};

// A pass whose process died reads as stopped where it was.
StoredRun storedRunOf(const StoredCheck& check);

// The request a recheck of the stored check works from: its article, its
// engines and its start, with `current` (the settings file's values now: the
// pacing, the addresses, the user agent, the local folder, 缓存天数) and what
// decided its rows put back as the check used them: 段落字数, 飘红检测数,
// 最后段字数, 检测方式, 飘红覆盖率 and 忽略网站, so that a row asked again is
// judged as its neighbours were.
CheckRequest recheckRequestOf(const StoredCheck& check, SettingsSnapshot current);

// Shows the run in the window as its passes left it: the character count, each
// engine's rows, value, coverage and verdict; an engine the check did not ask
// is left empty.
void showStoredRun(WindowPort& window, const StoredRun& run, int articleChars);

}  // namespace oc
