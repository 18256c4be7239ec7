// Keeps a check in the results store as it happens: the check when it starts,
// each row as it is written (committed at once, so a crash loses at most the
// segment being worked on), each pass's figures when it ends, and the end.
#pragma once

#include <mutex>
#include <optional>
#include <string>

#include "check/check_store.h"
#include "check/result_listener.h"

namespace oc {

class StoreRecorder : public ResultListener {
  public:
    // `origin`: "window" or "cli". `extra`: what the front end keeps beside
    // the check (a JSON object, or empty).
    StoreRecorder(CheckStore& store, std::string origin, std::string extra = {});

    // The stored check of the last run; none before a run or without the store.
    std::optional<CheckId> checkId() const;
    // The next recheck updates this stored check (one reopened from the history).
    void continueCheck(CheckId id);
    // What the next checks keep beside them, in place of the one given at the making.
    void setExtra(std::string extra);

    void runStarted(const CheckRequest& request, RunKind kind) override;
    void passStarted(Engine engine, int segments) override;
    void segmentChecked(Engine engine, const CheckedSegment& segment) override;
    void passEnded(Engine engine, const PassOutcome& outcome, const PassSummary& summary,
                   PassEnd end) override;
    void runEnded(const std::vector<PassRecord>& passes) override;

  private:
    CheckStore& store_;
    std::string origin_;
    std::string extra_;
    mutable std::mutex mutex_;
    std::optional<CheckId> id_;
    // The run being kept: false while the store refused it.
    bool keeping_ = false;
    RunKind kind_ = RunKind::Check;
};

// The JSON names of how a pass ended: "normal", "cancelled", "empty-article",
// "no-documents".
const char* passEndName(PassEnd end);
PassEnd passEndOf(const std::string& name);
// "finished", "cancelled", "stopped", and back.
const char* passStopName(PassStop stop);
PassStop passStopOf(const std::string& name);

// A row as the store keeps it, and back.
StoredRow storedRowOf(Engine engine, int row, const Text& segment, const SegmentResult& result);
SegmentResult resultOf(const StoredRow& row);

}  // namespace oc
