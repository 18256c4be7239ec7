// `originality-cli history` against a store of real checks: the list, one
// check shown, deleted, and a store that cannot be used.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "store/sqlite_check_store.h"
#include "tests/cli/cli_program.h"

namespace oc {
namespace {

class CliHistory : public CliProgram {
  protected:
    std::string storePath() const { return (dir_ / "checks.db").string(); }
    RunResult history(const std::string& args) {
        return run("--store '" + storePath() + "' history " + args);
    }
    // A finished check of two Baidu rows and a 360 pass.
    CheckId storeCheck(const std::string& article) {
        store::SqliteCheckStore store(storePath());
        CheckStart start;
        start.startedAt = storeTimeNow();
        start.article = article;
        start.title = checkTitle(article);
        start.chars = 12;
        start.origin = "cli";
        const CheckId id = *store.beginCheck(start);
        for (Engine engine : {Engine::Baidu, Engine::So360}) {
            store.writePass(id, {engine, "running", "", "", "", "", 2});
            StoredRow row;
            row.number = 1;
            row.text = "第一段";
            row.status = SegmentStatus::Original;
            store.writeRow(id, engine, row);
            row.number = 2;
            row.text = "第二段";
            row.status = SegmentStatus::Unverified;
            row.reason = "屏蔽/验证码";
            store.writeRow(id, engine, row);
            store.writePass(id, {engine, "normal", "finished", "100%", "已核实 1/2", "", 2});
        }
        store.endCheck(id, storeTimeNow());
        return id;
    }
};

TEST_F(CliHistory, ListsShowsAndDeletesStoredChecks) {
    RunResult empty = history("");
    ASSERT_EQ(empty.status, 0) << empty.err;
    EXPECT_EQ(empty.out, "没有检测记录\n");
    const CheckId first = storeCheck("第一篇文章\n正文");
    const CheckId second = storeCheck("第二篇文章\n正文");

    RunResult list = history("--json");
    ASSERT_EQ(list.status, 0) << list.err;
    const nlohmann::json doc = nlohmann::json::parse(list.out);
    ASSERT_EQ(doc.size(), 2u);
    EXPECT_EQ(doc[0]["id"], second);
    EXPECT_EQ(doc[0]["title"], "第二篇文章");
    EXPECT_EQ(doc[0]["state"], "finished");
    EXPECT_EQ(doc[0]["passes"][1]["engine"], "360");
    EXPECT_EQ(doc[0]["passes"][1]["coverage"], "已核实 1/2");
    EXPECT_EQ(doc[1]["id"], first);

    RunResult table = history("");
    ASSERT_EQ(table.status, 0);
    EXPECT_NE(table.out.find("第一篇文章"), std::string::npos) << table.out;
    EXPECT_NE(table.out.find("百度 100% (已核实 1/2)"), std::string::npos) << table.out;

    RunResult shown = history("show " + std::to_string(first));
    ASSERT_EQ(shown.status, 0) << shown.err;
    EXPECT_NE(shown.out.find("未核实(屏蔽/验证码)"), std::string::npos) << shown.out;

    EXPECT_EQ(history("delete " + std::to_string(first)).status, 0);
    RunResult again = history("delete " + std::to_string(first));
    EXPECT_EQ(again.status, 2);
    EXPECT_NE(again.err.find("无法删除编号为"), std::string::npos);
    EXPECT_EQ(history("show " + std::to_string(first)).status, 2);
    EXPECT_EQ(nlohmann::json::parse(history("--json").out).size(), 1u);
    // A file named history is an article when named as a path.
    write("history", "");
    EXPECT_EQ(run("--store '" + storePath() + "' '" + (dir_ / "history").string() + "'").status, 3);
}

// An article's first line is its title in the list: its control characters
// are shown, never acted on.
TEST_F(CliHistory, ATitleReachesTheListAsVisibleEscapes) {
    storeCheck("标题\x1B]0;pwned\x07\x1B[2K\n正文");
    RunResult table = history("");
    ASSERT_EQ(table.status, 0) << table.err;
    EXPECT_EQ(table.out.find('\x1B'), std::string::npos) << table.out;
    EXPECT_NE(table.out.find("标题\\x1B]0;pwned\\x07\\x1B[2K"), std::string::npos) << table.out;
}

TEST_F(CliHistory, AStoreThatCannotBeUsedIsSaid) {
    write("checks.db", std::string(4096, 'x'));
    RunResult list = history("");
    EXPECT_EQ(list.status, 2);
    EXPECT_NE(list.err.find("检测记录不可用：文件已损坏"), std::string::npos) << list.err;
    // A check still runs, without the store, and says so once.
    const fs::path article = write("article.txt", kArticle);
    RunResult check =
        run("--store '" + storePath() + "' --json --quiet '" + article.string() + "'");
    EXPECT_EQ(check.status, 0) << check.err;
    EXPECT_EQ(check.err, "originality-cli: 检测记录不可用：文件已损坏：" + storePath() + "\n");
    EXPECT_EQ(run("--no-store history").status, 2);
}

}  // namespace
}  // namespace oc
