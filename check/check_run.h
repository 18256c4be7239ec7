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
struct PassRecord {
    Engine engine;
    PassEnd end;
};

class CheckRun {
  public:
    explicit CheckRun(PassEnvironment env);
    ~CheckRun();
    CheckRun(const CheckRun&) = delete;
    CheckRun& operator=(const CheckRun&) = delete;

    // The check button's handler: reads the two check boxes (Baidu first) and
    // starts a thread per ticked one. False when a run is still active or
    // nothing is ticked.
    bool start();
    bool active() const;
    // After a run: queries again only the unverified rows, one pass per engine
    // that has some, on its own thread, with the same prompts; the rows are
    // updated in place and value, coverage and verdict computed afresh. False
    // while a run is active or when nothing is unverified.
    bool recheckUnverified();
    bool hasUnverified() const;
    // Waits until the passes of the current run have ended.
    void wait();
    // How each pass of the last run ended, in the order they ended.
    std::vector<PassRecord> lastRun() const;
    // What each engine's pass of the last run (and any recheck since) left:
    // every segment with its row and result. Empty for an engine not run.
    std::map<Engine, PassOutcome> lastOutcomes() const;

  private:
    struct State;
    std::shared_ptr<State> state_;
};

}  // namespace oc
