#include "corpus/document_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "corpus/local_keys.h"
#include "corpus/memory_library.h"
#include "tests/support/file_fixtures.h"
#include "tests/support/gbk.h"

namespace oc::corpus {
namespace {

using oc::testing::G;
using oc::testing::putFileBytes;
using oc::testing::U;

class DocumentFolder : public ::testing::Test {
  protected:
    std::string path(const std::string& name) const { return folder_.nativePath(name); }
    void write(const std::string& name, const std::string& bytes) const {
        std::filesystem::create_directories(std::filesystem::path(path(name)).parent_path());
        putFileBytes(path(name), bytes);
    }
    std::string reasonOf(const MemoryLibrary& library, const std::string& name) const {
        for (const SkippedFile& file : library.skipped()) {
            if (file.path == path(name)) {
                return U(file.reason);
            }
        }
        return "(not skipped)";
    }
    const LocalDocument* documentAt(const MemoryLibrary& library, const std::string& name) const {
        for (const LocalDocument& document : library.documents()) {
            if (document.path == path(name)) {
                return &document;
            }
        }
        return nullptr;
    }

    oc::testing::TempFolder folder_;
};

TEST_F(DocumentFolder, ReadsEveryKindOfDocumentAndListsWhatItSkipsWithTheReason) {
    write("utf8.txt", "\n  春天的茶  \n正文第一段。\n");
    write("bom.md", "\xEF\xBB\xBF标题带BOM\n正文");
    write("gbk.txt", G("国标编码的标题\r\n国标编码的正文"));
    write("sub/deeper/page.HTML",
          "<html><head><title> 网页 标题 </title><style>.x{color:red}</style></head>"
          "<body><script>var hidden = '脚本里的字';</script><p>看得见的字</p></body></html>");
    write("sub/untitled.htm", "<p>　</p><p>第一行正文</p>");
    write("binary.txt", std::string("文本\0后面是二进制", sizeof "文本\0后面是二进制" - 1));
    write("empty.txt", "  \n\r\n");
    write(".hidden.txt", "隐藏文件");
    write(".hidden-folder/inside.txt", "隐藏文件夹里的");
    write("picture.png", "不是文档");
    std::filesystem::create_symlink(path("utf8.txt"), path("link.txt"));
    ASSERT_EQ(::mkfifo(path("pipe.txt").c_str(), 0644), 0);
    // A sparse file above the limit costs no disk space.
    ASSERT_EQ(::truncate((write("huge.txt", "x"), path("huge.txt")).c_str(),
                         static_cast<off_t>(kMaxDocumentBytes + 1)),
              0);

    MemoryLibrary library;
    LibraryUpdate update = library.update(folder_.native());
    EXPECT_EQ(update.problem, FolderProblem::None);

    ASSERT_EQ(library.documents().size(), 5u);
    EXPECT_EQ(documentAt(library, "utf8.txt")->title, "春天的茶");
    EXPECT_EQ(documentAt(library, "bom.md")->title, "标题带BOM");
    EXPECT_EQ(documentAt(library, "gbk.txt")->title, "国标编码的标题");
    EXPECT_EQ(documentAt(library, "gbk.txt")->keys, U"国标编码的标题国标编码的正文");
    const LocalDocument* page = documentAt(library, "sub/deeper/page.HTML");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->title, "网页 标题");
    EXPECT_EQ(page->keys, U"看得见的字");  // no script, no style, no title
    EXPECT_EQ(documentAt(library, "sub/untitled.htm")->title, "第一行正文");

    EXPECT_EQ(reasonOf(library, "binary.txt"), "不是文本文件");
    EXPECT_EQ(reasonOf(library, "empty.txt"), "没有文字");
    EXPECT_EQ(reasonOf(library, "link.txt"), "符号链接，未跟随");
    EXPECT_EQ(reasonOf(library, "pipe.txt"), "不是普通文件");
    EXPECT_EQ(reasonOf(library, "huge.txt"), "文件超过 20 MB");
    EXPECT_EQ(library.skipped().size(), 5u);  // hidden files and other kinds are not listed
}

TEST_F(DocumentFolder, WordDocumentsAndPdfFilesAreReadAsArticlesAre) {
    const std::string fixtures = OC_SOURCE_DIR "/tests/data/documents/";
    for (const char* name : {"article.docx", "article.pdf", "damaged.docx", "expands.docx"}) {
        write(std::string("docs/") + name, oc::testing::fileBytes(fixtures + name));
    }
    MemoryLibrary library;
    EXPECT_EQ(library.update(folder_.native()).problem, FolderProblem::None);
    ASSERT_EQ(library.documents().size(), 2u);
    const LocalDocument* word = documentAt(library, "docs/article.docx");
    ASSERT_NE(word, nullptr);
    EXPECT_EQ(word->title, "慢一点，再慢一点");
    EXPECT_NE(word->keys.find(U"搬到这座城市的第七年"), std::u32string::npos);
    const LocalDocument* pdf = documentAt(library, "docs/article.pdf");
    ASSERT_NE(pdf, nullptr);
    EXPECT_NE(pdf->keys.find(U"卖豆腐的摊子冒着热气"), std::u32string::npos);
    EXPECT_EQ(reasonOf(library, "docs/damaged.docx"), "文件已损坏，无法读出文字");
    EXPECT_EQ(reasonOf(library, "docs/expands.docx"), "Word 文档解压后超过 64 MB");
}

TEST_F(DocumentFolder, AFileThatCannotBeReadIsSkippedNotFatal) {
    write("readable.txt", "能读的文件\n正文");
    write("locked.txt", "锁住的文件");
    ::chmod(folder_.native().c_str(), 0755);
    ::chmod(path("locked.txt").c_str(), 0);
    EXPECT_TRUE(oc::testing::runWithoutRoot([&] {
        MemoryLibrary library;
        library.update(folder_.native());
        return library.documents().size() == 1 && reasonOf(library, "locked.txt") == "无法读取";
    }));
}

TEST_F(DocumentFolder, AFolderThatCannotBeUsedIsNamedAsSuch) {
    write("file.txt", "文件");
    MemoryLibrary library;
    EXPECT_EQ(library.update(path("missing")).problem, FolderProblem::Missing);
    EXPECT_EQ(library.update(path("file.txt")).problem, FolderProblem::NotAFolder);
    EXPECT_EQ(library.update("").problem, FolderProblem::NotGiven);
    EXPECT_TRUE(library.documents().empty());
}

TEST_F(DocumentFolder, OnlyChangedFilesAreReadAgainAndTheIndexFollows) {
    write("a.txt", "甲\n春眠不觉晓处处闻啼鸟");
    write("b.txt", "乙\n床前明月光疑是地上霜");
    write("c.txt", "丙\n白日依山尽黄河入海流");
    MemoryLibrary library;
    LibraryUpdate first = library.update(folder_.native());
    EXPECT_EQ(first.filesRead, 3u);
    EXPECT_EQ(library.match(localKeys(G("疑是地上霜")), 3).path, path("b.txt"));

    write("b.txt", "乙\n改过的内容完全不同了");  // a different size
    std::filesystem::remove(path("c.txt"));
    LibraryUpdate second = library.update(folder_.native());
    EXPECT_EQ(second.filesRead, 1u);
    EXPECT_EQ(second.filesReused, 1u);
    ASSERT_EQ(library.documents().size(), 2u);
    EXPECT_FALSE(library.match(localKeys(G("疑是地上霜")), 3).found());
    LocalMatch changed = library.match(localKeys(G("改过的内容")), 3);
    EXPECT_EQ(changed.path, path("b.txt"));
    EXPECT_EQ(changed.title, "乙");
    EXPECT_EQ(changed.longestRun, 5);
    EXPECT_EQ(changed.hits, 1);
    EXPECT_EQ(library.match(localKeys(G("春眠不觉晓")), 3).path, path("a.txt"));

    // Same size, new modification time: read again too.
    write("a.txt", "甲\n春眠不觉晓处处闻啼雀");
    std::filesystem::last_write_time(
        path("a.txt"), std::filesystem::file_time_type::clock::now() + std::chrono::seconds(5));
    EXPECT_EQ(library.update(folder_.native()).filesRead, 1u);
    EXPECT_EQ(library.match(localKeys(G("处处闻啼雀")), 5).hits, 1);
}

TEST_F(DocumentFolder, AFileSwappedAfterTheListingIsNotRead) {
    write("private/secret.txt", "别人的私密文件第一行\n");
    write("docs/a.txt", "甲\n春眠不觉晓处处闻啼鸟");
    write("docs/b.txt", "乙\n床前明月光疑是地上霜");
    write("other.txt", "换进来的文件\n白日依山尽");
    FolderListing listing = listDocumentFiles(path("docs"));
    ASSERT_EQ(listing.files.size(), 2u);
    // a.txt becomes a link to a private file, b.txt another file.
    std::filesystem::remove(path("docs/a.txt"));
    std::filesystem::create_symlink(path("private/secret.txt"), path("docs/a.txt"));
    std::filesystem::rename(path("other.txt"), path("docs/b.txt"));
    for (const FolderEntry& entry : listing.files) {
        DocumentRead read = readDocument(entry);
        EXPECT_FALSE(read.document.has_value()) << entry.path;
        EXPECT_EQ(U(read.reason), "文件已被替换") << entry.path;
    }
    // Listed again, the link is skipped and the new file read.
    MemoryLibrary library;
    library.update(path("docs"));
    EXPECT_EQ(reasonOf(library, "docs/a.txt"), "符号链接，未跟随");
    ASSERT_NE(documentAt(library, "docs/b.txt"), nullptr);
    EXPECT_EQ(documentAt(library, "docs/b.txt")->title, "换进来的文件");
}

TEST_F(DocumentFolder, ADocumentUpToTwentyMillionBytesIsReadWhole) {
    // 17 MB: above the 16 MiB of an article, within the 20 MB of a document.
    const std::string passage = "这是一段从别处抄来的文字，藏在很长的文件最后";
    write("long.txt", std::string(17'000'000, 'x') + "\n" + passage);
    MemoryLibrary library;
    library.update(folder_.native());
    ASSERT_EQ(library.documents().size(), 1u) << reasonOf(library, "long.txt");
    EXPECT_EQ(library.match(localKeys(G("从别处抄来的文字")), 5).hits, 1);
    // One byte over 20,000,000 is over the limit, at listing and at reading.
    EXPECT_EQ(kMaxDocumentBytes, 20'000'000u);
    write("over.txt", std::string(kMaxDocumentBytes + 1, 'y'));
    FolderEntry over{path("over.txt"), kMaxDocumentBytes};  // as if it grew after the listing
    struct stat info {};
    ASSERT_EQ(::stat(over.path.c_str(), &info), 0);
    over.device = info.st_dev;
    over.inode = info.st_ino;
    EXPECT_EQ(U(readDocument(over).reason), "文件超过 20 MB");
}

TEST_F(DocumentFolder, WideTextsAreDecodedByTheirByteOrderMark) {
    auto utf16le = [](const std::u16string& text) {
        std::string bytes = "\xFF\xFE";
        for (char16_t unit : text) {
            bytes += static_cast<char>(unit & 0xFF);
            bytes += static_cast<char>(unit >> 8);
        }
        return bytes;
    };
    auto utf32be = [](const std::u32string& text) {
        std::string bytes("\0\0\xFE\xFF", 4);
        for (char32_t c : text) {
            for (int shift : {24, 16, 8, 0}) {
                bytes += static_cast<char>((c >> shift) & 0xFF);
            }
        }
        return bytes;
    };
    write("wide16.txt", utf16le(u"宽字符的标题\n宽字符的正文"));
    write("wide32.txt", utf32be(U"四字节的标题\n四字节的正文"));
    MemoryLibrary library;
    library.update(folder_.native());
    ASSERT_NE(documentAt(library, "wide16.txt"), nullptr) << reasonOf(library, "wide16.txt");
    EXPECT_EQ(documentAt(library, "wide16.txt")->title, "宽字符的标题");
    EXPECT_EQ(documentAt(library, "wide16.txt")->keys, U"宽字符的标题宽字符的正文");
    ASSERT_NE(documentAt(library, "wide32.txt"), nullptr) << reasonOf(library, "wide32.txt");
    EXPECT_EQ(documentAt(library, "wide32.txt")->keys, U"四字节的标题四字节的正文");
}

TEST_F(DocumentFolder, APathTooLongIsNamedAsSuch) {
    std::string longPath = folder_.native();
    while (longPath.size() <= 4096) {
        longPath += "/" + std::string(200, 'd');
    }
    EXPECT_EQ(listDocumentFiles(longPath).problem, FolderProblem::PathTooLong);
}

TEST_F(DocumentFolder, AStoppedUpdateLeavesNothingHalfDone) {
    write("a.txt", "甲\n正文");
    write("b.txt", "乙\n正文");
    MemoryLibrary library;
    library.update(folder_.native());
    LibraryUpdate stopped = library.update(folder_.native(), {}, [] { return true; });
    EXPECT_TRUE(stopped.stopped);
    EXPECT_TRUE(library.documents().empty());
    EXPECT_EQ(library.update(folder_.native()).filesRead, 2u);
}

TEST(LocalKeys, DigitsLatinWhiteSpaceAndFullWidthFormsDropOutOnBothSides) {
    // The article's full-width "２０２３年ＧＤＰ" and a document's "2023年GDP" compare alike.
    EXPECT_EQ(documentKeys(G("2023年GDP增长 5%，\r\n很快。")), U"年增长很快。");
    EXPECT_EQ(localKeys(G("２０２３年ＧＤＰ增长５％，很快。")), U"年增长很快。");
    EXPECT_EQ(localKeys(G("第一段　第二段")), U"第一段第二段");
}

}  // namespace
}  // namespace oc::corpus
