// The results store on real files: what a check leaves, its history, and the
// lock that tells a running check from an interrupted one.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "store/sqlite_check_store.h"
#include "store/store_location.h"
#include "tests/support/file_fixtures.h"

namespace oc::store {
namespace {
namespace fs = std::filesystem;

CheckStart startOf(const std::string& article, StoreTime at = 1000) {
    CheckStart start;
    start.startedAt = at;
    start.article = article;
    start.title = checkTitle(article);
    start.chars = static_cast<int>(article.size() / 3);
    start.settings = {{"飘红检测数", "30"}, {"忽略网站", ""}};
    start.origin = "cli";
    return start;
}

StoredRow rowOf(int number, SegmentStatus status) {
    StoredRow row;
    row.number = number;
    row.text = "第" + std::to_string(number) + "段";
    row.status = status;
    row.hits = status == SegmentStatus::Hit ? 2 : 0;
    row.reason = status == SegmentStatus::Unverified ? "屏蔽/验证码" : "";
    row.url = "http://127.0.0.1/s?wd=" + std::to_string(number);
    if (status == SegmentStatus::Hit) {
        row.source = SegmentSource{"标题", "http://example.com/a", "example.com"};
    }
    row.checkedAt = 1000 + number;
    if (status != SegmentStatus::Unverified) {
        row.verifiedAt = 900;
        row.origin = RowOrigin::Cached;
    }
    return row;
}

// Writes a whole check of `segments` rows for Baidu and ends it.
CheckId writeCheck(CheckStore& store, const std::string& article, int segments,
                   StoreTime at = 1000) {
    std::optional<CheckId> id = store.beginCheck(startOf(article, at));
    EXPECT_TRUE(id.has_value());
    store.writePass(*id, {Engine::Baidu, "running", "", "", "", "", segments});
    for (int n = 1; n <= segments; ++n) {
        store.writeRow(*id, Engine::Baidu,
                       rowOf(n, n % 3 == 0 ? SegmentStatus::Hit : SegmentStatus::Original));
    }
    store.writePass(*id,
                    {Engine::Baidu, "normal", "finished", "66.67%", "已核实 3/3", "", segments});
    store.endCheck(*id, at + 5);
    return *id;
}

int modeOf(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 ? static_cast<int>(info.st_mode & 07777) : -1;
}

class CheckStoreTest : public ::testing::Test {
  protected:
    std::string path() const { return folder_.nativePath("data/checks.db"); }
    testing::TempFolder folder_;
};

TEST_F(CheckStoreTest, KeepsEveryCheckWithItsPassesAndRowsNewestFirst) {
    SqliteCheckStore store(path());
    ASSERT_EQ(store.problem(), "");
    EXPECT_EQ(modeOf(path()), 0600);
    EXPECT_EQ(modeOf(folder_.nativePath("data")), 0700);

    const CheckId first = writeCheck(store, "\n  一篇文章的标题  \n正文。", 3, 1000);
    const CheckId second = writeCheck(store, "另一篇", 2, 2000);
    std::optional<CheckId> third = store.beginCheck(startOf("第三篇", 3000));
    ASSERT_TRUE(third);
    store.writePass(*third, {Engine::So360, "running", "", "", "", "", 5});
    store.writePass(*third, {Engine::Baidu, "running", "", "", "", "", 5});

    // A second process's view of the same file.
    SqliteCheckStore other(path());
    std::vector<CheckSummary> list = other.listChecks();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].id, *third);
    EXPECT_EQ(list[0].state, CheckState::Running);  // held by `store`
    ASSERT_EQ(list[0].passes.size(), 2u);
    EXPECT_EQ(list[0].passes[0].engine, Engine::Baidu);
    EXPECT_EQ(list[1].id, second);
    EXPECT_EQ(list[2].id, first);
    EXPECT_EQ(list[2].title, "一篇文章的标题");
    EXPECT_EQ(list[2].state, CheckState::Finished);
    EXPECT_EQ(list[2].endedAt, 1005);
    EXPECT_EQ(list[2].passes[0].value, "66.67%");

    std::optional<StoredCheck> check = other.loadCheck(first);
    ASSERT_TRUE(check);
    EXPECT_EQ(check->article, "\n  一篇文章的标题  \n正文。");
    EXPECT_EQ(check->settings, startOf("").settings);
    ASSERT_EQ(check->passes.size(), 1u);
    const StoredPass& pass = check->passes[0];
    EXPECT_EQ(pass.summary.coverage, "已核实 3/3");
    ASSERT_EQ(pass.rows.size(), 3u);
    const StoredRow& hit = pass.rows[2];
    EXPECT_EQ(hit.number, 3);
    EXPECT_EQ(hit.status, SegmentStatus::Hit);
    EXPECT_EQ(hit.hits, 2);
    ASSERT_TRUE(hit.source);
    EXPECT_EQ(hit.source->domain, "example.com");
    EXPECT_EQ(hit.origin, RowOrigin::Cached);
    EXPECT_EQ(hit.verifiedAt, 900);
    EXPECT_FALSE(pass.rows[0].source);

    // A rechecked row replaces the one of the same number.
    StoredRow again = rowOf(2, SegmentStatus::Unverified);
    store.writeRow(first, Engine::Baidu, again);
    check = other.loadCheck(first);
    EXPECT_EQ(check->passes[0].rows[1].status, SegmentStatus::Unverified);
    EXPECT_EQ(check->passes[0].rows[1].verifiedAt, std::nullopt);

    // Deleting: never a running check; a finished one with all it holds.
    EXPECT_FALSE(other.deleteCheck(*third));
    EXPECT_TRUE(other.deleteCheck(first));
    EXPECT_FALSE(other.deleteCheck(first));
    EXPECT_FALSE(other.loadCheck(first));
    EXPECT_EQ(other.listChecks().size(), 2u);
}

TEST_F(CheckStoreTest, ACheckWhoseProcessDiedIsInterruptedWithItsFinishedRows) {
    { SqliteCheckStore create(path()); }
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        SqliteCheckStore store(path());
        std::optional<CheckId> id = store.beginCheck(startOf("中断的文章"));
        if (!id) {
            ::_exit(1);
        }
        store.writePass(*id, {Engine::Baidu, "running", "", "", "", "", 10});
        for (int n = 1; n <= 4; ++n) {
            store.writeRow(*id, Engine::Baidu, rowOf(n, SegmentStatus::Original));
        }
        char byte = 1;
        (void)!::write(ready[1], &byte, 1);
        ::pause();  // killed here, mid-check
        ::_exit(0);
    }
    // The child never outlives the test, whatever fails.
    struct Reaper {
        pid_t child;
        ~Reaper() {
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
        }
    } reaper{child};
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    SqliteCheckStore store(path());
    std::vector<CheckSummary> list = store.listChecks();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].state, CheckState::Running);
    EXPECT_FALSE(store.deleteCheck(list[0].id));

    ::kill(child, SIGTERM);
    ::waitpid(child, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    list = store.listChecks();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].state, CheckState::Interrupted);
    std::optional<StoredCheck> check = store.loadCheck(list[0].id);
    ASSERT_TRUE(check);
    EXPECT_EQ(check->passes[0].rows.size(), 4u);
    EXPECT_EQ(check->summary.state, CheckState::Interrupted);
}

TEST_F(CheckStoreTest, SeveralProcessesWriteAtOnce) {
    { SqliteCheckStore create(path()); }
    std::vector<pid_t> children;
    for (int p = 0; p < 3; ++p) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            SqliteCheckStore store(path());
            for (int c = 0; c < 3; ++c) {
                writeCheck(store, "进程" + std::to_string(p), 43);
            }
            ::_exit(store.problem().empty() ? 0 : 1);
        }
        children.push_back(child);
    }
    for (pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    SqliteCheckStore store(path());
    std::vector<CheckSummary> list = store.listChecks();
    ASSERT_EQ(list.size(), 9u);
    for (const CheckSummary& summary : list) {
        EXPECT_EQ(summary.state, CheckState::Finished);
        EXPECT_EQ(store.loadCheck(summary.id)->passes.at(0).rows.size(), 43u);
    }
}

TEST_F(CheckStoreTest, RemembersVerifiedPagesPerUrlEndpointAndAnalysis) {
    SqliteCheckStore store(path());
    CachedPage page;
    page.pageClass = PageClass::ResultPage;
    page.anyHighlight = true;
    page.blocksKnown = true;
    page.highlightsCut = true;
    page.minFragmentBytes = 4;
    page.blocks = {{"标题", "http://example.com/a", "example.com"}};
    page.fragments = {{"𠀀啊", 6, 0}, {"啊阿", 4, -1}};
    page.verifiedAt = storeTimeNow() - 100;
    const PageKey key{"http://127.0.0.1/s?wd=%B0%A1", "http://127.0.0.1:1", 3};
    store.keepPage(key, page);

    std::optional<CachedPage> found = SqliteCheckStore(path()).cachedPage(key, 0, 4);
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, page);
    // Too old, kept with longer fragments only, another version or endpoint: none.
    EXPECT_FALSE(store.cachedPage(key, page.verifiedAt + 1, 4));
    EXPECT_FALSE(store.cachedPage(key, 0, 2));
    EXPECT_FALSE(store.cachedPage({key.url, key.endpoint, 4}, 0, 4));
    EXPECT_FALSE(store.cachedPage({key.url, "http://127.0.0.1:2", 3}, 0, 4));
    // A newer answer replaces the older one.
    page.pageClass = PageClass::NoResults;
    page.fragments.clear();
    page.verifiedAt += 50;
    store.keepPage(key, page);
    EXPECT_EQ(store.cachedPage(key, 0, 4)->pageClass, PageClass::NoResults);
}

TEST_F(CheckStoreTest, ABatchQueueIsTakenUpAgainOnlyWhenNoOneWorksOnIt) {
    SqliteCheckStore store(path());
    std::optional<BatchId> id = store.beginBatch("cli", "key-1");
    ASSERT_TRUE(id.has_value());
    StoredBatchItem done;
    done.position = 0;
    done.entry = {
        "/tmp/a.docx", 1616, {{Engine::Baidu, "84.21%", "已核实 38/43"}}, "完成", "r.html"};
    done.finished = true;
    done.check = 7;
    StoredBatchItem waiting;
    waiting.position = 1;
    waiting.entry.input = "http://example.com/b";
    waiting.entry.status = "等待";
    store.writeBatchItem(*id, done);
    store.writeBatchItem(*id, waiting);
    // Its process holds it: no other process, nor this one, takes it.
    EXPECT_FALSE(SqliteCheckStore(path()).takeUnfinishedBatch("cli", "key-1"));
    store.releaseBatch(*id);
    EXPECT_FALSE(store.takeUnfinishedBatch("cli", "key-2"));
    EXPECT_FALSE(store.takeUnfinishedBatch("window", ""));
    SqliteCheckStore other(path());
    std::optional<StoredBatch> taken = other.takeUnfinishedBatch("cli", "key-1");
    ASSERT_TRUE(taken.has_value());
    EXPECT_EQ(taken->id, *id);
    EXPECT_EQ(taken->unfinished(), 1);
    ASSERT_EQ(taken->items.size(), 2u);
    const StoredBatchItem& first = taken->items[0];
    EXPECT_EQ(first.entry.input, "/tmp/a.docx");
    EXPECT_EQ(first.entry.chars, 1616);
    ASSERT_EQ(first.entry.engines.size(), 1u);
    EXPECT_EQ(first.entry.engines[0].value, "84.21%");
    EXPECT_EQ(first.entry.engines[0].coverage, "已核实 38/43");
    EXPECT_EQ(first.entry.report, "r.html");
    EXPECT_EQ(first.check, CheckId{7});
    EXPECT_FALSE(taken->items[1].finished);
    EXPECT_FALSE(taken->items[1].check);
    // Taken, it is held; ended, it is gone.
    EXPECT_FALSE(store.takeUnfinishedBatch("cli", ""));
    other.endBatch(*id, 2000);
    EXPECT_FALSE(SqliteCheckStore(path()).takeUnfinishedBatch("cli", ""));
}

TEST(CheckTitle, FirstNonEmptyLineTrimmedToFortyCharacters) {
    EXPECT_EQ(checkTitle("\r\n \u3000\r\n\u3000标题\u3000 \r\n正文"), "标题");
    EXPECT_EQ(checkTitle(std::string(50, 'a')), std::string(40, 'a'));
    std::string long_;
    for (int i = 0; i < 45; ++i) {
        long_ += "字";
    }
    EXPECT_EQ(checkTitle(long_).size(), 40u * 3);
    EXPECT_EQ(checkTitle(" \n\t"), "");
}

TEST(StoreLocation, NamedFilePortableProgramOrDataHome) {
    testing::TempFolder folder;
    const std::string program = folder.nativePath("bin");
    fs::create_directories(program);
    SettingsPlaces places{program, "", folder.nativePath("home"), ""};
    EXPECT_EQ(storeFilePath(places, "/x/y.db"), "/x/y.db");
    EXPECT_EQ(storeFilePath(places, ""), program + "/checks.db");
    // An installed program keeps it in the user's data folder.
    fs::create_directories(folder.nativePath("share/originality-checker"));
    EXPECT_EQ(storeFilePath(places, ""),
              folder.nativePath("home") + "/.local/share/originality-checker/checks.db");
    places.dataHome = "/data";
    EXPECT_EQ(storeFilePath(places, ""), "/data/originality-checker/checks.db");
}

}  // namespace
}  // namespace oc::store
