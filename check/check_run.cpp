#include "check/check_run.h"

#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

#include "check/article_length.h"
#include "check/pass_steps.h"
#include "check/pass_texts.h"
#include "corpus/archive_library.h"
#include "corpus/document_folder.h"
#include "services/http_fetch.h"
#include "services/internet_client.h"

namespace oc {
namespace {}  // namespace

struct CheckRun::State {
    explicit State(PassEnvironment e) : env(std::move(e)) {
        // The local documents stay indexed from run to run.
        if (!env.library) {
            env.library = std::make_shared<corpus::ArchiveLibrary>();
        }
        if (env.listener != nullptr) {
            listeners.add(*env.listener);
        }
        passEnv = env;
        // The run, not a pass, makes the check button usable again, after its last pass.
        passEnv.releaseCheckButton = false;
        passEnv.stop = &stopping;
        passEnv.listener = &listeners;
    }

    PassEnvironment env;
    PassEnvironment passEnv;
    ResultFanOut listeners;

    mutable std::mutex mutex;
    std::condition_variable ended;
    int running = 0;     // threads of the run that have not finished
    int unfinished = 0;  // passes of the run that have not ended
    // The user stopped the run; cleared, and the fetches resumed, when its
    // last pass ends.
    std::atomic<bool> stopping{false};
    std::vector<std::thread> threads;
    std::vector<PassRecord> records;
    // The request of the last check: its recheck works from it too.
    std::shared_ptr<const CheckRequest> request;
    // What the passes of the last run left, for the recheck; a pass works on
    // its own copy and puts it back when it ends.
    std::map<Engine, PassOutcome> outcomes;

    // Starts a thread per engine; the caller has counted them as running.
    static void launch(const std::shared_ptr<State>& state, const std::vector<Engine>& engines,
                       RunKind kind);

    bool anyUnverifiedLocked() const {
        for (const auto& [engine, outcome] : outcomes) {
            if (outcome.hasUnverified()) {
                return true;
            }
        }
        return false;
    }
};

CheckRun::CheckRun(PassEnvironment env) : state_(std::make_shared<State>(std::move(env))) {}

CheckRun::~CheckRun() {
    std::vector<std::thread> threads;
    {
        std::lock_guard lock(state_->mutex);
        threads.swap(state_->threads);
    }
    for (std::thread& t : threads) {
        t.join();
    }
}

bool CheckRun::start() {
    State& s = *state_;
    std::vector<Engine> engines;
    for (Engine engine : kAllEngines) {
        if (s.env.window->isTicked(engineIdentity(engine).checkBox)) {
            engines.push_back(engine);
        }
    }
    if (active()) {
        return false;
    }
    // Said once for the press, not once per engine.
    if (engines.empty()) {
        s.env.platform->messageBox(pass_texts::tickAnEngine(), kMbOk, pass_texts::hintTitle());
        return false;
    }
    // The article and every setting, read once for all the passes of the check.
    auto request = std::make_shared<const CheckRequest>(makeCheckRequest(
        s.env.window->editContent(component::kArticleBox), engines, s.env.settingsPath, s.env));
    // An over-long article stays in the box; nothing is checked.
    if (const std::size_t chars = articleLength(request->article); chars > kMaxArticleChars) {
        s.env.platform->messageBox(pass_texts::articleTooLong(chars), kMbOk,
                                   pass_texts::hintTitle());
        return false;
    }
    // An article with nothing a query would hold is refused like an empty one.
    if (request->article.empty() || !hasCheckableText(*request)) {
        s.env.platform->messageBox(
            request->article.empty() ? pass_texts::pasteArticle() : pass_texts::nothingToCheck(),
            kMbOk, pass_texts::hintTitle());
        std::lock_guard lock(s.mutex);
        s.records.clear();
        for (Engine engine : engines) {
            s.records.push_back({engine, PassEnd::EmptyArticle});
        }
        return false;
    }
    // The local documents' folder is looked at before any engine starts: one
    // that cannot be used is said at once, and the other engines go on.
    std::vector<PassRecord> notRun;
    if (std::erase(engines, Engine::Local) > 0) {
        const std::string& folder = request->settings.localFolder;
        if (const corpus::FolderProblem problem = corpus::folderProblemOf(folder);
            problem != corpus::FolderProblem::None) {
            s.env.platform->messageBox(pass_texts::localFolderProblem(problem, folder), kMbOk,
                                       pass_texts::hintTitle());
            clearEngineResults(*s.env.window, engineIdentity(Engine::Local));
            notRun.push_back({Engine::Local, PassEnd::NoDocuments});
        } else {
            engines.push_back(Engine::Local);
        }
    }
    if (engines.empty()) {
        std::lock_guard lock(s.mutex);
        s.records = notRun;
        return false;
    }
    std::vector<std::thread> finished;
    {
        std::lock_guard lock(s.mutex);
        if (s.running > 0) {
            return false;
        }
        finished.swap(s.threads);  // every thread of the last run has ended
        if (s.env.blocksFromSettings) {
            // 不再询问 holds for one run; each run reads 屏蔽时 afresh.
            s.env.blocks = blockPolicyFromSettings(s.env.settingsPath, false);
            s.passEnv.blocks = s.env.blocks;
        }
        s.running = s.unfinished = static_cast<int>(engines.size());
        s.records = notRun;
        s.outcomes.clear();
        s.request = request;
    }
    for (std::thread& t : finished) {
        t.join();
    }
    s.env.window->setButtonDisabled(component::kRecheckButton, true);
    s.env.window->setButtonDisabled(component::kStopButton, false);
    s.listeners.runStarted(*request, RunKind::Check);
    State::launch(state_, engines, RunKind::Check);
    return true;
}

void CheckRun::State::launch(const std::shared_ptr<State>& state,
                             const std::vector<Engine>& engines, RunKind kind) {
    std::lock_guard lock(state->mutex);
    for (Engine engine : engines) {
        PassOutcome outcome;
        if (kind == RunKind::Recheck) {
            outcome = state->outcomes[engine];
        }
        state->threads.emplace_back([state, engine, kind, request = state->request,
                                     outcome = std::move(outcome)]() mutable {
            PassEnd end = PassEnd::Cancelled;
            try {
                end = kind == RunKind::Check
                          ? runEnginePass(engine, *request, state->passEnv, outcome)
                          : recheckEnginePass(engine, *request, state->passEnv, outcome);
            } catch (...) {
                // A pass never throws; should one, its run still ends cleanly.
            }
            // What the pass wrote has reached the window before the run can end.
            state->env.window->flush();
            // The cookies the engines set during the pass outlast the program.
            InternetClient::instance().flushCookies();
            bool last;
            bool unverified;
            bool stopped = false;
            std::vector<PassRecord> records;
            {
                std::lock_guard lock(state->mutex);
                state->records.push_back({engine, end});
                state->outcomes[engine] = std::move(outcome);
                last = --state->unfinished == 0;
                unverified = state->anyUnverifiedLocked();
                if (last) {
                    stopped = state->stopping.exchange(false);
                    records = state->records;
                }
            }
            if (stopped) {
                resumeFetches();
            }
            // The run stays active until the buttons are usable again, so a new
            // run can never have its buttons set by the end of this one.
            if (last) {
                state->env.window->setButtonDisabled(component::kStopButton, true);
                state->env.window->setButtonDisabled(component::kCheckButton, false);
                state->env.window->setButtonDisabled(component::kRecheckButton, !unverified);
                state->env.window->flush();
                state->listeners.runEnded(records);
            }
            std::lock_guard lock(state->mutex);
            if (--state->running == 0) {
                state->ended.notify_all();
            }
        });
    }
}

bool CheckRun::active() const {
    std::lock_guard lock(state_->mutex);
    return state_->running > 0;
}

bool CheckRun::recheckUnverified() {
    State& s = *state_;
    std::vector<Engine> engines;
    std::vector<std::thread> finished;
    {
        std::lock_guard lock(s.mutex);
        if (s.running > 0) {
            return false;
        }
        for (const auto& [engine, outcome] : s.outcomes) {
            if (outcome.hasUnverified()) {
                engines.push_back(engine);
            }
        }
        if (engines.empty()) {
            return false;
        }
        finished.swap(s.threads);
        s.running = s.unfinished = static_cast<int>(engines.size());
        s.records.clear();
    }
    for (std::thread& t : finished) {
        t.join();
    }
    s.env.window->setButtonDisabled(component::kCheckButton, true);
    s.env.window->setButtonDisabled(component::kRecheckButton, true);
    s.env.window->setButtonDisabled(component::kStopButton, false);
    s.listeners.runStarted(*s.request, RunKind::Recheck);
    State::launch(state_, engines, RunKind::Recheck);
    return true;
}

bool CheckRun::stop() {
    std::lock_guard lock(state_->mutex);
    if (state_->unfinished == 0) {
        return false;
    }
    state_->stopping.store(true, std::memory_order_release);
    abortAllFetches();
    return true;
}

bool CheckRun::hasUnverified() const {
    std::lock_guard lock(state_->mutex);
    return state_->anyUnverifiedLocked();
}

bool CheckRun::adopt(std::shared_ptr<const CheckRequest> request,
                     std::map<Engine, PassOutcome> outcomes) {
    std::lock_guard lock(state_->mutex);
    if (state_->running > 0) {
        return false;
    }
    state_->request = std::move(request);
    state_->outcomes = std::move(outcomes);
    state_->records.clear();
    return true;
}

void CheckRun::wait() {
    std::unique_lock lock(state_->mutex);
    state_->ended.wait(lock, [&] { return state_->running == 0; });
}

std::vector<PassRecord> CheckRun::lastRun() const {
    std::lock_guard lock(state_->mutex);
    return state_->records;
}

std::map<Engine, PassOutcome> CheckRun::lastOutcomes() const {
    std::lock_guard lock(state_->mutex);
    return state_->outcomes;
}

}  // namespace oc

namespace oc {

std::shared_ptr<const CheckRequest> CheckRun::lastRequest() const {
    std::lock_guard lock(state_->mutex);
    return state_->request;
}

ResultFanOut& CheckRun::listeners() {
    return state_->listeners;
}

}  // namespace oc
