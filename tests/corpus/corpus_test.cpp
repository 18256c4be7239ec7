#include "corpus/corpus.h"

#include <gtest/gtest.h>

#include <fstream>

namespace oc::corpus {
namespace {

TEST(ParseDocument, FirstLineIsTitleAndTheRestIsBody) {
    Document d =
        parseDocument("a.txt", "\xEF\xBB\xBF\r\n  春茶开采 \r\n第一段。\r\n\r\n第二段。\r\n");
    EXPECT_EQ(d.fileName, "a.txt");
    EXPECT_EQ(d.title, U"春茶开采");
    EXPECT_EQ(d.body, U"第一段。第二段。");
    EXPECT_EQ(parseDocument("e.txt", "T\nword\nnext\r\n\r\n中文\n接着").body,
              U"word next 中文接着");

    Document titleOnly = parseDocument("b.txt", "只有标题");
    EXPECT_EQ(titleOnly.title, U"只有标题");
    EXPECT_TRUE(titleOnly.body.empty());
    EXPECT_TRUE(parseDocument("c.txt", " \n\n").title.empty());
}

class CorpusFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ =
            std::filesystem::temp_directory_path() /
            ("oc-corpus-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    void write(const std::string& name, const std::string& bytes) {
        std::ofstream(folder_ / name, std::ios::binary) << bytes;
    }
    std::filesystem::path folder_;
};

TEST_F(CorpusFolder, LoadsUtf8TextFilesInNameOrderAndSkipsTheRest) {
    write("b.txt", "乙\n正文乙");
    write("a.txt", "甲\n正文甲");
    write("gbk.txt", "\xD4\xAD\xB4\xB4\n");  // GBK, not UTF-8
    write("empty.txt", "");
    write("notes.md", "不是文档");
    std::filesystem::create_directories(folder_ / "sub.txt");
    Corpus corpus = loadCorpus(folder_);
    EXPECT_TRUE(corpus.error.empty());
    ASSERT_EQ(corpus.documents.size(), 2u);
    EXPECT_EQ(corpus.documents[0].fileName, "a.txt");
    EXPECT_EQ(corpus.documents[1].body, U"正文乙");
    EXPECT_EQ(corpus.skipped, (std::vector<SkippedDocument>{{"empty.txt", "no text"},
                                                            {"gbk.txt", "not UTF-8 text"}}));
}

TEST_F(CorpusFolder, LinksAreNotFollowedAndDocumentsOverTwentyMegabytesAreSkipped) {
    const std::filesystem::path outside =
        folder_.parent_path() / (folder_.filename().string() + "-outside");
    std::filesystem::create_directories(outside);
    std::ofstream(outside / "passwd", std::ios::binary) << "root:x:0:0:root:/root:/bin/bash\n";
    write("a.txt", "甲\n正文甲");
    std::filesystem::create_symlink(outside / "passwd", folder_ / "passwd.txt");
    // Sparse: a file far above the limit costs no disk and is never read.
    write("huge.txt", "x");
    std::filesystem::resize_file(folder_ / "huge.txt", 2ull << 30);
    write("limit.txt", "乙\n" + std::string(kMaxCorpusFileBytes - 4, 'y'));
    Corpus corpus = loadCorpus(folder_);
    std::filesystem::remove_all(outside);
    ASSERT_EQ(corpus.documents.size(), 2u);
    EXPECT_EQ(corpus.documents[1].fileName, "limit.txt");
    EXPECT_EQ(corpus.skipped,
              (std::vector<SkippedDocument>{{"huge.txt", "larger than 20 MB"},
                                            {"passwd.txt", "a symbolic link, not followed"}}));
}

TEST_F(CorpusFolder, MissingFolderIsAnError) {
    Corpus corpus = loadCorpus(folder_ / "missing");
    EXPECT_FALSE(corpus.error.empty());
    EXPECT_TRUE(corpus.documents.empty());
}

TEST(SampleCorpus, LoadsCleanlyWithAtLeastThirtyDocuments) {
    Corpus corpus = loadCorpus(std::filesystem::path(OC_SOURCE_DIR) / "data/corpus");
    EXPECT_TRUE(corpus.skipped.empty());
    EXPECT_GE(corpus.documents.size(), 30u);
}

}  // namespace
}  // namespace oc::corpus
