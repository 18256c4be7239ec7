// Progress of the passes on standard error, a few lines per segment: its query
// as its row begins, then what the check found, from the passes' results.
#pragma once

#include <map>
#include <mutex>
#include <ostream>
#include <string>

#include "check/memory_window.h"
#include "check/result_listener.h"

namespace oc::cli {

class ProgressPrinter : public ResultListener {
  public:
    explicit ProgressPrinter(std::ostream& out) : out_(out) {}

    // The window's changes: the text cell of a new row starts its query.
    void operator()(const WindowEvent& event);

    // The segments each pass works through.
    void runStarted(const CheckRequest& request, RunKind kind) override;
    // Hits (of a verified segment), status, the reason it is unverified, the
    // source address of a 命中 row and that a page was analysed only in part.
    void segmentChecked(Engine engine, const CheckedSegment& segment) override;

  private:
    std::ostream& out_;
    int total_ = 0;
    std::mutex mutex_;
    std::map<std::string, int> pausedLeft_;  // per grid: seconds of its pause still to wait
};

}  // namespace oc::cli
