// A stored check as the run that made it left it: how each pass ended, every
// segment with its row and result, and the report, so that it is printed,
// exported and shown exactly as it was.
#pragma once

#include <map>
#include <vector>

#include "check/check_report.h"
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

// Shows the run in the window as its passes left it: the character count, each
// engine's rows, value, coverage and verdict; an engine the check did not ask
// is left empty.
void showStoredRun(WindowPort& window, const StoredRun& run, int articleChars);

}  // namespace oc
