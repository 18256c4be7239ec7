#include "services/url_parts.h"

#include <gtest/gtest.h>

namespace oc {
namespace {

TEST(UrlParts, LinksResolveAgainstThePageAndNameTheirHost) {
    const std::string base = "http://www.baidu.com/s?wd=%D6%D0&rn=20";
    EXPECT_EQ(resolveUrl(base, "/link?url=abc"), "http://www.baidu.com/link?url=abc");
    EXPECT_EQ(resolveUrl(base, "link?x"), "http://www.baidu.com/link?x");
    EXPECT_EQ(resolveUrl(base, "//cdn.example.com/a"), "http://cdn.example.com/a");
    EXPECT_EQ(urlHost(resolveUrl(base, "https://a.cn/x y")), "a.cn");
    EXPECT_EQ(resolveUrl(base, "bad\nlink"), "");

    EXPECT_EQ(urlHost("https://User:pw@WWW.Example.COM.:8443/p?q#f"), "www.example.com");
    EXPECT_EQ(urlHost("http://[::1]:8080/"), "::1");
    EXPECT_EQ(urlHost("www.example.com/a"), "www.example.com");
    EXPECT_EQ(urlHost("/relative/only"), "");
    EXPECT_EQ(urlHost(""), "");

    EXPECT_TRUE(isIpAddress("127.0.0.1"));
    EXPECT_TRUE(isIpAddress("::1"));
    EXPECT_FALSE(isIpAddress("1.2.3"));
    EXPECT_FALSE(isIpAddress("a.b.c.d"));
    EXPECT_FALSE(isIpAddress("1234.1.1.1"));
}

}  // namespace
}  // namespace oc
