// A pass environment over an in-memory window and a scripted platform, with
// the article already in the article box and both engines pointed at one
// server: what the benchmarks run their passes on.
#pragma once

#include <string>

#include "check/check_pass.h"
#include "check/memory_window.h"
#include "tests/support/scripted_platform.h"

namespace oc::testing {

struct PassRig {
    PassRig(const Text& article, std::string settingsPath, const std::string& engineUrl) {
        window.setEditContent(component::kArticleBox, article);
        env.window = &window;
        env.platform = &platform;
        env.settingsPath = std::move(settingsPath);
        env.baiduUrl = engineUrl;
        env.url360 = engineUrl;
    }
    // The environment points at the members: a rig stays where it was made.
    PassRig(const PassRig&) = delete;
    PassRig& operator=(const PassRig&) = delete;

    MemoryWindow window;
    ScriptedPlatform platform;
    PassEnvironment env;
};

}  // namespace oc::testing
