#include <gtest/gtest.h>

#include "tests/support/gbk.h"
#include "tests/support/loopback_server.h"
#include "text/web_text_util.h"

namespace oc {
namespace {
using testing::G;

class IpLookup : public ::testing::Test {
  protected:
    void SetUp() override {
        server_.server().Get("/ip2city.asp", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(G("<body>您的IP地址是：[127.0.0.1] 来自：本机</body>"), "text/html");
        });
        server_.server().Get("/ips8.asp", [](const httplib::Request& req, httplib::Response& res) {
            res.set_content(G("<ul><li>本站主数据：") + req.get_param_value("ip") +
                                G(" 本地局域网</li><li>参考数据：无</li></ul>"),
                            "text/html");
        });
        server_.server().Get("/broken/ip2city.asp",
                             [](const httplib::Request&, httplib::Response& res) {
                                 res.set_content(G("您的IP地址是：[127.0.0.1"), "text/html");
                             });
        server_.start();
    }

    testing::LoopbackServer server_;
};

TEST_F(IpLookup, ReadsAddressAndLocationBetweenTheMarkers) {
    WebTextUtil util(server_.baseUrl());
    EXPECT_EQ(util.localIpAddress(), "127.0.0.1");
    EXPECT_EQ(util.ipLocation("10.0.0.1"), G("10.0.0.1 本地局域网"));
    auto targets = server_.targets();
    ASSERT_EQ(targets.size(), 2u);
    EXPECT_EQ(targets[0], "/ip2city.asp");
    EXPECT_EQ(targets[1], "/ips8.asp?ip=10.0.0.1&action=2");
}

TEST_F(IpLookup, AnyTextStaysInsideTheQuery) {
    WebTextUtil util(server_.baseUrl());
    EXPECT_EQ(util.ipLocation("1.2.3.4&action=1 x"), G("1.2.3.4&action=1 x 本地局域网"));
}

TEST_F(IpLookup, MissingPageOrMarkerGivesEmptyText) {
    EXPECT_EQ(WebTextUtil(server_.baseUrl() + "/broken").localIpAddress(), "");
    EXPECT_EQ(WebTextUtil(server_.baseUrl() + "/missing").ipLocation("1.2.3.4"), "");
    server_.stop();
    EXPECT_EQ(WebTextUtil(server_.baseUrl()).localIpAddress(), "");
}

}  // namespace
}  // namespace oc
