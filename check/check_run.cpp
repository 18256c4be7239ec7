#include "check/check_run.h"

#include <condition_variable>
#include <mutex>
#include <thread>

#include "services/internet_client.h"

namespace oc {
namespace {

// The window as one pass of a run sees it: the run, not the pass, decides when
// the check button becomes usable again (after the last pass has ended).
class RunWindow : public WindowPort {
  public:
    explicit RunWindow(WindowPort& inner) : inner_(inner) {}

    Text editContent(std::string_view editBox) override { return inner_.editContent(editBox); }
    void setLabelCaption(std::string_view label, const Text& caption) override {
        inner_.setLabelCaption(label, caption);
    }
    void setButtonDisabled(std::string_view button, bool disabled) override {
        if (button == component::kCheckButton && !disabled) {
            return;
        }
        inner_.setButtonDisabled(button, disabled);
    }
    bool isTicked(std::string_view checkBox) override { return inner_.isTicked(checkBox); }
    int gridRowCount(std::string_view grid) override { return inner_.gridRowCount(grid); }
    bool gridDeleteRow(std::string_view grid, int row) override {
        return inner_.gridDeleteRow(grid, row);
    }
    bool gridAppendRow(std::string_view grid, const Text& title, int position) override {
        return inner_.gridAppendRow(grid, title, position);
    }
    bool gridSetCell(std::string_view grid, int row, int column, const Text& value) override {
        return inner_.gridSetCell(grid, row, column, value);
    }
    bool gridSetTextColour(std::string_view grid, int row1, int column1, int row2, int column2,
                           std::uint32_t colour) override {
        return inner_.gridSetTextColour(grid, row1, column1, row2, column2, colour);
    }
    using WindowPort::gridSetCell;

  private:
    WindowPort& inner_;
};

}  // namespace

struct CheckRun::State {
    explicit State(PassEnvironment e) : env(std::move(e)), runWindow(*env.window) {
        passEnv = env;
        passEnv.window = &runWindow;
    }

    PassEnvironment env;
    RunWindow runWindow;
    PassEnvironment passEnv;

    mutable std::mutex mutex;
    std::condition_variable ended;
    int running = 0;     // threads of the run that have not finished
    int unfinished = 0;  // passes of the run that have not ended
    std::vector<std::thread> threads;
    std::vector<PassRecord> records;
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
    if (s.env.window->isTicked(component::kBaiduCheckBox)) {
        engines.push_back(Engine::Baidu);
    }
    if (s.env.window->isTicked(component::k360CheckBox)) {
        engines.push_back(Engine::So360);
    }
    std::vector<std::thread> finished;
    {
        std::lock_guard lock(s.mutex);
        if (s.running > 0 || engines.empty()) {
            return false;
        }
        finished.swap(s.threads);  // every thread of the last run has ended
        s.running = s.unfinished = static_cast<int>(engines.size());
        s.records.clear();
    }
    for (std::thread& t : finished) {
        t.join();
    }
    std::lock_guard lock(s.mutex);
    for (Engine engine : engines) {
        s.threads.emplace_back([state = state_, engine] {
            PassEnd end = PassEnd::Cancelled;
            try {
                end = engine == Engine::Baidu ? runBaiduPass(state->passEnv)
                                              : run360Pass(state->passEnv);
            } catch (...) {
                // A pass never throws; should one, its run still ends cleanly.
            }
            // The cookies the engines set during the pass outlast the program.
            InternetClient::instance().flushCookies();
            bool last;
            {
                std::lock_guard lock(state->mutex);
                state->records.push_back({engine, end});
                last = --state->unfinished == 0;
            }
            // The run stays active until the button is usable again, so a new
            // run can never have its button enabled by the end of this one.
            if (last) {
                state->env.window->setButtonDisabled(component::kCheckButton, false);
            }
            std::lock_guard lock(state->mutex);
            if (--state->running == 0) {
                state->ended.notify_all();
            }
        });
    }
    return true;
}

bool CheckRun::active() const {
    std::lock_guard lock(state_->mutex);
    return state_->running > 0;
}

bool CheckRun::recheckUnverified() {
    return false;  // segment status and the recheck come with the page classes
}

bool CheckRun::hasUnverified() const {
    return false;
}

void CheckRun::wait() {
    std::unique_lock lock(state_->mutex);
    state_->ended.wait(lock, [&] { return state_->running == 0; });
}

std::vector<PassRecord> CheckRun::lastRun() const {
    std::lock_guard lock(state_->mutex);
    return state_->records;
}

}  // namespace oc
