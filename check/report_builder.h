// Builds the report of a finished check from what its passes left behind, for
// every program that exports one (the window's export button, the
// command-line checker's --report).
#pragma once

#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "check/check_pass.h"
#include "check/check_report.h"
#include "check/check_run.h"
#include "check/segment_status.h"

namespace oc {

// One row per segment of the outcome, in the order of the grid; the source only
// on 命中 rows, as the check found it (UTF-8, characters GBK lacks kept); value,
// coverage and verdict (none for an engine without one) from summarizePass.
ReportPass reportPassOf(Engine engine, const PassOutcome& outcome, bool cancelled);

// The settings a check used, as its snapshot holds them: the parameters, the
// query interval, the own sites and the engine addresses.
std::vector<std::pair<std::string, std::string>> reportSettings(const SettingsSnapshot& settings);

// The whole report of the check of `request`: a pass per record (the last end
// of each engine; EmptyArticle ones and engines without an outcome left out),
// Baidu first, with the request's settings, article and start time.
CheckReport buildCheckReport(const std::vector<PassRecord>& ends,
                             const std::map<Engine, PassOutcome>& outcomes,
                             const CheckRequest& request);

// "YYYY-MM-DD HH:MM:SS" in local time.
std::string reportTimestamp(std::chrono::system_clock::time_point when);

}  // namespace oc
