// The two check passes: each checks the article against one search engine,
// writing one grid row per segment and the originality value at its end.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "check/block_wait.h"
#include "check/check_request.h"
#include "check/engine_tables.h"
#include "check/pass_outcome.h"
#include "check/result_listener.h"
#include "check/segment_status.h"
#include "check/window_port.h"
#include "corpus/document_library.h"
#include "services/http_fetch.h"
#include "services/platform.h"
#include "services/text_types.h"
#include "settings/settings_snapshot.h"

namespace oc {

class CheckStore;

// What a pass needs from its surroundings; the desktop program, the
// command-line checker and the tests each provide their own. The overrides
// of the settings file (SettingsOverrides) are applied when a check's
// request is made.
// When each web engine was last asked (steady clock); a pass of that engine
// is the only one that touches its slot, and passes of one engine follow one
// another.
struct EngineRequestTimes {
    std::map<Engine, std::chrono::steady_clock::time_point> last;
    std::mutex mutex;
};

struct PassEnvironment : SettingsOverrides {
    WindowPort* window = nullptr;
    Platform* platform = nullptr;
    // The settings file, read once when a check starts (into its request).
    Text settingsPath;
    // The limits of every page fetch; its user agent is replaced by the
    // request's.
    FetchLimits fetchLimits;
    // Told of every pass's results as they happen (none: nobody listens).
    ResultListener* listener = nullptr;
    // Whether a pass enables the check button when it ends. A run of several
    // passes clears it and enables the button itself after the last one.
    bool releaseCheckButton = true;
    // Set when the user stops the check: the pass ends at its next step as if
    // 取消 had been answered, its unreached segments unverified (已停止).
    const std::atomic<bool>* stop = nullptr;
    // The documents of the local engine, kept from check to check; a pass
    // without one reads the folder for itself. One pass uses it at a time.
    std::shared_ptr<corpus::DocumentLibrary> library;
    // Told of the files indexed so far before the local engine's rows begin.
    corpus::IndexProgress indexProgress;
    // Told of the files the local engine left out (path order) each time its
    // documents have been brought up to date, a stopped indexing aside.
    std::function<void(const std::vector<corpus::SkippedFile>&)> skippedFiles;
    // The results store whose remembered result pages answer a query asked
    // before (within 缓存天数), and which keeps the pages verified now; none:
    // every query is asked.
    CheckStore* store = nullptr;

    // How blocked and failed pages are met (the run's 屏蔽时 and 屏蔽等待);
    // none: the prompt after each, as a single check has always had.
    std::shared_ptr<BlockPolicy> blocks;
    // Each run of a CheckRun takes `blocks` from 屏蔽时 and 屏蔽等待 of the
    // settings file (a single check: 询问 unless the file says otherwise).
    bool blocksFromSettings = false;
    // No engine is asked faster than this, whatever the interval (a batch: 3 s).
    std::chrono::milliseconds minInterval{0};
    // When each engine was last asked, kept from one check to the next (a
    // batch: its articles' passes never ask an engine sooner than the interval
    // after the last request of the article before); none: each pass alone.
    std::shared_ptr<EngineRequestTimes> lastRequests;

    bool stopRequested() const { return stop != nullptr && stop->load(std::memory_order_acquire); }
};

// A pass of one engine (the local engine's too) over the request's article
// with its settings; `outcome` receives every segment with its row and result.
// The environment's listener is told of the pass as it goes.
PassEnd runEnginePass(Engine engine, const CheckRequest& request, const PassEnvironment& env,
                      PassOutcome& outcome);
// Queries again the unverified segments of an earlier pass of the engine over
// `request`, with its settings, updating their rows in place, then value,
// coverage and verdict.
PassEnd recheckEnginePass(Engine engine, const CheckRequest& request, const PassEnvironment& env,
                          PassOutcome& outcome);

// The same for a pass on its own: the request made now from the article box
// and the settings file of `env`.
PassEnd runEnginePass(Engine engine, const PassEnvironment& env, PassOutcome& outcome);
PassEnd recheckEnginePass(Engine engine, const PassEnvironment& env, PassOutcome& outcome);
PassEnd runBaiduPass(const PassEnvironment& env);
PassEnd run360Pass(const PassEnvironment& env);

// The request a pass on its own works from: the article box's text and the
// settings file read now, for `engine`.
CheckRequest requestFromWindow(const PassEnvironment& env, Engine engine);

}  // namespace oc
