// A result page becomes page text once per fetch: decoded from UTF-8 straight
// into the pass's text, its zero bytes dropped, with the memory of the
// previous page reused and nothing of it left.
#include <gtest/gtest.h>

#include "check/pass_steps.h"
#include "tests/support/gbk.h"
#include "tests/support/loopback_server.h"

namespace oc {
namespace {

using testing::G;

TEST(PageText, ZeroBytesAreDroppedAndBadPagesAddNothing) {
    PassEnvironment env;
    std::string next;
    env.fetch = [&next](const Text&) { return ByteSet(next); };
    PageBuffers buffers;
    Text text;
    next = std::string("原创<em>甲</em>\0<em>乙</em>", 31);
    appendPageText(env, "u1", buffers, text);
    EXPECT_EQ(text, G("原创<em>甲</em><em>乙</em>"));
    next = "\xFF<em>丙</em>";  // not UTF-8: nothing
    appendPageText(env, "u2", buffers, text);
    next = "<em>丁</em>";
    appendPageText(env, "u3", buffers, text);
    EXPECT_EQ(text, G("原创<em>甲</em><em>乙</em><em>丁</em>"));
}

TEST(PageText, FetchedPagesShareOneBodyWithoutLeftovers) {
    testing::LoopbackServer server;
    server.server().Get("/s", [](const httplib::Request& req, httplib::Response& res) {
        std::string page = req.get_param_value("wd") == "long" ? std::string(200000, 'x') : "短";
        res.set_content(page, "text/html; charset=utf-8");
    });
    server.start();
    PassEnvironment env;
    PageBuffers buffers;
    Text text;
    appendPageText(env, server.baseUrl() + "/s?wd=long", buffers, text);
    EXPECT_EQ(text, std::string(200000, 'x'));
    const char* memory = buffers.body.data();
    text.clear();
    appendPageText(env, server.baseUrl() + "/s?wd=short", buffers, text);
    EXPECT_EQ(text, G("短"));
    EXPECT_EQ(buffers.body.data(), memory);
}

}  // namespace
}  // namespace oc
