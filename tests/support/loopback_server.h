// A real HTTP server on 127.0.0.1 for tests, on an ephemeral port, with a log
// of every request it saw.
#pragma once

#include <httplib.h>

#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace oc::testing {

struct SeenRequest {
    std::string method;
    std::string target;   // path with query, as sent
    std::string version;  // "HTTP/1.0" or "HTTP/1.1"
    httplib::Headers headers;
};

class LoopbackServer {
public:
    LoopbackServer();
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    // Register handlers before start().
    httplib::Server& server() { return server_; }
    void start();
    void stop();

    int port() const { return port_; }
    std::string baseUrl() const;  // "http://127.0.0.1:PORT"

    std::vector<SeenRequest> requests() const;
    std::vector<std::string> targets() const;
    void clearRequests();

private:
    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;
    mutable std::mutex mutex_;
    std::vector<SeenRequest> requests_;
};

}  // namespace oc::testing
