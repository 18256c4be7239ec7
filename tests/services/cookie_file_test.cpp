// The cookie file under abuse: a link planted at its path, a flood of cookies
// from a hostile server, a pipe where the file should be, an oversized file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>

#include "services/cookie_jar.h"
#include "services/http_fetch.h"
#include "services/internet_client.h"
#include "tests/support/file_fixtures.h"
#include "tests/support/loopback_server.h"

namespace oc {
namespace {
using namespace std::chrono_literals;
using testing::fileBytes;
using testing::LoopbackServer;
using testing::putFileBytes;
using Clock = std::chrono::steady_clock;

mode_t modeOf(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_mode : 0;
}

std::string cookieLine(const std::string& domain, const std::string& name, long long expires) {
    return domain + "\tFALSE\t/\tFALSE\t" + std::to_string(expires) + "\t" + name + "\tv";
}

class CookieJarFile : public ::testing::Test {
  protected:
    void SetUp() override {
        server_.server().Get("/set", [](const httplib::Request&, httplib::Response& res) {
            res.set_header("Set-Cookie", "keep=1; Expires=Wed, 01 Jan 2042 00:00:00 GMT; Path=/");
            res.set_content("set", "text/plain");
        });
        server_.server().Get("/flood", [this](const httplib::Request&, httplib::Response& res) {
            // 50 new cookies of about 4 KB with every answer.
            int answer = ++floodAnswers_;
            for (int i = 0; i < 50; ++i) {
                res.headers.emplace("Set-Cookie",
                                    std::string("f").append(std::to_string(answer)) + "_" +
                                        std::to_string(i) + "=" + std::string(4000, 'x') +
                                        "; Max-Age=" + std::to_string(100000 + answer * 100 + i) +
                                        "; Path=/");
            }
            res.set_content("flood", "text/plain");
        });
        server_.start();
        path_ = folder_.nativePath("private/cookies.txt");
        InternetClient::instance().setCookieFile(path_);
    }
    void TearDown() override { InternetClient::instance().setCookieFile(""); }

    std::string get(const std::string& target) {
        return httpGet(server_.baseUrl() + target).bytes();
    }

    testing::TempFolder folder_;
    LoopbackServer server_;
    std::string path_;
    std::atomic<int> floodAnswers_{0};
};

TEST_F(CookieJarFile, IsPrivateAndNeverWrittenThroughALink) {
    EXPECT_EQ(get("/set"), "set");
    EXPECT_EQ(modeOf(folder_.nativePath("private")) & 0777, 0700u);  // made by the program
    EXPECT_EQ(modeOf(path_) & 0777, 0600u);
    EXPECT_NE(fileBytes(path_).find("keep\t1"), std::string::npos) << fileBytes(path_);

    // A link planted at the path: its target stays as it was, the jar replaces the link.
    putFileBytes(folder_.nativePath("precious.txt"), "do not touch");
    std::filesystem::remove(path_);
    std::filesystem::create_symlink(folder_.nativePath("precious.txt"), path_);
    InternetClient::instance().setCookieFile(path_);
    EXPECT_EQ(get("/set"), "set");
    EXPECT_EQ(fileBytes(folder_.nativePath("precious.txt")), "do not touch");
    EXPECT_TRUE(S_ISREG(modeOf(path_)));
    EXPECT_EQ(modeOf(path_) & 0777, 0600u);

    // A jar an older version left readable by all becomes private at the next write.
    ::chmod(path_.c_str(), 0644);
    InternetClient::instance().setCookieFile(path_);
    EXPECT_EQ(get("/set"), "set");
    EXPECT_EQ(modeOf(path_) & 0777, 0600u);
    // No temporary file is left beside it: only the lock that writes take.
    int entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder_.nativePath("private"))) {
        ++entries;
        EXPECT_TRUE(entry.path().filename() == "cookies.txt" ||
                    entry.path().filename() == ".cookies.txt.lock")
            << entry.path();
    }
    EXPECT_EQ(entries, 2);
}

TEST_F(CookieJarFile, AFloodStaysWithinTheBoundAndIsWrittenAtMostOncePerSecond) {
    InternetClient& client = InternetClient::instance();
    std::size_t writesBefore = client.cookieFileWrites();
    Clock::time_point start = Clock::now();
    for (int i = 0; i < 12; ++i) {
        ASSERT_EQ(get("/flood"), "flood");
        std::vector<CookieLine> jar = client.cookies();
        EXPECT_LE(jar.size(), 50u) << "after answer " << i;
    }
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::size_t writes = client.cookieFileWrites() - writesBefore;
    EXPECT_GE(writes, 1u);
    EXPECT_LE(static_cast<double>(writes), seconds + 1.0);

    client.flushCookies();  // the end of a pass
    std::vector<CookieLine> saved = parseCookieLines(fileBytes(path_));
    EXPECT_EQ(saved.size(), 50u);
    EXPECT_LE(fileBytes(path_).size(), (1u << 20) + 100);
    // The newest answer's cookies expire last, so they are the ones kept.
    for (const CookieLine& cookie : saved) {
        EXPECT_NE(cookie.line.find("\tf12_"), std::string::npos) << cookie.line.substr(0, 60);
    }
}

TEST_F(CookieJarFile, APipeAtThePathDoesNotHoldTheFetchAndIsLeftAlone) {
    std::filesystem::create_directory(folder_.nativePath("private"));
    ASSERT_EQ(::mkfifo(path_.c_str(), 0600), 0);
    InternetClient::instance().setCookieFile(path_);
    Clock::time_point start = Clock::now();
    EXPECT_EQ(get("/set"), "set");
    EXPECT_LT(Clock::now() - start, 3s);
    InternetClient::instance().flushCookies();
    EXPECT_TRUE(S_ISFIFO(modeOf(path_)));
}

TEST_F(CookieJarFile, AnOversizedFileIsReadOnlyInPartAndBoundedOnLoad) {
    std::string text;
    long long expires = 2272147200;
    for (int i = 0; text.size() < 3u << 20; ++i) {
        text += cookieLine("127.0.0.1",
                           std::string("c").append(std::to_string(i)) + std::string(200, 'n'),
                           expires + i) +
                "\n";
    }
    std::filesystem::create_directory(folder_.nativePath("private"));
    putFileBytes(path_, text);
    EXPECT_EQ(get("/set"), "set");
    std::vector<CookieLine> jar = InternetClient::instance().cookies();
    EXPECT_EQ(jar.size(), 50u);
}

TEST(CookieBound, EvictsSessionCookiesFirstThenTheSoonestToExpire) {
    std::vector<CookieLine> jar = parseCookieLines(
        cookieLine("a.com", "late", 3000) + "\n" + cookieLine(".A.com", "session", 0) + "\n" +
        "#HttpOnly_" + cookieLine("a.com", "early", 2000) + "\n" + "# a comment\n" +
        cookieLine("b.com", "other", 1000) + "\n" + "not\ta\tcookie\n");
    ASSERT_EQ(jar.size(), 4u);
    EXPECT_EQ(jar[1].domain, "a.com");
    EXPECT_EQ(cookiesOverBound(jar, {2, 1u << 20}), (std::vector<std::size_t>{1}));
    EXPECT_EQ(cookiesOverBound(jar, {1, 1u << 20}), (std::vector<std::size_t>{1, 2}));
    // Over the size in all: across domains, in the same order.
    std::size_t all = 0;
    for (const CookieLine& c : jar) {
        all += c.line.size() + 1;
    }
    EXPECT_EQ(cookiesOverBound(jar, {50, all - 1}), (std::vector<std::size_t>{1}));
    EXPECT_EQ(cookiesOverBound(jar, {50, jar[0].line.size() + 1}),
              (std::vector<std::size_t>{1, 3, 2}));

    EXPECT_EQ(expiredCookieLine(jar[2]), "#HttpOnly_" + cookieLine("a.com", "early", 1));
    EXPECT_EQ(parseCookieLines(cookieFileText(jar)).size(), 4u);
}

TEST(CookieMerge, KeepsAnotherProgramsCookiesAndWhatThisOneRemovedStaysRemoved) {
    auto lines = [](const std::vector<std::string>& cookies) {
        std::string text;
        for (const std::string& line : cookies) {
            text += line + "\n";
        }
        return parseCookieLines(text);
    };
    const std::vector<CookieLine> mine = lines({cookieLine("a.com", "mine", 3000)});
    const std::vector<CookieLine> onDisk = lines({
        cookieLine("a.com", "mine", 2000),     // ours, older: ours is written
        cookieLine("b.com", "theirs", 3000),   // another program's: kept
        cookieLine("a.com", "removed", 3000),  // known here and gone from the store: removed
        cookieLine("c.com", "expired", 100),   // past its time: dropped
        cookieLine("c.com", "session", 0),     // a session cookie never lasts
    });
    const std::vector<std::string> known = {cookieIdentity(onDisk[0]), cookieIdentity(onDisk[2])};
    const std::vector<CookieLine> merged = mergeCookieFile(mine, onDisk, known, 1000);
    ASSERT_EQ(merged.size(), 2u);
    EXPECT_EQ(merged[0].line, mine[0].line);
    EXPECT_EQ(merged[1].line, onDisk[1].line);
    // The same name on another path or domain is another cookie.
    EXPECT_NE(cookieIdentity(lines({cookieLine("a.com", "x", 1)})[0]),
              cookieIdentity(lines({cookieLine("b.com", "x", 1)})[0]));
}

}  // namespace
}  // namespace oc
