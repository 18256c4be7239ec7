// The two check passes: each checks the article against one search engine,
// writing one grid row per segment and the originality value at its end.
#pragma once

#include <functional>

#include "check/window_port.h"
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
    // Fetches one page; httpGet when empty.
    std::function<ByteSet(const Text& url)> fetch;
};

enum class PassEnd { Normal, Cancelled, EmptyArticle };

PassEnd runBaiduPass(const PassEnvironment& env);
PassEnd run360Pass(const PassEnvironment& env);

}  // namespace oc
