// Every page fetch ends, whatever the server does: header and trailer lines
// are counted against their limit (libcurl keeps every trailer line), and one
// deadline covers the whole page however slowly its bytes trickle in.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "services/http_fetch.h"
#include "services/internet_client.h"
#include "tests/support/file_fixtures.h"
#include "tests/support/raw_server.h"

namespace oc {
namespace {
using testing::RawConnection;
using testing::RawServer;
using namespace std::chrono_literals;

class BoundedFetch : public ::testing::Test {
  protected:
    void SetUp() override {
        InternetClient::instance().setCookieFile(folder_.nativePath("cookies.txt"));
    }
    testing::TempFolder folder_;
};

// Sends line after line until the peer stops reading or `most` bytes went:
// the bytes that were sent.
std::size_t flood(RawConnection& c, const std::string& line, std::size_t most) {
    std::size_t sent = 0;
    while (sent < most && c.send(line)) {
        sent += line.size();
    }
    return sent;
}

constexpr std::size_t kFloodLimit = 256u << 20;  // far beyond any bound: the test's own end

TEST_F(BoundedFetch, AnEndlessTrailerSectionEndsAtTheHeaderLimit) {
    std::atomic<std::size_t> sent{0};
    RawServer server([&](RawConnection& c) {
        c.readRequestHead();
        c.send(
            "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nTransfer-Encoding: chunked\r\n\r\n"
            "5\r\nhello\r\n0\r\n");
        sent = flood(c, "X-Trailer: " + std::string(1000, 't') + "\r\n", kFloodLimit);
    });
    FetchReport report = fetchPage(server.baseUrl() + "/");
    server.stop();
    EXPECT_EQ(report.failure, FetchFailure::HeadersTooLarge);
    // What was kept: at most the limit and the line that crossed it.
    EXPECT_LE(report.headerBytes, (1u << 20) + 1100);
    EXPECT_GT(report.headerBytes, 1u << 20);
    // The server could send little more than the limit and the socket buffers.
    EXPECT_LT(sent.load(), 32u << 20);
}

TEST_F(BoundedFetch, AnEndlessHeaderSectionIsToldApartFromANetworkFailure) {
    RawServer server([&](RawConnection& c) {
        c.readRequestHead();
        c.send("HTTP/1.0 200 OK\r\n");
        flood(c, "X-Header: " + std::string(1000, 'h') + "\r\n", kFloodLimit);
    });
    FetchReport report = fetchPage(server.baseUrl() + "/");
    server.stop();
    EXPECT_EQ(report.failure, FetchFailure::HeadersTooLarge);
    EXPECT_TRUE(report.body.empty());
}

TEST_F(BoundedFetch, ATrickleOfBodyBytesEndsAtThePageDeadline) {
    FetchLimits limits;
    limits.pageTimeout = 1s;
    std::atomic<int> bytesSent{0};
    RawServer server([&](RawConnection& c) {
        c.readRequestHead();
        c.send("HTTP/1.0 200 OK\r\nContent-Length: 100000\r\n\r\n");
        // One byte every 100 ms: the stall clock never runs out. A byte is
        // counted before it is sent, so the count is never behind the client.
        while (!server.stopping() && bytesSent < 600) {
            ++bytesSent;
            if (!c.send("x")) {
                break;
            }
            std::this_thread::sleep_for(100ms);
        }
    });
    FetchReport report = fetchPage(server.baseUrl() + "/", limits);
    const int sentAtTheEnd = bytesSent.load();
    server.stop();
    EXPECT_TRUE(report.arrived());
    EXPECT_TRUE(report.timedOut);
    EXPECT_TRUE(report.cutShort);
    EXPECT_FALSE(report.body.empty());
    // About ten bytes in the second allowed; far from the 600 the server would send.
    EXPECT_LT(sentAtTheEnd, 100);
    EXPECT_LE(report.body.size(), static_cast<std::size_t>(sentAtTheEnd));
}

TEST_F(BoundedFetch, ATrickleOfHeaderLinesAndInterimAnswersEndsAtThePageDeadline) {
    FetchLimits limits;
    limits.pageTimeout = 1s;
    for (const std::string line : {"X-Slow: 1\r\n", "HTTP/1.1 100 Continue\r\n\r\n"}) {
        std::atomic<int> linesSent{0};
        RawServer server([&](RawConnection& c) {
            c.readRequestHead();
            if (line.starts_with("X-")) {
                c.send("HTTP/1.0 200 OK\r\n");
            }
            while (!server.stopping() && linesSent < 600 && c.send(line)) {
                ++linesSent;
                std::this_thread::sleep_for(100ms);
            }
        });
        FetchReport report = fetchPage(server.baseUrl() + "/", limits);
        const int sentAtTheEnd = linesSent.load();
        server.stop();
        EXPECT_EQ(report.failure, FetchFailure::PageTimedOut) << line;
        EXPECT_TRUE(report.timedOut) << line;
        EXPECT_LT(sentAtTheEnd, 100) << line;
    }
}

TEST_F(BoundedFetch, TheDeadlineCoversEveryHopOfARedirectChain) {
    FetchLimits limits;
    limits.pageTimeout = 1s;
    std::atomic<int> hops{0};
    RawServer server([&](RawConnection& c) {
        c.readRequestHead();
        std::this_thread::sleep_for(300ms);  // each hop in time, the chain not
        c.send(RawServer::head("HTTP/1.0 302 Found",
                               {"Location: /hop" + std::to_string(++hops), "Content-Length: 0"}));
    });
    limits.maxRedirects = 50;
    FetchReport report = fetchPage(server.baseUrl() + "/", limits);
    server.stop();
    EXPECT_EQ(report.failure, FetchFailure::PageTimedOut);
    EXPECT_LE(hops.load(), 5);
}

TEST_F(BoundedFetch, APageWithinTheLimitsArrivesWhole) {
    // Headers and trailers of a real size, and a page in time, are untouched.
    RawServer server([&](RawConnection& c) {
        c.readRequestHead();
        std::string big;
        for (int i = 0; i < 4; ++i) {
            big += "X-Big: " + std::string(50000, 'b') + "\r\n";
        }
        c.send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n" + big +
               "\r\n5\r\nhello\r\n0\r\nX-Done: 1\r\n\r\n");
    });
    FetchLimits limits;
    limits.pageTimeout = 5s;
    FetchReport report = fetchPage(server.baseUrl() + "/", limits);
    EXPECT_TRUE(report.arrived());
    EXPECT_FALSE(report.cutShort);
    EXPECT_FALSE(report.timedOut);
    EXPECT_EQ(report.body.bytes(), "hello");
}

}  // namespace
}  // namespace oc
