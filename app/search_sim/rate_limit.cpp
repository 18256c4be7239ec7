#include "app/search_sim/rate_limit.h"

namespace oc::sim {

bool RateLimiter::admit(const std::string& client, Clock::time_point now) {
    if (!enabled()) {
        return true;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    Client& state = clients_[client];
    if (now < state.blockedUntil) {
        return false;
    }
    // A sliding window: what was served within the minute before now.
    while (!state.served.empty() && now - state.served.front() >= std::chrono::minutes(1)) {
        state.served.pop_front();
    }
    if (state.served.size() >= static_cast<std::size_t>(limit_.perMinute)) {
        state.blockedUntil = now + std::chrono::minutes(limit_.blockMinutes);
        state.served.clear();
        return false;
    }
    state.served.push_back(now);
    return true;
}

}  // namespace oc::sim
