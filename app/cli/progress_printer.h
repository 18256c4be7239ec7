// Progress of the passes on standard error, a line per segment as its row fills.
#pragma once

#include <map>
#include <mutex>
#include <ostream>
#include <string>

#include "check/memory_window.h"

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
    std::map<std::string, int> pausedLeft_;  // per grid: seconds of its pause still to wait
};

}  // namespace oc::cli
