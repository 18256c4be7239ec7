#include "app/search_sim/rate_limit.h"

#include <gtest/gtest.h>

#include "app/search_sim/search_service.h"
#include "services/encoding.h"
#include "tests/support/gbk.h"

namespace oc::sim {
namespace {

using namespace std::chrono_literals;

TEST(RateLimiter, PastTheLimitInAnyMinuteAClientIsBlockedForItsMinutesThenServedAgain) {
    RateLimiter limiter({3, 2});
    const auto t0 = RateLimiter::Clock::time_point{} + 1h;
    EXPECT_TRUE(limiter.admit("a", t0));
    EXPECT_TRUE(limiter.admit("a", t0 + 10s));
    EXPECT_TRUE(limiter.admit("a", t0 + 20s));
    // The window slides: at 61 s the first request has left it.
    EXPECT_TRUE(limiter.admit("a", t0 + 61s));
    // Three in the minute before 62 s: blocked for two minutes from here.
    EXPECT_FALSE(limiter.admit("a", t0 + 62s));
    EXPECT_TRUE(limiter.admit("b", t0 + 62s)) << "another client counts apart";
    EXPECT_FALSE(limiter.admit("a", t0 + 62s + 119s));
    // Blocked requests counted for nothing: served again, a fresh window.
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(limiter.admit("a", t0 + 182s + i * 1s)) << i;
    }
    EXPECT_FALSE(limiter.admit("a", t0 + 186s));

    RateLimiter none({0, 1});
    for (int i = 0; i < 100; ++i) {
        ASSERT_TRUE(none.admit("a", t0));
    }
}

TEST(RateLimiter, TheServiceCountsEachAddressAndEngineFormApartAndAnswersAsBlocked) {
    std::vector<Document> docs{
        {"a.txt", U"标题", U"老城南门外有一家茶馆，跑堂的伙计提着长嘴铜壶。"}};
    SearchService service(docs, {-1, BlockKind::Captcha});
    service.setRateLimit({2, 1});
    const std::string baidu = "/s?wd=" + urlEncode(oc::testing::G("老城南门外有一家茶馆"));
    const std::string so360 = "/s?q=" + urlEncode("老城南门外有一家茶馆");
    EXPECT_NE(service.answer(baidu, "10.0.0.1").body.find("<em>"), std::string::npos);
    EXPECT_NE(service.answer(baidu, "10.0.0.1").body.find("<em>"), std::string::npos);
    Answer blocked = service.answer(baidu, "10.0.0.1");
    EXPECT_EQ(blocked.body.find("<em>"), std::string::npos);
    EXPECT_NE(blocked.body.find("验证码"), std::string::npos);
    EXPECT_NE(blocked.logLine.find("rate limit"), std::string::npos) << blocked.logLine;
    EXPECT_NE(service.answer(so360, "10.0.0.1").body.find("<em>"), std::string::npos);
    EXPECT_NE(service.answer(baidu, "10.0.0.2").body.find("<em>"), std::string::npos);
}

}  // namespace
}  // namespace oc::sim
