// What one check works from: the article as checked, the engines asked and a
// snapshot of every setting it uses, taken once before its first pass starts.
// The passes of the check, the recheck of its unverified segments, its report
// and the results store all read the check's settings from here.
#pragma once

#include <chrono>
#include <vector>

#include "check/engine_tables.h"
#include "check/ignore_list.h"
#include "services/text_types.h"
#include "settings/settings_snapshot.h"

namespace oc {

struct CheckRequest {
    // The article as the article box held it when the check started (GBK),
    // before the filters that prepare it for cutting.
    Text article;
    // The engines ticked, in the order Baidu, 360, local.
    std::vector<Engine> engines;
    // Every setting value the check uses, overrides applied.
    SettingsSnapshot settings;
    // When the check button was pressed.
    std::chrono::system_clock::time_point startedAt;
};

// A request for `article` and `engines`, with the settings file `path` read
// now and `overrides` applied, started now.
CheckRequest makeCheckRequest(Text article, std::vector<Engine> engines, const Text& path,
                              const SettingsOverrides& overrides);

// The characters of the article the window shows beside it ("文章字数"):
// those of the prepared article.
int articleCharsOf(const CheckRequest& request);

// Whether the article holds a character the check would query: a letter or
// digit of any script its 检测方式 keeps (in 经典 only non-ASCII ones).
bool hasCheckableText(const CheckRequest& request);

// The own sites of the snapshot: 忽略网站 and the program's additions.
IgnoreList ignoreListOf(const SettingsSnapshot& settings);

}  // namespace oc
