// A fetch writes its body into the memory the caller hands it, sized from the
// declared length, and keeps every limit while doing so.
#include <gtest/gtest.h>

#include <string>

#include "services/http_fetch.h"
#include "tests/support/loopback_server.h"
#include "tests/support/raw_server.h"

namespace oc {
namespace {

using testing::LoopbackServer;
using testing::RawConnection;
using testing::RawServer;

RawServer answering(std::string response) {
    return RawServer([response](RawConnection& c) {
        c.readRequestHead();
        c.send(response);
    });
}

TEST(FetchStorage, NextPageIsWrittenIntoThePreviousBody) {
    const std::string large(300000, 'a');
    RawServer first = answering("HTTP/1.0 200 OK\r\nContent-Length: 300000\r\n\r\n" + large);
    RawServer second = answering("HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nshort");
    RawServer noLength = answering("HTTP/1.0 200 OK\r\n\r\nno length");

    FetchReport page = fetchPage(first.baseUrl() + "/");
    ASSERT_EQ(page.body.bytes(), large);
    const char* memory = page.body.data();

    // Nothing of the longer page stays, and no new memory is taken.
    page = fetchPage(second.baseUrl() + "/", {}, {}, std::move(page.body));
    EXPECT_EQ(page.body.bytes(), "short");
    EXPECT_EQ(page.body.data(), memory);
    page = fetchPage(noLength.baseUrl() + "/", {}, {}, std::move(page.body));
    EXPECT_EQ(page.body.bytes(), "no length");
    EXPECT_EQ(page.body.data(), memory);

    // An unusable URL gives an empty body, whatever the storage held.
    page = fetchPage("not a url", {}, {}, ByteSet(std::string("old")));
    EXPECT_TRUE(page.body.empty());
}

TEST(FetchStorage, RedirectBodiesDoNotMixWithThePage) {
    LoopbackServer server;
    server.server().Get("/moved", [](const httplib::Request&, httplib::Response& res) {
        res.status = 302;
        res.set_header("Location", "/page");
        res.set_content(std::string(2000, 'r'), "text/html");
    });
    server.server().Get("/page", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("the page", "text/html");
    });
    server.start();
    FetchReport page =
        fetchPage(server.baseUrl() + "/moved", {}, {}, ByteSet(std::string(50, 'x')));
    EXPECT_EQ(page.body.bytes(), "the page");
    EXPECT_EQ(page.redirects.size(), 1u);
}

TEST(FetchStorage, DeclaredLengthNeverSizesBeyondTheLimit) {
    // A server that claims a huge body and sends a little more than the limit.
    RawServer boastful =
        answering("HTTP/1.0 200 OK\r\nContent-Length: 2000000000\r\n\r\n" + std::string(4000, 'b'));
    FetchLimits limits;
    limits.maxBodyBytes = 1000;
    FetchReport page = fetchPage(boastful.baseUrl() + "/", limits);
    EXPECT_EQ(page.body.bytes(), std::string(1000, 'b'));
    EXPECT_TRUE(page.cutShort);
    EXPECT_LT(page.body.bytes().capacity(), 1u << 20);
}

}  // namespace
}  // namespace oc
