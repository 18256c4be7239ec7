// The local engine over real files in temporary folders.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "check/check_pass.h"
#include "check/check_run.h"
#include "check/grid_model.h"
#include "check/memory_window.h"
#include "corpus/archive_library.h"
#include "settings/settings.h"
#include "tests/support/file_fixtures.h"
#include "tests/support/gbk.h"
#include "tests/support/scripted_platform.h"

namespace oc {
namespace {

using testing::G;
using testing::U;

// Twenty characters each: one segment each with 段落字数 20.
const std::string kUtf8 = "春风又绿江南岸明月何时照我还京口瓜洲一水";
const std::string kBom = "白发三千丈缘愁似个长不知明镜里何处得秋霜";
const std::string kGbk = "青山遮不住毕竟东流去江晚正愁余山深闻鹧鸪";
const std::string kHtml = "大漠孤烟直长河落日圆萧关逢候骑都护在燕然";
const std::string kScript = "脚本里的句子读者看不见所以不能算作抄袭来";
const std::string kHidden = "隐藏文件里的句子不该被当作用户的文档来比";
const std::string kLink = "链接指向的文件在文件夹外面不应该被跟随读";
const std::string kBinary = "二进制文件里的文字不当作文本所以也不会命";
const std::string kDigits = "据统计2023年全国GDP总量增长了百分之五点二比去年";
const std::string kFullWidth = "２０２３年上海ＧＤＰ总量位居全国城市第一";
const std::string kOriginal = "这一段完全是新写的没有任何文档里出现过它";

class LocalPass : public ::testing::Test {
  protected:
    void SetUp() override {
        env_.window = &window_;
        env_.platform = &platform_;
        env_.settingsPath = G(settings_.nativePath("配置.ini"));
        env_.mode = CheckMode::Classic;
        ASSERT_TRUE(saveParameterTexts(env_.settingsPath, {G("20"), G("12"), G("5")}));
        env_.localFolder = docs_.native();
        env_.library = std::make_shared<corpus::ArchiveLibrary>(index_.native());
    }
    std::string path(const std::string& name) const { return docs_.nativePath(name); }
    void write(const std::string& name, const std::string& bytes) const {
        std::filesystem::create_directories(std::filesystem::path(path(name)).parent_path());
        testing::putFileBytes(path(name), bytes);
    }
    void setArticle(const std::string& utf8) {
        window_.setEditContent(component::kArticleBox, G(utf8));
    }
    struct Row {
        std::string status;
        std::string hits;
        std::string source;
        std::string sourceTip;
        std::string url;
    };
    Row row(int number) const {
        GridModel grid = window_.grid(component::kLocalGrid);
        const GridCell* source = grid.cell(number, kSourceColumn);
        return {U(grid.cellText(number, kStatusColumn)), U(grid.cellText(number, 2)),
                U(grid.cellText(number, kSourceColumn)), source ? U(source->tip) : "",
                U(grid.cellText(number, kUrlColumn))};
    }
    int rows() const { return window_.grid(component::kLocalGrid).rowCount() - 1; }
    std::string caption(std::string_view label) const { return U(window_.caption(label)); }

    testing::TempFolder docs_;
    testing::TempFolder settings_;
    testing::TempFolder elsewhere_;
    testing::TempFolder index_;
    MemoryWindow window_;
    testing::ScriptedPlatform platform_;
    PassEnvironment env_;
};

TEST_F(LocalPass, EachKindOfDocumentGivesItsCopiedSegmentAndWhatIsSkippedGivesNothing) {
    write("utf8.txt", "春天\n前言。" + kUtf8 + "。后记\n");
    write("notes/bom.md", "\xEF\xBB\xBF# 秋霜\n" + kBom);
    write("gbk.txt", G("山行\r\n" + kGbk));
    write("sub/page.html",
          "<html><head><title>塞上</title><style>p{color:red}</style>"
          "<script>var s='" +
              kScript +
              "';</script></head>"
              "<body><p>" +
              kHtml + "</p></body></html>");
    write(".hidden.txt", kHidden);
    testing::putFileBytes(elsewhere_.nativePath("outside.txt"), kLink);
    std::filesystem::create_symlink(elsewhere_.nativePath("outside.txt"), path("link.txt"));
    write("binary.txt", std::string("\0", 1) + kBinary);
    write("numbers.txt", "统计\n据统计 2023 年全国 GDP 总量增长了百分之五点二比去年同期略高");
    write("rank.txt", "排名\n2023年上海GDP总量位居全国城市第一位");
    setArticle(kUtf8 + kBom + kGbk + kHtml + kScript + kHidden + kLink + kBinary + kDigits +
               kFullWidth + kOriginal);

    PassOutcome outcome;
    ASSERT_EQ(runEnginePass(Engine::Local, env_, outcome), PassEnd::Normal);
    ASSERT_EQ(rows(), 11);
    struct Expected {
        int row;
        const char* source;
        const char* file;
    };
    for (const Expected& hit :
         {Expected{1, "春天", "utf8.txt"}, Expected{2, "# 秋霜", "notes/bom.md"},
          Expected{3, "山行", "gbk.txt"}, Expected{4, "塞上", "sub/page.html"},
          Expected{9, "统计", "numbers.txt"}, Expected{10, "排名", "rank.txt"}}) {
        Row seen = row(hit.row);
        EXPECT_EQ(seen.status, "命中") << hit.row;
        EXPECT_EQ(seen.hits, "1") << hit.row;
        EXPECT_EQ(seen.source, hit.source) << hit.row;
        EXPECT_EQ(seen.sourceTip, path(hit.file)) << hit.row;
        EXPECT_EQ(seen.url, "") << hit.row;  // "搜索" stays empty
    }
    // Script text, a hidden file, a link's target, a binary file and new text.
    for (int original : {5, 6, 7, 8, 11}) {
        EXPECT_EQ(row(original).status, "原创") << original;
        EXPECT_EQ(row(original).hits, "0") << original;
        EXPECT_EQ(row(original).source, "") << original;
    }
    EXPECT_EQ(caption(component::kLocalValueLabel), "45.45%");
    EXPECT_EQ(caption(component::kLocalCoverageLabel), "已核实 11/11");
    EXPECT_FALSE(caption(component::kLocalVerdictLabel).empty());
    // The web engines' components are untouched.
    EXPECT_EQ(window_.grid(component::kBaiduGrid).rowCount(), 1);
    EXPECT_EQ(caption(component::kBaiduValueLabel), "");

    std::vector<std::string> skipped;
    for (const corpus::SkippedFile& file : env_.library->skipped()) {
        skipped.push_back(file.path.substr(docs_.native().size() + 1) + ": " + U(file.reason));
    }
    EXPECT_EQ(skipped,
              (std::vector<std::string>{"binary.txt: 不是文本文件", "link.txt: 符号链接，未跟随"}));
}

TEST_F(LocalPass, AFolderWithoutDocumentsSaysSoAndWritesNoRow) {
    setArticle(kOriginal);
    struct Case {
        std::string folder;
        std::string message;
    };
    std::filesystem::create_directories(path("empty"));
    write("empty/.hidden.txt", kOriginal);
    write("file.txt", kOriginal);
    for (const Case& c : {Case{path("missing"), "本地文档目录不存在：" + path("missing")},
                          Case{path("empty"), "本地文档目录中没有可用的文档：" + path("empty")},
                          Case{path("file.txt"), "本地文档目录不是文件夹：" + path("file.txt")}}) {
        env_.localFolder = c.folder;
        PassOutcome outcome;
        EXPECT_EQ(runEnginePass(Engine::Local, env_, outcome), PassEnd::NoDocuments);
        ASSERT_FALSE(platform_.messages().empty());
        EXPECT_EQ(U(platform_.messages().back().message), c.message);
        EXPECT_EQ(rows(), 0);
        EXPECT_EQ(caption(component::kLocalValueLabel), "");
        EXPECT_FALSE(window_.buttonDisabled(component::kCheckButton));
    }
    // No folder given anywhere.
    env_.localFolder.clear();
    PassOutcome outcome;
    EXPECT_EQ(runEnginePass(Engine::Local, env_, outcome), PassEnd::NoDocuments);
    EXPECT_EQ(U(platform_.messages().back().message), "没有设置本地文档目录");
}

// The window learns of the files left out after every indexing, even when
// they leave no document to check against; a stopped indexing tells nothing.
TEST_F(LocalPass, TheSkippedFilesAreToldAfterEachIndexing) {
    std::vector<std::vector<std::string>> told;
    env_.skippedFiles = [&](const std::vector<corpus::SkippedFile>& files) {
        std::vector<std::string> names;
        for (const corpus::SkippedFile& file : files) {
            names.push_back(file.path.substr(docs_.native().size() + 1) + ": " + U(file.reason));
        }
        told.push_back(names);
    };
    write("binary.txt", std::string("abc\0def", 7));
    setArticle(kUtf8);
    PassOutcome outcome;
    EXPECT_EQ(runEnginePass(Engine::Local, env_, outcome), PassEnd::NoDocuments);
    write("a.txt", "甲\n" + kUtf8);
    EXPECT_EQ(runEnginePass(Engine::Local, env_, outcome), PassEnd::Normal);
    const std::vector<std::string> binary{"binary.txt: 不是文本文件"};
    EXPECT_EQ(told, (std::vector<std::vector<std::string>>{binary, binary}));

    std::atomic<bool> stop{true};
    env_.stop = &stop;
    EXPECT_EQ(runEnginePass(Engine::Local, env_, outcome), PassEnd::Cancelled);
    EXPECT_EQ(told.size(), 2u);
}

TEST_F(LocalPass, TheFolderOfTheSettingsFileMayHoldCharactersGbkLacks) {
    const std::string folder = docs_.nativePath("文档 😀 Ω");
    std::filesystem::create_directories(folder);
    testing::putFileBytes(folder + "/a.txt", "标题\n" + kUtf8);
    ASSERT_TRUE(saveLocalFolder(env_.settingsPath, folder));
    EXPECT_EQ(loadLocalFolder(env_.settingsPath), folder);
    env_.localFolder.clear();
    setArticle(kUtf8);
    PassOutcome outcome;
    ASSERT_EQ(runEnginePass(Engine::Local, env_, outcome), PassEnd::Normal);
    EXPECT_EQ(row(1).status, "命中");
    EXPECT_EQ(row(1).sourceTip, folder + "/a.txt");
}

TEST_F(LocalPass, ARunKeepsTheDocumentsAndSeesAFileChangedBetweenTwoChecks) {
    write("a.txt", "甲\n" + kUtf8);
    write("b.txt", "乙\n" + kGbk);
    setArticle(kUtf8 + kGbk);
    window_.setTicked(component::kBaiduCheckBox, false);
    window_.setTicked(component::k360CheckBox, false);
    window_.setTicked(component::kLocalCheckBox, true);
    CheckRun run(env_);
    ASSERT_TRUE(run.start());
    run.wait();
    ASSERT_EQ(run.lastRun().size(), 1u);
    EXPECT_EQ(run.lastRun()[0].engine, Engine::Local);
    EXPECT_EQ(row(1).status, "命中");
    EXPECT_EQ(row(2).status, "命中");

    write("b.txt", "乙\n改写以后的内容已经完全不同");
    ASSERT_TRUE(run.start());
    run.wait();
    EXPECT_EQ(row(1).status, "命中");
    EXPECT_EQ(row(2).status, "原创");
    EXPECT_EQ(caption(component::kLocalValueLabel), "50%");
    EXPECT_FALSE(run.hasUnverified());
}

}  // namespace
}  // namespace oc
