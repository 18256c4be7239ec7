// A thread's transfer handles serve one request after another: nothing of one
// request reaches the next, and nothing grows with the number of requests or
// outlives the thread.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "services/http_fetch.h"
#include "services/internet_client.h"
#include "tests/support/raw_server.h"

namespace oc {
namespace {

using testing::RawConnection;
using testing::RawServer;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

// The file descriptors this process holds open.
std::size_t openFileCount() {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) {
        ++count;
    }
    return count;
}

// The value of one header of a request head; empty when it has none.
std::string headerOf(const std::string& head, const std::string& name) {
    std::size_t at = head.find("\r\n" + name + ": ");
    if (at == std::string::npos) {
        return {};
    }
    at += name.size() + 4;
    return head.substr(at, head.find("\r\n", at) - at);
}

std::string okResponse(const std::string& extraHeaders, const std::string& body) {
    return std::string("HTTP/1.0 200 OK\r\n")
        .append(extraHeaders)
        .append("Content-Length: ")
        .append(std::to_string(body.size()))
        .append("\r\n\r\n")
        .append(body);
}

// "/set/NAME" sets a session cookie NAME=1 and replaces the lasting cookie
// "last" with NAME; "/echo" answers with the Cookie header it was sent.
RawServer cookieServer() {
    return RawServer([](RawConnection& c) {
        std::string head = c.readRequestHead();
        std::string target = head.substr(4, head.find(' ', 4) - 4);
        if (target.rfind("/set/", 0) == 0) {
            std::string name = target.substr(5);
            c.send(okResponse(std::string("Set-Cookie: ")
                                  .append(name)
                                  .append("=1; Path=/\r\nSet-Cookie: last=")
                                  .append(name)
                                  .append("; Expires=Wed, 01 Jan 2042 00:00:00 GMT; Path=/\r\n"),
                              "set"));
        } else {
            c.send(okResponse("", headerOf(head, "Cookie")));
        }
    });
}

class FetchHandles : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("oc-fetch-handles-" + std::to_string(::getpid()));
        fs::create_directories(folder_);
        InternetClient::instance().setCookieFile((folder_ / "cookies.txt").string());
    }
    void TearDown() override {
        resumeFetches();
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    fs::path folder_;
};

// Makes this thread's transfer handles, then counts the files open without
// any server running.
std::size_t openFilesWithHandlesMade() {
    EXPECT_EQ(httpGet(cookieServer().baseUrl() + "/echo").bytes(), "");
    return openFileCount();
}

TEST_F(FetchHandles, ManyRequestsOfOneThreadKeepTheJarRightAndOpenNothing) {
    const std::size_t before = openFilesWithHandlesMade();
    {
        RawServer server = cookieServer();
        for (int i = 0; i < 40; ++i) {
            EXPECT_EQ(httpGet(server.baseUrl() + "/set/c" + std::to_string(i)).bytes(), "set");
        }
        std::string sent = httpGet(server.baseUrl() + "/echo").bytes();
        for (int i = 0; i < 40; ++i) {
            // Built by appending: GCC 12 takes "c" + std::string for an
            // overlapping copy in a Release build (a false -Wrestrict).
            std::string cookie = std::string("c").append(std::to_string(i)).append("=1");
            EXPECT_NE(sent.find(cookie), std::string::npos) << cookie << " in " << sent;
        }
        EXPECT_NE(sent.find("last=c39"), std::string::npos) << sent;
        EXPECT_EQ(sent.find("last=", sent.find("last=") + 1), std::string::npos) << sent;
        EXPECT_EQ(InternetClient::instance().cookies().size(), 41u);
    }
    EXPECT_EQ(openFileCount(), before);
}

TEST_F(FetchHandles, EveryRequestHasAConnectionOfItsOwnThoughTheServerWouldKeepIt) {
    RawServer keeping([](RawConnection& c) {
        while (!c.readRequestHead(2s).empty()) {
            c.send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nok\r\n0\r\n\r\n");
        }
    });
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(httpGet(keeping.baseUrl() + "/").bytes(), "ok");
    }
    EXPECT_EQ(keeping.connectionCount(), 3);
}

TEST_F(FetchHandles, ARequestAfterOneCutShortGetsItsWholeAnswer) {
    const std::string page(200000, 'p');
    RawServer whole([&](RawConnection& c) {
        c.readRequestHead();
        c.send(okResponse("Content-Type: text/html\r\n", page));
    });
    auto expectWholePage = [&](const char* after) {
        FetchReport report = fetchPage(whole.baseUrl() + "/");
        EXPECT_TRUE(report.arrived()) << after;
        EXPECT_FALSE(report.cutShort) << after;
        EXPECT_EQ(report.status, 200) << after;
        EXPECT_EQ(report.contentType, "text/html") << after;
        EXPECT_TRUE(report.body.bytes() == page) << after;
    };
    RawServer endless([&](RawConnection& c) {
        c.readRequestHead();
        c.send("HTTP/1.0 200 OK\r\n\r\n");
        while (c.send(std::string(65536, 'e'))) {
        }
    });
    RawServer stalling([](RawConnection& c) {
        c.readRequestHead();
        c.send("HTTP/1.0 200 OK\r\n\r\npartial");
        c.stall(60s);
    });
    FetchLimits limits;
    limits.maxBodyBytes = 1000;
    limits.stallTimeout = 300ms;

    EXPECT_TRUE(fetchPage(endless.baseUrl() + "/", limits).cutShort);
    expectWholePage("a body cut at the limit");

    EXPECT_EQ(fetchPage(stalling.baseUrl() + "/", limits).body.bytes(), "partial");
    expectWholePage("a stalled transfer");

    // Aborted while this thread waits in the transfer.
    auto abort = std::async(std::launch::async, [&] {
        if (stalling.waitForRequests(2)) {
            std::this_thread::sleep_for(100ms);
        }
        abortAllFetches();
    });
    EXPECT_EQ(fetchPage(stalling.baseUrl() + "/").failure, FetchFailure::Aborted);
    abort.get();
    resumeFetches();
    expectWholePage("an aborted transfer");

    EXPECT_EQ(fetchPage(testing::refusingUrl() + "/").failure, FetchFailure::ConnectionRefused);
    expectWholePage("a refused connection");
}

TEST_F(FetchHandles, NothingOfTheLastResponseOrRequestIsReportedOrSentForTheNext) {
    RawServer server([](RawConnection& c) {
        std::string head = c.readRequestHead();
        if (head.rfind("GET /typed ", 0) == 0) {
            c.send(okResponse("Content-Type: text/html\r\n", "typed"));
        } else if (head.rfind("GET /moved ", 0) == 0) {
            c.send("HTTP/1.0 302 Found\r\nLocation: /typed\r\nContent-Length: 0\r\n\r\n");
        } else {
            c.send(okResponse("", headerOf(head, "User-Agent")));
        }
    });
    FetchLimits limits;
    limits.userAgent = "Editor/1.0";
    EXPECT_EQ(fetchPage(server.baseUrl() + "/typed").contentType, "text/html");
    FetchReport untyped = fetchPage(server.baseUrl() + "/ua", limits);
    EXPECT_EQ(untyped.contentType, "");
    EXPECT_EQ(untyped.body.bytes(), "Editor/1.0");
    EXPECT_EQ(fetchPage(server.baseUrl() + "/ua").body.bytes(), kDefaultUserAgent);

    FetchReport refused = fetchPage(testing::refusingUrl() + "/");
    EXPECT_EQ(refused.status, 0);
    EXPECT_EQ(refused.contentType, "");

    EXPECT_EQ(
        fetchPage(server.baseUrl() + "/moved", {}, [](const std::string&) { return false; }).status,
        302);
    FetchReport plain = fetchPage(server.baseUrl() + "/ua");
    EXPECT_EQ(plain.status, 200);
    EXPECT_TRUE(plain.redirects.empty());
}

TEST_F(FetchHandles, ThreadsFetchingSideBySideShareTheJarAndLeaveNothingOpenWhenTheyEnd) {
    const std::size_t before = openFilesWithHandlesMade();
    {
        RawServer server = cookieServer();
        auto fetchMany = [&](const std::string& prefix) {
            bool allSet = true;
            for (int i = 0; i < 8; ++i) {
                std::string url = server.baseUrl() + "/set/" + prefix + std::to_string(i);
                allSet = httpGet(url).bytes() == "set" && allSet;
            }
            return allSet;
        };
        for (int round = 0; round < 3; ++round) {
            auto a = std::async(std::launch::async, fetchMany, "a" + std::to_string(round) + "x");
            auto b = std::async(std::launch::async, fetchMany, "b" + std::to_string(round) + "x");
            EXPECT_TRUE(a.get());
            EXPECT_TRUE(b.get());
        }
        std::string sent = httpGet(server.baseUrl() + "/echo").bytes();
        for (const char* cookie : {"a0x0=1", "b0x7=1", "a2x7=1", "b2x3=1"}) {
            EXPECT_NE(sent.find(cookie), std::string::npos) << cookie << " in " << sent;
        }
    }
    EXPECT_EQ(openFileCount(), before);
}

}  // namespace
}  // namespace oc
