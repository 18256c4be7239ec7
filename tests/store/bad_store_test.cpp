// A store that cannot be used says why and does nothing, and what it already
// holds is never lost by a write that failed.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>

#include "store/sqlite_check_store.h"
#include "store/store_schema.h"
#include "tests/support/file_fixtures.h"

namespace oc::store {
namespace {
namespace fs = std::filesystem;

using namespace std::chrono_literals;

CheckStart startOf(std::string article) {
    CheckStart start;
    start.startedAt = storeTimeNow();
    start.article = std::move(article);
    start.title = "标题";
    start.origin = "cli";
    return start;
}

// A check with one row, ended.
bool writeCheck(CheckStore& store, const std::string& article) {
    std::optional<CheckId> id = store.beginCheck(startOf(article));
    if (!id) {
        return false;
    }
    StoredRow row;
    row.number = 1;
    row.text = "一段";
    store.writeRow(*id, Engine::Baidu, row);
    store.writePass(*id, {Engine::Baidu, "normal", "finished", "100%", "已核实 1/1", "", 1});
    store.endCheck(*id, storeTimeNow());
    return store.problem().empty();
}

// Runs SQL on the file with a connection of its own.
void runSql(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

class BadStore : public ::testing::Test {
  protected:
    void SetUp() override { fs::permissions(folder_.native(), fs::perms(0755)); }
    std::string path() const { return folder_.nativePath("checks.db"); }
    // The store is unusable for the reason, and nothing is written or found.
    static void expectUnusable(SqliteCheckStore& store, const std::string& reason) {
        EXPECT_NE(store.problem().find(reason), std::string::npos) << store.problem();
        EXPECT_FALSE(store.beginCheck(startOf("文章")));
        EXPECT_TRUE(store.listChecks().empty());
        EXPECT_FALSE(store.cachedPage({"u", "e", 1}, 0, 100));
    }
    testing::TempFolder folder_;
};

TEST_F(BadStore, CorruptFileIsLeftAsItWas) {
    const std::string garbage(8192, 'x');
    testing::putFileBytes(path(), garbage);
    SqliteCheckStore store(path());
    expectUnusable(store, "文件已损坏");
    EXPECT_EQ(testing::fileBytes(path()), garbage);
}

TEST_F(BadStore, FileOfANewerVersionIsNotTouched) {
    {
        SqliteCheckStore store(path());
        ASSERT_TRUE(writeCheck(store, "旧文章"));
    }
    runSql(path(), "PRAGMA user_version = 99");
    SqliteCheckStore store(path());
    expectUnusable(store, "更新版本");
    runSql(path(), "PRAGMA user_version = " + std::to_string(kSchemaVersion));
    EXPECT_EQ(SqliteCheckStore(path()).listChecks().size(), 1u);
}

TEST_F(BadStore, NeverThroughALinkNorIntoAFolder) {
    const std::string target = folder_.nativePath("elsewhere.db");
    testing::putFileBytes(target, "");
    fs::create_symlink(target, path());
    {
        SqliteCheckStore store(path());
        expectUnusable(store, "链接");
    }
    EXPECT_EQ(fs::file_size(target), 0u);
    fs::remove(path());
    fs::create_directory(path());
    SqliteCheckStore store(path());
    expectUnusable(store, path());
}

TEST_F(BadStore, ReadOnlyFile) {
    {
        SqliteCheckStore store(path());
        ASSERT_TRUE(writeCheck(store, "旧文章"));
    }
    fs::permissions(path(), fs::perms(0444));
    EXPECT_TRUE(testing::runWithoutRoot([&] {
        SqliteCheckStore store(path());
        return store.problem().find("文件只读") != std::string::npos &&
               !store.beginCheck(startOf("文章"));
    }));
}

TEST_F(BadStore, LockedPastTheTimeoutWhileACheckRuns) {
    SqliteCheckStore store(path(), {100ms, 0});
    ASSERT_TRUE(writeCheck(store, "先前的文章"));
    std::optional<CheckId> id = store.beginCheck(startOf("文章"));
    ASSERT_TRUE(id);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(path().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(
        sqlite3_exec(other, "BEGIN EXCLUSIVE; DELETE FROM checks;", nullptr, nullptr, nullptr),
        SQLITE_OK);
    StoredRow row;
    row.number = 1;
    store.writeRow(*id, Engine::Baidu, row);
    EXPECT_NE(store.problem().find("锁定"), std::string::npos) << store.problem();
    store.endCheck(*id, storeTimeNow());  // does nothing more
    // A store opened while another holds the write lock says so at once.
    SqliteCheckStore late(path(), {100ms, 0});
    EXPECT_NE(late.problem().find("锁定"), std::string::npos) << late.problem();
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(SqliteCheckStore(path()).listChecks().size(), 2u);
}

TEST_F(BadStore, FullDiskKeepsWhatWasWritten) {
    const std::string article(4000, 'a');
    int written = 0;
    {
        SqliteCheckStore store(path(), {100ms, 40});
        while (written < 100 && writeCheck(store, article)) {
            ++written;
        }
        EXPECT_NE(store.problem().find("磁盘已满"), std::string::npos) << store.problem();
    }
    EXPECT_GT(written, 0);
    SqliteCheckStore store(path());
    ASSERT_EQ(store.problem(), "");
    // Every check whose writes all succeeded is there; the one that failed
    // part way may be there without its end.
    std::vector<CheckSummary> list = store.listChecks();
    int finished = 0;
    for (const CheckSummary& summary : list) {
        finished += summary.state == CheckState::Finished ? 1 : 0;
    }
    EXPECT_EQ(finished, written);
}

}  // namespace
}  // namespace oc::store
