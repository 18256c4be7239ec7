// The two check passes: each checks the article against one search engine,
// writing one grid row per segment and the originality value at its end.
#pragma once

#include <chrono>
#include <functional>
#include <optional>

#include "check/engine_tables.h"
#include "check/segment_status.h"
#include "check/window_port.h"
#include "services/http_fetch.h"
#include "services/platform.h"
#include "services/text_types.h"

namespace oc {

// What a pass needs from its surroundings; the desktop program, the
// command-line checker and the tests each provide their own.
struct PassEnvironment {
    WindowPort* window = nullptr;
    Platform* platform = nullptr;
    // The settings file, read afresh at the start of every pass.
    Text settingsPath;
    // Base URLs (scheme://host[:port]) overriding the settings file; empty: use it.
    Text baiduUrl;
    Text url360;
    // The limits of every page fetch. Its user agent is replaced by the
    // settings file's unless `userAgent` gives one.
    FetchLimits fetchLimits;
    Text userAgent;
    // The wait between two requests of one engine, overriding the settings
    // file's 查询间隔 (whole seconds) when given.
    std::optional<std::chrono::milliseconds> interval;
    // Replaces the network for appendPageText only (tests); the passes fetch
    // with fetchPage and these limits.
    std::function<ByteSet(const Text& url)> fetch;
    // Own sites added to the settings file's 忽略网站 (GBK, the same separators).
    Text ignoredSites;
};

// Cancelled also ends a pass whose engine address in the settings file is
// invalid: its message was shown, nothing queried and no value written.
enum class PassEnd { Normal, Cancelled, EmptyArticle };

PassEnd runBaiduPass(const PassEnvironment& env);
PassEnd run360Pass(const PassEnvironment& env);

// A pass of one engine over the article; `outcome` receives every segment
// with its row and status.
PassEnd runEnginePass(Engine engine, const PassEnvironment& env, PassOutcome& outcome);
// Queries again the unverified segments of an earlier pass of the engine,
// updating their rows in place, then value, coverage and verdict.
PassEnd recheckEnginePass(Engine engine, const PassEnvironment& env, PassOutcome& outcome);

}  // namespace oc
