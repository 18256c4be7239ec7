#include "services/http_fetch.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>

#include "services/internet_client.h"
#include "tests/support/loopback_server.h"
#include "tests/support/raw_server.h"

namespace oc {
namespace {
using testing::LoopbackServer;
using testing::RawConnection;
using testing::RawServer;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

std::string str(const ByteSet& b) {
    return b.bytes();
}

// Every fetch test keeps its cookies in a file of its own temporary folder.
class HttpFetch : public ::testing::Test {
  protected:
    void SetUp() override {
        static int counter = 0;
        folder_ = fs::temp_directory_path() /
                  ("oc-fetch-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
        fs::create_directories(folder_);
        cookieFile_ = (folder_ / "sub" / "cookies.txt").string();
        InternetClient::instance().setCookieFile(cookieFile_);
    }
    void TearDown() override {
        resumeFetches();
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    static std::string readFile(const std::string& path) {
        std::ifstream in(path);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    fs::path folder_;
    std::string cookieFile_;
};

// A raw server that answers every request with `response` and then closes.
RawServer answering(std::string response) {
    return RawServer([response](RawConnection& c) {
        c.readRequestHead();
        c.send(response);
    });
}

TEST_F(HttpFetch, SendsTheRequestValuesOfAPlainBrowser) {
    LoopbackServer server;
    server.server().Get("/s", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("page", "text/html");
    });
    server.start();
    EXPECT_EQ(str(httpGet(server.baseUrl() + "/s?wd=%D4%AD%2F%25&rn=20#results")), "page");

    auto seen = server.requests();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].method, "GET");
    EXPECT_EQ(seen[0].target, "/s?wd=%D4%AD%2F%25&rn=20");  // escapes untouched, no fragment
    EXPECT_EQ(seen[0].version, "HTTP/1.0");
    auto header = [&](const char* name) { return seen[0].headers.find(name); };
    ASSERT_NE(header("User-Agent"), seen[0].headers.end());
    EXPECT_EQ(header("User-Agent")->second, "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)");
    ASSERT_EQ(seen[0].headers.count("Accept"), 1u);
    EXPECT_EQ(header("Accept")->second, "*/*");
    ASSERT_NE(header("Pragma"), seen[0].headers.end());
    EXPECT_EQ(header("Pragma")->second, "no-cache");
    EXPECT_EQ(header("Accept-Encoding"), seen[0].headers.end());  // no compressed body asked for
}

TEST_F(HttpFetch, RequestLineIsHttp10) {
    RawServer server = answering("HTTP/1.0 200 OK\r\n\r\nok");
    EXPECT_EQ(str(httpGet(server.baseUrl() + "/s?q=a%20b#x")), "ok");
    ASSERT_TRUE(server.waitForRequests(1));
    std::string head = server.requestHeads()[0];
    EXPECT_EQ(head.substr(0, head.find("\r\n")), "GET /s?q=a%20b HTTP/1.0");
}

TEST_F(HttpFetch, UnusableUrlsGiveEmptyWithoutTouchingTheNetwork) {
    RawServer server = answering("HTTP/1.0 200 OK\r\n\r\nok");
    std::string base = server.baseUrl();
    EXPECT_TRUE(httpGet("").empty());
    EXPECT_TRUE(httpGet("not a url").empty());
    EXPECT_TRUE(httpGet("127.0.0.1/s").empty());  // no scheme
    EXPECT_TRUE(httpGet("#" + base + "/s").empty());
    EXPECT_TRUE(httpGet("ftp" + base.substr(4) + "/s").empty());
    EXPECT_TRUE(httpGet("http://" + std::string(257, 'a') + "/s").empty());
    EXPECT_TRUE(httpGet(base + "/" + std::string(2048, 'p')).empty());    // path + query 2049
    EXPECT_TRUE(httpGet(base + "/s?" + std::string(2046, 'q')).empty());  // the "?" counts
    EXPECT_EQ(server.connectionCount(), 0);

    EXPECT_EQ(str(httpGet(base + "/" + std::string(2047, 'p'))), "ok");  // exactly 2048
    EXPECT_EQ(str(httpGet(base + "/s?" + std::string(2045, 'q'))), "ok");
}

TEST_F(HttpFetch, ErrorPagesReturnTheirBody) {
    LoopbackServer server;
    server.server().Get("/missing", [](const httplib::Request&, httplib::Response& res) {
        res.status = 404;
        res.set_content("<html>not here</html>", "text/html");
    });
    server.server().Get("/broken", [](const httplib::Request&, httplib::Response& res) {
        res.status = 500;
        res.set_content("oops", "text/plain");
    });
    server.start();
    EXPECT_EQ(str(httpGet(server.baseUrl() + "/missing")), "<html>not here</html>");
    EXPECT_EQ(str(httpGet(server.baseUrl() + "/broken")), "oops");
}

TEST_F(HttpFetch, BodyIsReturnedByteForByteWhateverItsLengthSays) {
    std::string binary;
    for (int i = 0; i < 30000; ++i) {
        binary += static_cast<char>(i * 7);
    }
    RawServer noLength = answering("HTTP/1.0 200 OK\r\n\r\n" + binary);
    EXPECT_EQ(str(httpGet(noLength.baseUrl() + "/")), binary);

    RawServer saysZero = answering("HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\nstill here");
    EXPECT_EQ(str(httpGet(saysZero.baseUrl() + "/")), "still here");

    // Compressed bytes stay compressed: nothing is decoded.
    std::string gzip("\x1F\x8B\x08\x00garbage", 11);
    RawServer compressed =
        answering("HTTP/1.0 200 OK\r\nContent-Encoding: gzip\r\nContent-Length: 11\r\n\r\n" + gzip);
    EXPECT_EQ(str(httpGet(compressed.baseUrl() + "/")), gzip);

    RawServer chunked = answering(
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n2\r\nde\r\n0\r\n\r\n");
    EXPECT_EQ(str(httpGet(chunked.baseUrl() + "/")), "abcde");
}

TEST_F(HttpFetch, DeclaredLengthEndsTheBodyOnAConnectionKeptOpen) {
    RawServer server([](RawConnection& c) {
        c.readRequestHead();
        c.send("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello, and more");
        c.stall(30s);
    });
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(str(httpGet(server.baseUrl() + "/")), "hello");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
}

TEST_F(HttpFetch, RedirectsAreFollowedWithinALimit) {
    LoopbackServer server;
    server.server().Get("/old", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("/middle");
        res.set_content("moved", "text/plain");
    });
    server.server().Get("/middle", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("/new?x=1", 301);
    });
    server.server().Get("/new", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("final page", "text/plain");
    });
    server.server().Get("/loop", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("/loop");
    });
    server.start();
    EXPECT_EQ(str(httpGet(server.baseUrl() + "/old")), "final page");
    EXPECT_EQ(server.targets(), (std::vector<std::string>{"/old", "/middle", "/new?x=1"}));

    server.clearRequests();
    FetchLimits limits;
    limits.maxRedirects = 3;
    httpGet(server.baseUrl() + "/loop", limits);
    EXPECT_EQ(server.requests().size(), 4u);  // the first request and three redirects
}

TEST_F(HttpFetch, CookiesAreSharedAcrossThreadsAndKeptInTheCookieFile) {
    LoopbackServer server;
    server.server().Get("/set", [](const httplib::Request&, httplib::Response& res) {
        res.set_header("Set-Cookie", "sid=abc; Path=/");
        res.set_header("Set-Cookie", "keep=1; Expires=Wed, 01 Jan 2042 00:00:00 GMT; Path=/");
        res.set_content("set", "text/plain");
    });
    server.server().Get("/echo", [](const httplib::Request& req, httplib::Response& res) {
        res.set_content(req.get_header_value("Cookie"), "text/plain");
    });
    server.start();
    EXPECT_TRUE(fs::exists(cookieFile_) == false);
    EXPECT_EQ(str(httpGet(server.baseUrl() + "/set")), "set");

    std::string sameThread = str(httpGet(server.baseUrl() + "/echo"));
    EXPECT_NE(sameThread.find("sid=abc"), std::string::npos) << sameThread;
    EXPECT_NE(sameThread.find("keep=1"), std::string::npos) << sameThread;
    std::string otherThread = std::async(std::launch::async, [&] {
                                  return str(httpGet(server.baseUrl() + "/echo"));
                              }).get();
    EXPECT_NE(otherThread.find("sid=abc"), std::string::npos) << otherThread;

    // Saved after the fetch that received them (the folder is made).
    std::string saved = readFile(cookieFile_);
    EXPECT_NE(saved.find("keep"), std::string::npos) << saved;

    // The next run loads the file: the persistent cookie comes back, the session one does not.
    InternetClient::instance().setCookieFile(cookieFile_);
    std::string nextRun = str(httpGet(server.baseUrl() + "/echo"));
    EXPECT_EQ(nextRun, "keep=1");
}

TEST_F(HttpFetch, CookieFileIsReadOnceAtTheFirstFetch) {
    std::string file = (folder_ / "given.txt").string();
    std::ofstream(file) << "127.0.0.1\tFALSE\t/\tFALSE\t2272147200\tgiven\tyes\n";
    LoopbackServer server;
    server.server().Get("/echo", [](const httplib::Request& req, httplib::Response& res) {
        res.set_content(req.get_header_value("Cookie"), "text/plain");
    });
    server.start();
    InternetClient::instance().setCookieFile(file);
    EXPECT_EQ(str(httpGet(server.baseUrl() + "/echo")), "given=yes");
    // A change to the file during the run is not read again.
    std::ofstream(file) << "127.0.0.1\tFALSE\t/\tFALSE\t2272147200\tother\tno\n";
    EXPECT_EQ(str(httpGet(server.baseUrl() + "/echo")), "given=yes");
}

TEST_F(HttpFetch, TwoThreadsFetchAtTheSameTime) {
    std::mutex mutex;
    std::condition_variable arrived;
    int inFlight = 0;
    bool overlapped = false;
    LoopbackServer server;
    server.server().Get(R"(/page/(\w+))", [&](const httplib::Request& req, httplib::Response& res) {
        std::unique_lock lock(mutex);
        ++inFlight;
        arrived.notify_all();
        overlapped = arrived.wait_for(lock, 5s, [&] { return inFlight >= 2; }) || overlapped;
        res.set_content(std::string(50000, req.matches[1].str()[0]), "text/plain");
    });
    server.start();
    auto a = std::async(std::launch::async, [&] { return httpGet(server.baseUrl() + "/page/a"); });
    auto b = std::async(std::launch::async, [&] { return httpGet(server.baseUrl() + "/page/b"); });
    EXPECT_EQ(str(a.get()), std::string(50000, 'a'));
    EXPECT_EQ(str(b.get()), std::string(50000, 'b'));
    EXPECT_TRUE(overlapped);
}

TEST_F(HttpFetch, DroppedConnectionReturnsTheBytesBeforeTheDrop) {
    const std::string part(40000, 'x');
    RawServer closed([&](RawConnection& c) {
        c.readRequestHead();
        c.send("HTTP/1.0 200 OK\r\nContent-Length: 100000\r\n\r\n" + part);
    });
    EXPECT_EQ(str(httpGet(closed.baseUrl() + "/")), part);

    RawServer reset([&](RawConnection& c) {
        c.readRequestHead();
        c.send("HTTP/1.0 200 OK\r\nContent-Length: 100000\r\n\r\n" + part);
        std::this_thread::sleep_for(200ms);
        c.resetOnClose();
    });
    EXPECT_EQ(str(httpGet(reset.baseUrl() + "/")), part);
}

TEST_F(HttpFetch, StalledServerIsAbandonedAfterTheStallTime) {
    RawServer server([](RawConnection& c) {
        c.readRequestHead();
        c.send("HTTP/1.0 200 OK\r\n\r\nabc");
        c.stall(60s);
    });
    RawServer silent([](RawConnection& c) {
        c.readRequestHead();
        c.stall(60s);
    });
    FetchLimits limits;
    limits.stallTimeout = 300ms;
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(str(httpGet(server.baseUrl() + "/", limits)), "abc");
    EXPECT_TRUE(httpGet(silent.baseUrl() + "/", limits).empty());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
}

TEST_F(HttpFetch, AbortEndsFetchesInFlightAndRefusesNewOnes) {
    RawServer server([](RawConnection& c) {
        c.readRequestHead();
        c.send("HTTP/1.0 200 OK\r\n\r\npartial");
        c.stall(60s);
    });
    auto fetch = std::async(std::launch::async, [&] { return httpGet(server.baseUrl() + "/"); });
    ASSERT_TRUE(server.waitForRequests(1));
    std::this_thread::sleep_for(200ms);
    auto start = std::chrono::steady_clock::now();
    abortAllFetches();
    ASSERT_EQ(fetch.wait_for(10s), std::future_status::ready);
    std::string got = str(fetch.get());
    EXPECT_EQ(std::string("partial").substr(0, got.size()), got);  // what had arrived
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);

    EXPECT_TRUE(httpGet(server.baseUrl() + "/").empty());
    EXPECT_EQ(server.connectionCount(), 1);

    resumeFetches();
    FetchLimits limits;
    limits.stallTimeout = 200ms;
    EXPECT_EQ(str(httpGet(server.baseUrl() + "/", limits)), "partial");
}

TEST_F(HttpFetch, BodyIsCutAtTheLimit) {
    LoopbackServer server;
    server.server().Get("/big", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(std::string(5000, 'z'), "text/plain");
    });
    server.start();
    FetchLimits limits;
    limits.maxBodyBytes = 1000;
    EXPECT_EQ(str(httpGet(server.baseUrl() + "/big", limits)), std::string(1000, 'z'));

    // The default limit is 32 MiB; a server sending more is cut off there.
    const std::string mebibyte(1 << 20, 'm');
    RawServer endless([&](RawConnection& c) {
        c.readRequestHead();
        c.send("HTTP/1.0 200 OK\r\n\r\n");
        for (int i = 0; i < 40 && c.send(mebibyte); ++i) {
        }
    });
    ByteSet body = httpGet(endless.baseUrl() + "/");
    EXPECT_EQ(body.size(), 32u << 20);
}

TEST(CookieFile, LivesInTheUserDataFolderUnlessGiven) {
    EXPECT_EQ(cookieFileFor(nullptr, nullptr, "/home/u"),
              "/home/u/.local/share/originality-checker/cookies.txt");
    EXPECT_EQ(cookieFileFor(nullptr, "/data", "/home/u"), "/data/originality-checker/cookies.txt");
    // A relative or empty XDG_DATA_HOME is ignored, as the XDG rules say.
    EXPECT_EQ(cookieFileFor("", "rel", "/home/u"),
              "/home/u/.local/share/originality-checker/cookies.txt");
    EXPECT_EQ(cookieFileFor("/tmp/c.txt", "/data", "/home/u"), "/tmp/c.txt");
    EXPECT_EQ(cookieFileFor(nullptr, nullptr, nullptr), "");
}

}  // namespace
}  // namespace oc

namespace oc {
namespace {

TEST_F(HttpFetch, ReportGivesStatusContentTypeAndEveryRedirectHop) {
    LoopbackServer server;
    server.server().Get("/start", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("/next");
    });
    server.server().Get("/next", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("/static/CAPTCHA/check.html?backurl=/start", 301);
    });
    server.server().Get("/static/CAPTCHA/check.html",
                        [](const httplib::Request&, httplib::Response& res) {
                            res.set_content("verify", "text/html; charset=gbk");
                        });
    server.server().Get("/gone", [](const httplib::Request&, httplib::Response& res) {
        res.status = 429;
        res.set_content("slow down", "text/plain");
    });
    server.start();
    const std::string base = server.baseUrl();

    FetchReport followed = fetchPage(base + "/start");
    EXPECT_TRUE(followed.arrived());
    EXPECT_EQ(followed.status, 200);
    EXPECT_EQ(followed.contentType, "text/html; charset=gbk");
    EXPECT_EQ(str(followed.body), "verify");
    ASSERT_EQ(followed.redirects.size(), 2u);
    EXPECT_EQ(followed.redirects[0].status, 302);
    EXPECT_EQ(followed.redirects[0].target, base + "/next");
    EXPECT_EQ(followed.redirects[1].target, base + "/static/CAPTCHA/check.html?backurl=/start");
    EXPECT_FALSE(followed.redirectRefused);

    // Refused at the second hop: the request ends at the redirecting response.
    server.clearRequests();
    std::vector<std::string> offered;
    FetchReport refused = fetchPage(base + "/start", {}, [&](const std::string& target) {
        offered.push_back(target);
        return target.find("CAPTCHA") == std::string::npos;
    });
    EXPECT_TRUE(refused.arrived());
    EXPECT_TRUE(refused.redirectRefused);
    EXPECT_EQ(refused.status, 301);
    EXPECT_EQ(refused.redirects.size(), 2u);
    EXPECT_EQ(offered.size(), 2u);
    EXPECT_EQ(server.targets(), (std::vector<std::string>{"/start", "/next"}));

    // An error status is a response like any other.
    FetchReport limited = fetchPage(base + "/gone");
    EXPECT_TRUE(limited.arrived());
    EXPECT_EQ(limited.status, 429);
    EXPECT_EQ(str(limited.body), "slow down");
}

TEST_F(HttpFetch, ReportNamesTheKindOfTransportFailure) {
    FetchLimits quick;
    quick.stallTimeout = 300ms;
    quick.connectTimeout = 2s;
    quick.maxRedirects = 2;

    EXPECT_EQ(fetchPage(testing::refusingUrl() + "/s", quick).failure,
              FetchFailure::ConnectionRefused);
    EXPECT_EQ(fetchPage("http://no-such-host.invalid/s", quick).failure,
              FetchFailure::NameNotResolved);
    EXPECT_EQ(fetchPage("ftp://127.0.0.1/s", quick).failure, FetchFailure::BadUrl);

    RawServer silent([](RawConnection& c) {
        c.readRequestHead();
        c.stall(60s);
    });
    FetchReport stalled = fetchPage(silent.baseUrl() + "/", quick);
    EXPECT_EQ(stalled.failure, FetchFailure::Stalled);
    EXPECT_FALSE(stalled.arrived());

    // Headers, then silence before the first byte of the body.
    RawServer headOnly([](RawConnection& c) {
        c.readRequestHead();
        c.send("HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\n");
        c.stall(60s);
    });
    EXPECT_EQ(fetchPage(headOnly.baseUrl() + "/", quick).failure, FetchFailure::Stalled);

    RawServer hangUp([](RawConnection& c) { c.readRequestHead(); });
    EXPECT_EQ(fetchPage(hangUp.baseUrl() + "/", quick).failure, FetchFailure::Closed);
    RawServer closedBeforeBody([](RawConnection& c) {
        c.readRequestHead();
        c.send("HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\n");
    });
    EXPECT_EQ(fetchPage(closedBeforeBody.baseUrl() + "/", quick).failure, FetchFailure::Closed);

    LoopbackServer looping;
    looping.server().Get("/loop", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("/loop");
    });
    looping.start();
    FetchReport loop = fetchPage(looping.baseUrl() + "/loop", quick);
    EXPECT_EQ(loop.failure, FetchFailure::TooManyRedirects);
    EXPECT_EQ(loop.redirects.size(), 3u);  // the third is not followed
    EXPECT_EQ(looping.requests().size(), 3u);
}

TEST_F(HttpFetch, ReportSaysWhenTheBodyWasCutShort) {
    const std::string part(4000, 'x');
    FetchLimits limits;
    limits.stallTimeout = 300ms;
    limits.maxBodyBytes = 1000;

    RawServer whole([](RawConnection& c) {
        c.readRequestHead();
        c.send("HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nhello");
    });
    FetchReport complete = fetchPage(whole.baseUrl() + "/", limits);
    EXPECT_FALSE(complete.cutShort);
    EXPECT_EQ(str(complete.body), "hello");

    RawServer big([&](RawConnection& c) {
        c.readRequestHead();
        c.send("HTTP/1.0 200 OK\r\n\r\n" + part);
    });
    FetchReport capped = fetchPage(big.baseUrl() + "/", limits);
    EXPECT_TRUE(capped.arrived());
    EXPECT_TRUE(capped.cutShort);
    EXPECT_EQ(capped.body.size(), 1000u);

    limits.maxBodyBytes = 1u << 20;
    RawServer closed([&](RawConnection& c) {
        c.readRequestHead();
        c.send("HTTP/1.0 200 OK\r\nContent-Length: 100000\r\n\r\n" + part);
    });
    RawServer reset([&](RawConnection& c) {
        c.readRequestHead();
        c.send("HTTP/1.0 200 OK\r\nContent-Length: 100000\r\n\r\n" + part);
        std::this_thread::sleep_for(200ms);
        c.resetOnClose();
    });
    RawServer stalling([&](RawConnection& c) {
        c.readRequestHead();
        c.send("HTTP/1.0 200 OK\r\n\r\n" + part);
        c.stall(60s);
    });
    for (RawServer* server : {&closed, &reset, &stalling}) {
        FetchReport report = fetchPage(server->baseUrl() + "/", limits);
        EXPECT_TRUE(report.arrived()) << server->baseUrl();
        EXPECT_TRUE(report.cutShort) << server->baseUrl();
        EXPECT_EQ(str(report.body), part);
    }
}

TEST_F(HttpFetch, UserAgentComesFromTheLimits) {
    LoopbackServer server;
    server.server().Get("/ua", [](const httplib::Request& req, httplib::Response& res) {
        res.set_content(req.get_header_value("User-Agent"), "text/plain");
    });
    server.start();
    EXPECT_EQ(str(httpGet(server.baseUrl() + "/ua")), kDefaultUserAgent);
    FetchLimits limits;
    limits.userAgent = "Editor/1.0";
    EXPECT_EQ(str(httpGet(server.baseUrl() + "/ua", limits)), "Editor/1.0");
}

}  // namespace
}  // namespace oc
