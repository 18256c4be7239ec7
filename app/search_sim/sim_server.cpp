#include "app/search_sim/sim_server.h"

#include <chrono>
#include <thread>

namespace oc::sim {
namespace {

// A client that sends nothing for this long is dropped, so clients that
// trickle a request byte by byte, or stall, do not hold a worker for long.
constexpr time_t kReadTimeoutSeconds = 2;
// Workers enough that a few dozen slow clients leave others answered.
constexpr std::size_t kWorkers = 64;

}  // namespace

SimServer::SimServer(SearchService& service, int latencyMs, LogSink log)
    : service_(service), latencyMs_(latencyMs), log_(std::move(log)) {
    // Short keep-alive, so that stopping does not wait long for idle connections.
    server_.set_keep_alive_timeout(1);
    // Headers and body go out in two writes; without this, Nagle's algorithm
    // and the client's delayed acknowledgement add 40 ms to every answer.
    server_.set_tcp_nodelay(true);
    server_.set_read_timeout(kReadTimeoutSeconds);
    server_.new_task_queue = [] { return new httplib::ThreadPool(kWorkers); };
    server_.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
        Answer answer = service_.answer(request.target, request.remote_addr);
        if (latencyMs_ > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(latencyMs_));
        }
        if (log_) {
            log_(answer.logLine);
        }
        response.status = answer.status;
        if (!answer.location.empty()) {
            response.set_header("Location", answer.location);
        }
        response.set_content(answer.body, answer.contentType.c_str());
    });
}

int SimServer::bind(const std::string& host, int port) {
    if (port == 0) {
        return server_.bind_to_any_port(host);
    }
    return server_.bind_to_port(host.c_str(), port) ? port : -1;
}

bool SimServer::run() {
    // running_ is raised before stopRequested_ is read, and stop() does the
    // reverse, so a stop that comes while run() starts is never lost.
    running_ = true;
    bool ok = stopRequested_ || server_.listen_after_bind();
    running_ = false;
    return ok;
}

void SimServer::stop() {
    stopRequested_ = true;
    while (running_ && !server_.is_running()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    // The server may be stopped only once while it listens.
    if (running_ && !stopIssued_.exchange(true)) {
        server_.stop();
    }
}

}  // namespace oc::sim
