// The results of a check as they happen, for whoever keeps or shows them
// (the results store, the desktop program, a test) without reading the window.
#pragma once

#include <cstddef>
#include <mutex>
#include <vector>

#include "check/check_request.h"
#include "check/pass_outcome.h"

namespace oc {

// A check over the whole article, or the recheck of the unverified segments
// of the last one (same request, same rows).
enum class RunKind { Check, Recheck };

// One segment a pass has just checked (or, when the pass gave up, marked
// unverified without checking).
struct CheckedSegment {
    std::size_t index;  // its place in the pass's PassOutcome (0-based)
    int row;            // its grid row and row number (from 1)
    const Text& text;   // the segment (GBK)
    const SegmentResult& result;
};

// Every function has an empty default: override what you need.
// Threads: runStarted comes on the thread that starts the run, before any
// pass. The pass calls of one engine come in order on that pass's thread; the
// passes of different engines call at the same time. runEnded comes once on
// the thread of the pass that ended last, after its passEnded, and before the
// run counts as ended (CheckRun::active() turns false after it returns).
// A listener must not start, stop or wait for a run from inside a call.
class ResultListener {
  public:
    virtual ~ResultListener() = default;

    virtual void runStarted(const CheckRequest& request, RunKind kind) {
        (void)request;
        (void)kind;
    }
    // The pass has `segments` segments to check (for a recheck: its
    // unverified ones). Not called for a pass that ends before checking any
    // (empty article, invalid address, no documents).
    virtual void passStarted(Engine engine, int segments) {
        (void)engine;
        (void)segments;
    }
    virtual void segmentChecked(Engine engine, const CheckedSegment& segment) {
        (void)engine;
        (void)segment;
    }
    // Every pass ends with one call: its whole outcome (after a recheck, the
    // earlier results it kept too), the figures computed from it, and how the
    // pass function returned.
    virtual void passEnded(Engine engine, const PassOutcome& outcome, const PassSummary& summary,
                           PassEnd end) {
        (void)engine;
        (void)outcome;
        (void)summary;
        (void)end;
    }
    // How each pass of the run ended, in the order they ended.
    virtual void runEnded(const std::vector<PassRecord>& passes) { (void)passes; }
};

// Hands every call on to the listeners added, in the order they were added.
// Listeners may be added and removed while passes call; one removed may
// still receive a call that had begun before.
class ResultFanOut : public ResultListener {
  public:
    void add(ResultListener& listener);
    void remove(ResultListener& listener);

    void runStarted(const CheckRequest& request, RunKind kind) override;
    void passStarted(Engine engine, int segments) override;
    void segmentChecked(Engine engine, const CheckedSegment& segment) override;
    void passEnded(Engine engine, const PassOutcome& outcome, const PassSummary& summary,
                   PassEnd end) override;
    void runEnded(const std::vector<PassRecord>& passes) override;

  private:
    std::vector<ResultListener*> listeners() const;

    mutable std::mutex mutex_;
    std::vector<ResultListener*> listeners_;
};

}  // namespace oc
