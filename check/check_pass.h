// The two check passes: each checks the article against one search engine,
// writing one grid row per segment and the originality value at its end.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "check/engine_tables.h"
#include "check/segment_status.h"
#include "check/window_port.h"
#include "corpus/document_library.h"
#include "services/http_fetch.h"
#include "services/platform.h"
#include "services/text_types.h"
#include "settings/settings.h"

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
    // 检测方式 and 飘红覆盖率 overriding the settings file's when given.
    std::optional<CheckMode> mode;
    std::optional<int> coveragePercent;
    // Replaces the network for appendPageText only (tests); the passes fetch
    // with fetchPage and these limits.
    std::function<ByteSet(const Text& url)> fetch;
    // Own sites added to the settings file's 忽略网站 (GBK, the same separators).
    Text ignoredSites;
    // Set when the user stops the check: the pass ends at its next step as if
    // 取消 had been answered, its unreached segments unverified (已停止).
    const std::atomic<bool>* stop = nullptr;
    // The folder of the local engine's documents (native bytes), overriding the
    // settings file's 本地文档目录 when given.
    std::string localFolder;
    // The documents of the local engine, kept from check to check; a pass
    // without one reads the folder for itself. One pass uses it at a time.
    std::shared_ptr<corpus::DocumentLibrary> library;
    // Told of the files indexed so far before the local engine's rows begin.
    corpus::IndexProgress indexProgress;
    // Told of the files the local engine left out (path order) each time its
    // documents have been brought up to date, a stopped indexing aside.
    std::function<void(const std::vector<corpus::SkippedFile>&)> skippedFiles;

    bool stopRequested() const { return stop != nullptr && stop->load(std::memory_order_acquire); }
};

// Cancelled also ends a pass whose engine address in the settings file is
// invalid: its message was shown, nothing queried and no value written, and a
// pass the user stopped: its rows say 已停止.
// NoDocuments: the local engine had no folder or no document in it; its
// message has been shown and no row written.
enum class PassEnd { Normal, Cancelled, EmptyArticle, NoDocuments };

PassEnd runBaiduPass(const PassEnvironment& env);
PassEnd run360Pass(const PassEnvironment& env);

// The pass of the local engine: each segment against the documents of the
// folder; the result for `outcome` as runEnginePass gives it.
PassEnd runLocalPass(const PassEnvironment& env, PassOutcome& outcome);
PassEnd recheckLocalPass(const PassEnvironment& env, PassOutcome& outcome);

// A pass of one engine over the article (the local engine's too); `outcome` receives every segment
// with its row and status.
PassEnd runEnginePass(Engine engine, const PassEnvironment& env, PassOutcome& outcome);
// Queries again the unverified segments of an earlier pass of the engine,
// updating their rows in place, then value, coverage and verdict.
PassEnd recheckEnginePass(Engine engine, const PassEnvironment& env, PassOutcome& outcome);

}  // namespace oc
