#include "settings/settings_snapshot.h"

#include <algorithm>

#include "settings/cache_days.h"

namespace oc {

SettingsSnapshot loadSettingsSnapshot(const Text& path, const SettingsOverrides& overrides) {
    SettingsSnapshot snapshot;
    snapshot.path = path;
    snapshot.check = loadCheckSettings(path);
    snapshot.check.mode = overrides.mode.value_or(snapshot.check.mode);
    if (overrides.coveragePercent) {
        snapshot.check.coveragePercent =
            std::clamp(*overrides.coveragePercent, kMinCoveragePercent, kMaxCoveragePercent);
    }
    snapshot.intervalOverride = overrides.interval;
    snapshot.pageTimeoutOverride = overrides.pageTimeout;
    snapshot.endpoints = loadEngineEndpoints(path);
    if (!overrides.baiduUrl.empty()) {
        snapshot.endpoints.baidu = overrides.baiduUrl;
        snapshot.endpoints.baiduError.clear();
    }
    if (!overrides.url360.empty()) {
        snapshot.endpoints.engine360 = overrides.url360;
        snapshot.endpoints.error360.clear();
    }
    snapshot.userAgent = overrides.userAgent.empty() ? loadUserAgent(path) : overrides.userAgent;
    snapshot.ignoredSites = loadIgnoredSites(path);
    snapshot.extraIgnoredSites = overrides.ignoredSites;
    snapshot.localFolder =
        overrides.localFolder.empty() ? loadLocalFolder(path) : overrides.localFolder;
    snapshot.cacheDays = overrides.cacheDays ? std::clamp(*overrides.cacheDays, 0, kMaxCacheDays)
                                             : loadCacheDays(path);
    return snapshot;
}

}  // namespace oc
