// Builds the report of a finished check from what its passes left behind, for
// every program that exports one (the window's export button, the
// command-line checker's --report).
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "check/check_pass.h"
#include "check/check_report.h"
#include "check/check_run.h"
#include "check/segment_status.h"

namespace oc {

// What the window showed at the end of a pass (UTF-8).
struct PassCaptions {
    std::string value;
    std::string coverage;
    std::string verdict;
};

// One row per segment of the outcome, in the order of the grid; the source only
// on 命中 rows, as the check found it (UTF-8, characters GBK lacks kept).
ReportPass reportPassOf(Engine engine, const PassOutcome& outcome, bool cancelled,
                        const PassCaptions& captions);

// The settings a check of `env` used: the settings file's parameters, the
// query interval, the own sites and the engine addresses, with any override of
// the environment applied.
std::vector<std::pair<std::string, std::string>> reportSettings(const PassEnvironment& env);

// The whole report of a check: a pass per record (the last end of each engine;
// EmptyArticle ones and engines without an outcome left out), Baidu first,
// with the captions `captionOf` reads from the window (a label name to its
// text, GBK), the settings of `env`, the article as the passes read it and
// the time now.
CheckReport buildCheckReport(const std::vector<PassRecord>& ends,
                             const std::map<Engine, PassOutcome>& outcomes,
                             const PassEnvironment& env, const Text& article,
                             const std::function<Text(std::string_view label)>& captionOf);

// "YYYY-MM-DD HH:MM:SS" in local time.
std::string reportTimestamp(std::chrono::system_clock::time_point when);

}  // namespace oc
