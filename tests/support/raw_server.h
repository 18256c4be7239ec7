// A bare TCP server on 127.0.0.1 for tests, on an ephemeral port, for the
// answers a real HTTP server will not give: a body without Content-Length, a
// Content-Length that lies, a connection dropped part-way, a server that
// stalls, or anything else hostile. Each accepted connection runs the handler
// on its own thread with the connected socket.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace oc::testing {

class RawServer;

// One accepted connection, handed to the handler. The socket is closed when
// the handler returns (unless the handler closed it before).
class RawConnection {
  public:
    RawConnection(int fd, RawServer& server) : fd_(fd), server_(server) {}
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    int fd() const { return fd_; }

    // Reads up to the blank line that ends the request head and returns the
    // head without it; what the peer sent if it closed first. The head is
    // added to the server's log.
    std::string readRequestHead(std::chrono::milliseconds max = std::chrono::seconds(10));
    // Sends all the bytes; false when the peer is gone.
    bool send(std::string_view bytes);
    // Sends nothing until the server stops, the peer hangs up or `max` passes.
    void stall(std::chrono::milliseconds max = std::chrono::seconds(60));
    // Makes the close when the handler returns a reset (RST) instead of an
    // orderly end: the peer sees the connection dropped.
    void resetOnClose();

  private:
    int fd_;
    RawServer& server_;
};

class RawServer {
  public:
    using Handler = std::function<void(RawConnection&)>;

    // Binds an ephemeral port and starts accepting at once.
    explicit RawServer(Handler handler);
    ~RawServer();
    RawServer(const RawServer&) = delete;
    RawServer& operator=(const RawServer&) = delete;

    int port() const { return port_; }
    std::string baseUrl() const;  // "http://127.0.0.1:PORT"

    // Every request head that handlers read, in the order they were read.
    std::vector<std::string> requestHeads() const;
    // Waits until at least `count` heads were read; false on time-out.
    bool waitForRequests(std::size_t count,
                         std::chrono::milliseconds max = std::chrono::seconds(10)) const;
    int connectionCount() const { return connections_.load(); }

    // Stops accepting, wakes stalled handlers, ends open connections and waits
    // for every handler to return.
    void stop();
    bool stopping() const { return stopping_.load(); }

    // A whole response head with the given status line and header lines
    // ("HTTP/1.0 200 OK", {"Content-Length: 3"}), ended by the blank line.
    static std::string head(std::string_view statusLine, const std::vector<std::string>& lines);

  private:
    friend class RawConnection;
    void acceptLoop();
    void serve(int fd);
    void logHead(std::string head);
    void forget(int fd);

    Handler handler_;
    int listenFd_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<int> connections_{0};
    std::thread acceptThread_;

    mutable std::mutex mutex_;
    mutable std::condition_variable headsChanged_;
    std::vector<std::string> heads_;
    std::set<int> openFds_;
    std::vector<std::thread> handlers_;
};

// "http://127.0.0.1:PORT" of a port nothing listens on: a connection there is refused.
std::string refusingUrl();

}  // namespace oc::testing
