// The articles of the 批量检测 window checked one after another on a thread of
// their own: each read (a file of the readable formats or a web page), checked
// with the engines ticked (自动等待 unless 屏蔽时 says 询问, at most one
// request every 3 seconds per engine) and kept in the results store.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "check/batch_summary.h"
#include "check/check_pass.h"
#include "check/check_store.h"
#include "services/platform.h"
#include "services/text_types.h"

namespace oc {

class CheckRun;

struct BatchRunnerSetup {
    Text settingsPath;
    Text baiduUrl;  // empty: the settings file's
    Text url360;
    Platform* platform = nullptr;  // the prompts of 询问
    CheckStore* store = nullptr;   // none: no history, no cache
    bool baidu = true;
    bool engine360 = true;
    // The least wait between two requests of one engine (a longer 查询间隔 wins).
    std::chrono::milliseconds minInterval{3000};
};

// What the runner tells, from its own thread.
struct BatchRunnerEvents {
    std::function<void(int position)> started;
    // The countdown of an engine's pause ("百度已暂停，09:41 后继续"); empty when it ends.
    std::function<void(int position, const std::string& pause)> paused;
    // An article done: its row, its check in the history; `stopped` when
    // 停止 ended it before its end (it is then still to do).
    std::function<void(int position, const BatchEntry& entry, std::optional<CheckId> check,
                       bool stopped)>
        finished;
    // No article is left, or the runner was stopped.
    std::function<void()> ended;
};

class BatchRunner {
  public:
    BatchRunner(BatchRunnerSetup setup, BatchRunnerEvents events);
    // Stops and waits for the thread.
    ~BatchRunner();
    BatchRunner(const BatchRunner&) = delete;
    BatchRunner& operator=(const BatchRunner&) = delete;

    // Checks the inputs (file paths, or http(s) addresses) in order; false
    // while a run is going.
    bool start(std::vector<std::pair<int, std::string>> todo);
    // The article being checked ends at its next step, and no other starts.
    void stop();
    bool running() const { return running_.load(); }

  private:
    void work(std::vector<std::pair<int, std::string>> todo);
    void checkOne(int position, const std::string& input);

    BatchRunnerSetup setup_;
    BatchRunnerEvents events_;
    std::thread thread_;
    std::atomic<bool> running_{false};
    std::atomic<bool> stopping_{false};
    std::mutex mutex_;
    CheckRun* current_ = nullptr;  // guarded by mutex_
    std::shared_ptr<EngineRequestTimes> pacing_ = std::make_shared<EngineRequestTimes>();
};

}  // namespace oc
