// Two checkers running at once share one cookie file: each keeps the other's
// cookies when it writes the file, so neither process's cookies are lost.
#include <gtest/gtest.h>

#include <future>

#include "tests/support/cli_runner.h"
#include "tests/support/file_fixtures.h"
#include "tests/support/raw_server.h"

namespace oc {
namespace {
using testing::RawConnection;
using testing::RawServer;
using namespace std::chrono_literals;

// The value of the request head's User-Agent line.
std::string userAgentOf(const std::string& head) {
    const std::string name = "User-Agent: ";
    const std::size_t at = head.find(name);
    if (at == std::string::npos) {
        return {};
    }
    const std::size_t start = at + name.size();
    return head.substr(start, head.find('\r', start) - start);
}

TEST(SharedCookieFile, TwoProcessesSavingAtOnceBothKeepTheirCookies) {
    testing::TempFolder folder;
    const std::string cookies = folder.nativePath("cookies.txt");
    // Each answer waits until both checkers have asked, so both have read the
    // (still empty) cookie file before either writes it.
    RawServer server([&](RawConnection& c) {
        const std::string head = c.readRequestHead();
        server.waitForRequests(2, 20s);
        const std::string page = "<html><body><p>无关的结果文字</p></body></html>";
        c.send(RawServer::head("HTTP/1.0 200 OK",
                               {"Content-Type: text/html; charset=utf-8",
                                "Set-Cookie: from_" + userAgentOf(head) +
                                    "=1; Expires=Wed, 09 Jun 2100 10:18:14 GMT; Path=/",
                                "Content-Length: " + std::to_string(page.size())}) +
               page);
    });
    testing::putFileBytes(folder.nativePath("article.txt"),
                          "春眠不觉晓处处闻啼鸟夜来风雨声花落知多少床前明月光疑是地上霜");
    auto run = [&](const std::string& agent) {
        return std::async(std::launch::async, [&, agent] {
            return testing::runCli(OC_BIN_DIR, folder.native(),
                                   "--json --quiet --engine baidu --on-empty-page continue "
                                   "--user-agent " +
                                       agent + " --settings '" + folder.nativePath("none.ini") +
                                       "' --baidu-url " + server.baseUrl() + " '" +
                                       folder.nativePath("article.txt") + "'",
                                   "", 60s, "OC_COOKIE_FILE='" + cookies + "'");
        });
    };
    auto first = run("checkerA");
    auto second = run("checkerB");
    const testing::CliRun a = first.get();
    const testing::CliRun b = second.get();
    // A Baidu page without highlights proves nothing: unverified, status 4.
    EXPECT_EQ(a.status, 4) << a.err;
    EXPECT_EQ(b.status, 4) << b.err;
    const std::string saved = testing::fileBytes(cookies);
    EXPECT_NE(saved.find("from_checkerA"), std::string::npos) << saved;
    EXPECT_NE(saved.find("from_checkerB"), std::string::npos) << saved;
}

}  // namespace
}  // namespace oc
