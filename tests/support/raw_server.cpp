#include "tests/support/raw_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace oc::testing {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kPollMilliseconds = 20;

// Waits for the socket to become readable; false when `deadline` passes or
// the server stops first.
bool waitReadable(int fd, Clock::time_point deadline, const RawServer& server) {
    while (!server.stopping() && Clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        int ready = ::poll(&p, 1, kPollMilliseconds);
        if (ready > 0) {
            return true;
        }
        if (ready < 0 && errno != EINTR) {
            return false;
        }
    }
    return false;
}

}  // namespace

std::string RawConnection::readRequestHead(std::chrono::milliseconds max) {
    std::string received;
    const auto deadline = Clock::now() + max;
    std::size_t end = std::string::npos;
    while (end == std::string::npos && waitReadable(fd_, deadline, server_)) {
        char buffer[4096];
        ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
        if (n <= 0) {
            break;
        }
        received.append(buffer, static_cast<std::size_t>(n));
        end = received.find("\r\n\r\n");
    }
    if (end != std::string::npos) {
        received.resize(end);
    }
    server_.logHead(received);
    return received;
}

bool RawConnection::send(std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

void RawConnection::stall(std::chrono::milliseconds max) {
    const auto deadline = Clock::now() + max;
    while (waitReadable(fd_, deadline, server_)) {
        char buffer[4096];
        if (::recv(fd_, buffer, sizeof buffer, 0) <= 0) {
            return;  // the peer hung up
        }
    }
}

void RawConnection::resetOnClose() {
    linger abort{1, 0};
    ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
}

RawServer::RawServer(Handler handler) : handler_(std::move(handler)) {
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (listenFd_ < 0 ||
        ::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listenFd_, 64) != 0 ||
        ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (listenFd_ >= 0) {
            ::close(listenFd_);
        }
        throw std::runtime_error("cannot bind a loopback port");
    }
    port_ = ntohs(address.sin_port);
    acceptThread_ = std::thread([this] { acceptLoop(); });
}

RawServer::~RawServer() {
    stop();
}

std::string RawServer::baseUrl() const {
    return "http://127.0.0.1:" + std::to_string(port_);
}

void RawServer::acceptLoop() {
    while (!stopping_.load()) {
        pollfd p{listenFd_, POLLIN, 0};
        if (::poll(&p, 1, kPollMilliseconds) <= 0) {
            continue;
        }
        int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        ++connections_;
        std::lock_guard lock(mutex_);
        openFds_.insert(fd);
        handlers_.emplace_back([this, fd] { serve(fd); });
    }
}

void RawServer::serve(int fd) {
    {
        RawConnection connection(fd, *this);
        handler_(connection);
    }
    forget(fd);
}

void RawServer::forget(int fd) {
    std::lock_guard lock(mutex_);
    openFds_.erase(fd);
    ::close(fd);
}

void RawServer::logHead(std::string head) {
    {
        std::lock_guard lock(mutex_);
        heads_.push_back(std::move(head));
    }
    headsChanged_.notify_all();
}

std::vector<std::string> RawServer::requestHeads() const {
    std::lock_guard lock(mutex_);
    return heads_;
}

bool RawServer::waitForRequests(std::size_t count, std::chrono::milliseconds max) const {
    std::unique_lock lock(mutex_);
    return headsChanged_.wait_for(lock, max, [&] { return heads_.size() >= count; });
}

void RawServer::stop() {
    if (stopping_.exchange(true)) {
        return;
    }
    acceptThread_.join();
    ::close(listenFd_);
    std::vector<std::thread> handlers;
    {
        std::lock_guard lock(mutex_);
        for (int fd : openFds_) {
            ::shutdown(fd, SHUT_RDWR);
        }
        handlers.swap(handlers_);
    }
    for (auto& t : handlers) {
        t.join();
    }
}

std::string refusingUrl() {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    if (fd >= 0) {
        ::close(fd);  // bound but never listening, then closed: the port refuses
    }
    return "http://127.0.0.1:" + std::to_string(port);
}

std::string RawServer::head(std::string_view statusLine, const std::vector<std::string>& lines) {
    std::string out(statusLine);
    out += "\r\n";
    for (const auto& line : lines) {
        out += line;
        out += "\r\n";
    }
    out += "\r\n";
    return out;
}

}  // namespace oc::testing
