// Progress of the passes on standard error, a line per segment as its row fills.
#pragma once

#include <mutex>
#include <ostream>
#include <set>
#include <string>
#include <utility>

#include "check/memory_window.h"
#include "check/segment_status.h"

namespace oc::cli {

class ProgressPrinter {
  public:
    // `total` is the number of segments each pass works through.
    ProgressPrinter(std::ostream& out, int total) : out_(out), total_(total) {}

    void operator()(const WindowEvent& event);

  private:
    std::ostream& out_;
    int total_;
    std::mutex mutex_;
    // The rows whose status is 未核实 (grid, row): their status tip is the reason.
    std::set<std::pair<std::string, int>> unverifiedRows_;
};

}  // namespace oc::cli
