// One press of the check button: a pass per ticked engine, each on its own thread.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "check/check_pass.h"

namespace oc {

// Starts the passes of a run and keeps the check button disabled until every
// pass of the run has ended. A press while a run is active starts nothing.
// The destructor waits for the passes: at shutdown, first make the window's
// operations return at once and abort the fetches, so the passes end quickly.
// The environment's listener, and any added to listeners(), hear of every run.
class CheckRun {
  public:
    explicit CheckRun(PassEnvironment env);
    ~CheckRun();
    CheckRun(const CheckRun&) = delete;
    CheckRun& operator=(const CheckRun&) = delete;

    // The check button's handler: reads the check boxes (Baidu first), then
    // the article and the settings into the check's request, and starts a
    // thread per ticked engine. False when a run is still active; false after
    // one message when nothing is ticked or the article is empty (the last
    // check's request and outcomes then stay).
    bool start();
    bool active() const;
    // After a run: queries again only the unverified rows, one pass per engine
    // that has some, on its own thread, with the same prompts; the rows are
    // updated in place and value, coverage and verdict computed afresh. The
    // recheck works from the last check's request (its article and settings).
    // False while a run is active or when nothing is unverified.
    bool recheckUnverified();
    bool hasUnverified() const;
    // Takes a check made earlier (one reopened from the history) as the last
    // check, so that recheckUnverified asks its unverified rows again. False,
    // and nothing taken, while a run is active.
    bool adopt(std::shared_ptr<const CheckRequest> request, std::map<Engine, PassOutcome> outcomes);
    // The stop button's handler: every pass of the active run ends at its next
    // step as if 取消 had been answered (the fetches in flight are aborted),
    // the segments it did not finish unverified with 已停止. Fetches work again
    // once the last pass has ended. False when no run is active. The window
    // closes its open prompts itself.
    bool stop();
    // Waits until the passes of the current run have ended.
    void wait();
    // How each pass of the last run ended, in the order they ended; after a
    // press on an empty article, EmptyArticle for each ticked engine.
    std::vector<PassRecord> lastRun() const;
    // What each engine's pass of the last run (and any recheck since) left:
    // every segment with its row and result. Empty for an engine not run.
    std::map<Engine, PassOutcome> lastOutcomes() const;
    // The request of the last check started (none before the first).
    std::shared_ptr<const CheckRequest> lastRequest() const;
    // Where listeners are added; they hear of every run from then on.
    ResultFanOut& listeners();

  private:
    struct State;
    std::shared_ptr<State> state_;
};

}  // namespace oc
