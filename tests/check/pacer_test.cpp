// The wait between two requests of one engine, also across the passes of a
// batch's articles.
#include <gtest/gtest.h>

#include <chrono>

#include "check/segment_check.h"

namespace oc {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

milliseconds waited(Pacer& pacer) {
    const Clock::time_point start = Clock::now();
    pacer.beforeRequest();
    return std::chrono::duration_cast<milliseconds>(Clock::now() - start);
}

TEST(Pacer, ANewPassWaitsForTheLastRequestOfTheEngineBeforeIt) {
    EngineRequestTimes times;
    Pacer first(milliseconds(300), &times, Engine::Baidu);
    EXPECT_LT(waited(first), milliseconds(150));  // the first request of all goes at once
    EXPECT_GE(waited(first), milliseconds(290));
    // The next article's pass: its first request waits too, another engine's does not.
    Pacer next(milliseconds(300), &times, Engine::Baidu);
    EXPECT_GE(waited(next), milliseconds(290));
    Pacer other(milliseconds(300), &times, Engine::So360);
    EXPECT_LT(waited(other), milliseconds(150));
    // Without shared times a pass starts at once, as a single check does.
    Pacer alone(milliseconds(300));
    EXPECT_LT(waited(alone), milliseconds(150));
}

}  // namespace
}  // namespace oc
