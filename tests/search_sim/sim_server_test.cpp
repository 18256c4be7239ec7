#include "app/search_sim/sim_server.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <chrono>
#include <mutex>
#include <thread>

#include "services/boundary_text.h"
#include "services/encoding.h"
#include "tests/search_sim/page_helpers.h"
#include "tests/support/gbk.h"

namespace oc::sim {
namespace {

using testing::emFragments;

using oc::testing::G;

const std::u32string kCopied =
    U"跑堂的伙计提着长嘴铜壶，隔着半张桌子往碗里续水，水线细得像一根银丝";

std::vector<Document> sampleDocuments() {
    std::vector<Document> docs{
        {"teahouse.txt", U"老城的茶馆",
         U"老城南门外有一家茶馆。" + kCopied + U"，一滴也不会洒出来。"},
        {"market.txt", U"菜市场的早晨", U"卖豆腐的摊子冒着热气，老板娘一边切豆腐一边聊家常。"},
    };
    // Filler documents that share a little with any tea query, to fill pages.
    for (int i = 0; i < 25; ++i) {
        docs.push_back(
            {"filler-" + std::to_string(100 + i) + ".txt", U"杂记",
             U"喝茶的时候续水要慢，" + std::u32string(i % 7 + 1, U'茶') + U"桌子很旧。"});
    }
    return docs;
}

// The simulator on a loopback port, serving on its own thread.
class RunningSim {
  public:
    explicit RunningSim(Blocking blocking = {}, std::vector<Document> docs = sampleDocuments())
        : service_(std::move(docs), blocking),
          server_(service_, 0, [this](const std::string& line) {
              std::lock_guard lock(mutex_);
              log_.push_back(line);
          }) {
        port_ = server_.bind("127.0.0.1", 0);
        thread_ = std::thread([this] { server_.run(); });
    }
    ~RunningSim() {
        server_.stop();
        thread_.join();
    }
    httplib::Result get(const std::string& target) {
        httplib::Client client("127.0.0.1", port_);
        return client.Get(target.c_str());
    }
    std::vector<std::string> log() {
        std::lock_guard lock(mutex_);
        return log_;
    }
    int port() const { return port_; }

  private:
    SearchService service_;
    SimServer server_;
    int port_ = 0;
    std::thread thread_;
    std::mutex mutex_;
    std::vector<std::string> log_;
};

std::size_t resultCount(const std::string& html) {
    std::size_t n = 0;
    for (std::size_t p = html.find("corpus.local/"); p != std::string::npos;
         p = html.find("corpus.local/", p + 1)) {
        ++n;
    }
    return n / 2;  // the link and the display URL
}

TEST(SimServer, BaiduQueryInGbkFindsTheCopiedClausesHighlightedApart) {
    RunningSim sim;
    // As the Baidu pass sends it: the half-width segment, GBK, every byte encoded.
    Text halfWidth = G(encodeUtf8(matchKeys(kCopied)));
    auto res = sim.get("/s?wd=" + urlEncode(halfWidth) + "&rn=20&lm=0");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200);
    EXPECT_EQ(res->get_header_value("Content-Type"), "text/html; charset=utf-8");
    EXPECT_TRUE(isValidUtf8(res->body));
    auto fragments = emFragments(res->body);
    ASSERT_GE(fragments.size(), 3u);
    // The first result's clauses, highlighted apart as the engines do, are byte
    // for byte the GBK query the checker compares with, the commas between them.
    EXPECT_EQ(G(fragments[0] + "," + fragments[1] + "," + fragments[2]), halfWidth);
    EXPECT_LT(res->body.find("teahouse.txt"), res->body.find("filler-"));
    EXPECT_EQ(resultCount(res->body), 10u);
    auto log = sim.log();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find("baidu"), std::string::npos);
}

TEST(SimServer, So360PagesHoldTenResultsEach) {
    RunningSim sim;
    std::string q = "/s?q=" + urlEncode(encodeUtf8(kCopied));
    auto page1 = sim.get(q + "&pn=1");
    auto page2 = sim.get(q + "&pn=2");
    auto page3 = sim.get(q + "&pn=3");
    auto page4 = sim.get(q + "&pn=4");
    ASSERT_TRUE(page1 && page2 && page3 && page4);
    EXPECT_EQ(resultCount(page1->body), 10u);
    EXPECT_EQ(resultCount(page2->body), 10u);
    EXPECT_EQ(resultCount(page3->body), 6u);  // 26 documents share a run
    EXPECT_EQ(resultCount(page4->body), 0u);
    EXPECT_NE(page1->body.find("teahouse.txt"), std::string::npos);
    EXPECT_EQ(page2->body.find("teahouse.txt"), std::string::npos);
    // The clauses show in their folded form, the commas outside the highlights.
    const std::vector<std::string> clauses = emFragments(page1->body);
    ASSERT_GE(clauses.size(), 3u);
    EXPECT_EQ(clauses[0] + "," + clauses[1] + "," + clauses[2], encodeUtf8(matchKeys(kCopied)));
    EXPECT_EQ(sim.log().size(), 4u);
}

TEST(SimServer, OriginalTextGetsOnlyShortHighlights) {
    RunningSim sim;
    auto res = sim.get("/s?q=" + urlEncode("今天下午我们在河边的长椅上聊了很久，直到路灯亮起来") +
                       "&pn=1");
    ASSERT_TRUE(res);
    for (const std::string& fragment : emFragments(res->body)) {
        EXPECT_LE(decodeUtf8(fragment).size(), 4u) << fragment;
    }
}

TEST(SimServer, OtherTargetsGet404AndDoNotCountAsQueries) {
    RunningSim sim({1, BlockKind::Empty});
    for (const char* target : {"/", "/s", "/s?x=1", "/favicon.ico"}) {
        auto res = sim.get(target);
        ASSERT_TRUE(res);
        EXPECT_EQ(res->status, 404) << target;
        EXPECT_FALSE(res->body.empty());
    }
    auto first = sim.get("/s?q=%E8%8C%B6%E9%A6%86");  // still the first query: answered
    ASSERT_TRUE(first);
    EXPECT_FALSE(first->body.empty());
}

TEST(SimServer, BlockedAnswersComeAfterTheNthQuery) {
    const std::string target = "/s?q=" + urlEncode(encodeUtf8(kCopied));
    {
        RunningSim sim({2, BlockKind::Empty});
        EXPECT_FALSE(sim.get(target)->body.empty());
        EXPECT_FALSE(sim.get(target)->body.empty());
        auto blocked = sim.get(target);
        EXPECT_EQ(blocked->status, 200);
        EXPECT_TRUE(blocked->body.empty());
        EXPECT_TRUE(sim.get(target)->body.empty());
        EXPECT_NE(sim.log().back().find("blocked"), std::string::npos);
    }
    {
        RunningSim sim({0, BlockKind::Captcha});
        auto page = sim.get(target);
        EXPECT_TRUE(isValidUtf8(page->body));
        EXPECT_NE(page->body.find("验证码"), std::string::npos);
        EXPECT_EQ(page->body.find("<em>"), std::string::npos);
    }
    {
        RunningSim sim({0, BlockKind::InvalidUtf8});
        auto page = sim.get(target);
        EXPECT_FALSE(page->body.empty());
        EXPECT_FALSE(isValidUtf8(page->body));
    }
}

TEST(SimServer, BlocksRehearseTheRealEnginesAnswers) {
    const std::string target360 = "/s?q=" + urlEncode(encodeUtf8(kCopied)) + "&pn=1";
    const std::string targetBaidu = "/s?wd=" + urlEncode(G("茶馆"));
    {
        RunningSim sim({0, BlockKind::CaptchaRedirect});
        auto res = sim.get(target360);
        ASSERT_TRUE(res);
        EXPECT_EQ(res->status, 302);
        std::string location = res->get_header_value("Location");
        EXPECT_EQ(location.rfind("/static/captcha/tuxing.html?", 0), 0u) << location;
        auto captcha = sim.get("/static/captcha/tuxing.html?ak=sim");  // on the simulator itself
        EXPECT_EQ(captcha->status, 200);
        EXPECT_NE(captcha->body.find("验证码"), std::string::npos);
    }
    {
        RunningSim sim({0, BlockKind::CaptchaPage});
        EXPECT_NE(sim.get(targetBaidu)->body.find("<title>百度安全验证</title>"),
                  std::string::npos);
        EXPECT_NE(sim.get(target360)->body.find("<title>访问异常页面</title>"), std::string::npos);
    }
    {
        RunningSim sim({0, BlockKind::Status429});
        EXPECT_EQ(sim.get(target360)->status, 429);
    }
}

TEST(SimServer, AQueryWithoutResultsGetsTheEnginesNoResultsPage) {
    RunningSim sim;
    // Baidu echoes the query inside em; 360 does not highlight it.
    auto baidu = sim.get("/s?wd=" + urlEncode(G("量子")));
    EXPECT_NE(baidu->body.find("很抱歉，没有找到与“<em>量子</em>”相关的网页。"), std::string::npos);
    auto so360 = sim.get("/s?q=" + urlEncode(encodeUtf8(U"量子")) + "&pn=1");
    EXPECT_NE(so360->body.find("相关的网页"), std::string::npos);
    EXPECT_EQ(so360->body.find("<em>"), std::string::npos);
}

TEST(SimServer, StopsWhileIdleOrBeforeItRuns) {
    std::vector<Document> docs = sampleDocuments();
    SearchService service(docs, {});
    SimServer early(service, 0, nullptr);
    ASSERT_GT(early.bind("127.0.0.1", 0), 0);
    early.stop();  // before run: run() then returns at once
    EXPECT_TRUE(early.run());
    early.stop();  // and again after it

    SimServer server(service, 0, nullptr);
    int port = server.bind("127.0.0.1", 0);
    std::thread serving([&] { server.run(); });
    std::thread stopper([&] { server.stop(); });  // may come before, during or after start-up
    stopper.join();
    serving.join();
    EXPECT_FALSE(httplib::Client("127.0.0.1", port).Get("/s?q=x"));
}

TEST(SimServerSlowClients, AnswersKeepFlowingWhileSixteenClientsTrickle) {
    RunningSim sim;
    // Each slow client sends one header line every 3 seconds.
    std::vector<int> sockets;
    for (int i = 0; i < 16; ++i) {
        int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(sim.port()));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ASSERT_GT(::send(fd, "GET /s?wd=x HTTP/1.1\r\n", 22, MSG_NOSIGNAL), 0);
        sockets.push_back(fd);
    }
    auto start = std::chrono::steady_clock::now();
    std::thread trickle([&] {
        std::this_thread::sleep_for(std::chrono::seconds(3));
        for (int fd : sockets) {
            ::send(fd, "X-Slow: 1\r\n", 11, MSG_NOSIGNAL);
        }
    });
    auto result = sim.get("/s?wd=" + std::string(urlEncode(G("续水"))));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);
    trickle.join();
    // The trickling connections were dropped: closed by the server, at most with
    // an error answer, never held open and never answered as a search.
    for (int fd : sockets) {
        timeval wait{5, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        std::string received;
        char buffer[256];
        ssize_t n;
        while ((n = ::recv(fd, buffer, sizeof buffer, 0)) > 0) {
            received.append(buffer, static_cast<std::size_t>(n));
        }
        EXPECT_TRUE(n == 0 || errno == ECONNRESET) << "still open: " << errno;
        EXPECT_EQ(received.find(" 200 "), std::string::npos) << received;
        ::close(fd);
    }
}

}  // namespace
}  // namespace oc::sim
