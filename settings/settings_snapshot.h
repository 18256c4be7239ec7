// Every setting a check uses, read from the settings file once when the check
// starts, with what the program running it overrides. The check, its recheck,
// its report and the results store describe it from this value, never from the
// file at a later time (the user may have changed the file meanwhile).
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "services/text_types.h"
#include "settings/settings.h"

namespace oc {

// What a program gives instead of the settings file's values (command-line
// flags, tests, demos). An empty text or folder and no interval: the file's.
struct SettingsOverrides {
    // Base URLs (scheme://host[:port]) replacing [搜索引擎] 百度 / 360.
    Text baiduUrl;
    Text url360;
    // Replaces [搜索引擎] UserAgent.
    Text userAgent;
    // The wait between two requests of one engine, replacing 查询间隔 (whole
    // seconds) with any number of milliseconds.
    std::optional<std::chrono::milliseconds> interval;
    // The deadline of one result page, replacing 页面超时 (whole seconds).
    std::optional<std::chrono::milliseconds> pageTimeout;
    // Own sites added to the file's 忽略网站 (GBK, the same separators).
    Text ignoredSites;
    // The folder of the local engine's documents (native bytes), replacing
    // 本地文档目录.
    std::string localFolder;
    // 检测方式 and 飘红覆盖率 replacing the file's.
    std::optional<CheckMode> mode;
    std::optional<int> coveragePercent;
    // 缓存天数 replacing the file's (0: no page is taken from the store).
    std::optional<int> cacheDays;
};

// The values one check used. To add a setting: a field here, its read in
// loadSettingsSnapshot, and its line in the report's settings table.
struct SettingsSnapshot {
    // The file the values were read from (GBK path).
    Text path;
    // 段落字数, 飘红检测数, 最后段字数, 查询间隔, 页面超时, 检测方式 and
    // 飘红覆盖率 as the passes apply them (bounded, the overrides applied).
    CheckSettings check;
    // The interval override, when one replaced 查询间隔.
    std::optional<std::chrono::milliseconds> intervalOverride;
    // The page deadline override, when one replaced 页面超时.
    std::optional<std::chrono::milliseconds> pageTimeoutOverride;
    // The engine addresses the passes query, an override replacing the file's
    // (and clearing its error). An address the file gives that is no base URL
    // leaves the address empty and the message in baiduError / error360: that
    // engine's pass queries nothing.
    EngineEndpoints endpoints;
    // The User-Agent sent to the engines.
    Text userAgent;
    // 忽略网站 as the file holds it, and the sites the program added (GBK).
    Text ignoredSites;
    Text extraIgnoredSites;
    // The local engine's folder (native bytes); empty: none set.
    std::string localFolder;
    // 缓存天数: how old a verified result page kept in the results store may
    // be to answer the same query again; 0 asks every query.
    int cacheDays = 7;

    // How long one result page may take: the override, else 页面超时.
    std::chrono::milliseconds pageDeadline() const {
        return pageTimeoutOverride ? *pageTimeoutOverride
                                   : std::chrono::milliseconds(check.pageTimeoutSeconds * 1000LL);
    }
    // The wait between two requests of one engine: the override, else 查询间隔.
    std::chrono::milliseconds queryInterval() const {
        return intervalOverride ? *intervalOverride
                                : std::chrono::milliseconds(check.intervalSeconds * 1000LL);
    }
};

// Reads the settings file `path` once and applies `overrides`.
SettingsSnapshot loadSettingsSnapshot(const Text& path, const SettingsOverrides& overrides);

}  // namespace oc
