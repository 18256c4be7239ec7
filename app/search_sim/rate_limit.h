// A per-client rate limit, as engines block a client that asks too often:
// more than N requests in any minute and the client gets blocked answers for
// some minutes, then is served again.
#pragma once

#include <chrono>
#include <deque>
#include <map>
#include <mutex>
#include <string>

namespace oc::sim {

struct RateLimit {
    int perMinute = 0;      // 0: no limit
    int blockMinutes = 10;  // how long a client past the limit stays blocked
};

class RateLimiter {
  public:
    using Clock = std::chrono::steady_clock;

    explicit RateLimiter(RateLimit limit) : limit_(limit) {}

    // Whether the request of this client (an address and an engine form,
    // counted apart) at `now` is served. Requests answered as blocked count
    // for nothing. Thread-safe.
    bool admit(const std::string& client, Clock::time_point now);

    bool enabled() const { return limit_.perMinute > 0; }

  private:
    struct Client {
        std::deque<Clock::time_point> served;  // within the last minute
        Clock::time_point blockedUntil{};
    };

    RateLimit limit_;
    std::mutex mutex_;
    std::map<std::string, Client> clients_;
};

}  // namespace oc::sim
