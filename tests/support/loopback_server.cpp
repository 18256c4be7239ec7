#include "tests/support/loopback_server.h"

#include <chrono>
#include <stdexcept>

namespace oc::testing {

LoopbackServer::LoopbackServer() {
    // Logged before the handler runs, so a client that got its answer finds it here.
    server_.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response&) {
        std::lock_guard lock(mutex_);
        requests_.push_back(SeenRequest{req.method, req.target, req.version, req.headers});
        return httplib::Server::HandlerResponse::Unhandled;
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    if (port_ <= 0) {
        throw std::runtime_error("cannot bind a loopback port");
    }
}

LoopbackServer::~LoopbackServer() { stop(); }

void LoopbackServer::start() {
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void LoopbackServer::stop() {
    if (thread_.joinable()) {
        server_.stop();
        thread_.join();
    }
}

std::string LoopbackServer::baseUrl() const { return "http://127.0.0.1:" + std::to_string(port_); }

std::vector<SeenRequest> LoopbackServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

std::vector<std::string> LoopbackServer::targets() const {
    std::vector<std::string> out;
    for (const auto& r : requests()) {
        out.push_back(r.target);
    }
    return out;
}

void LoopbackServer::clearRequests() {
    std::lock_guard lock(mutex_);
    requests_.clear();
}

}  // namespace oc::testing
