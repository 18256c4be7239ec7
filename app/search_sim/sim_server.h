// The simulator's HTTP front: every GET goes to the search service.
#pragma once

#include <httplib.h>

#include <atomic>
#include <functional>
#include <string>

#include "app/search_sim/search_service.h"

namespace oc::sim {

class SimServer {
  public:
    using LogSink = std::function<void(const std::string& line)>;

    SimServer(SearchService& service, int latencyMs, LogSink log);
    SimServer(const SimServer&) = delete;
    SimServer& operator=(const SimServer&) = delete;

    // Binds the host and port (0: a free port); the bound port, or -1.
    int bind(const std::string& host, int port);
    // Serves until stop(); false when it could not serve at all.
    bool run();
    // Safe from any thread, before, during or after run(), and more than once.
    void stop();
    bool isListening() const { return server_.is_running(); }

  private:
    SearchService& service_;
    int latencyMs_;
    LogSink log_;
    httplib::Server server_;
    std::atomic<bool> running_{false};
    std::atomic<bool> stopRequested_{false};
    std::atomic<bool> stopIssued_{false};
};

}  // namespace oc::sim
