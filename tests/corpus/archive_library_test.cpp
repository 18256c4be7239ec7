// The archive index on real files: kept between runs, following the folder,
// rebuilt when damaged, safe against a killed update and a second program,
// and answering as the index in memory does.
#include "corpus/archive_library.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "corpus/local_keys.h"
#include "tests/support/file_fixtures.h"
#include "tests/support/gbk.h"

namespace oc::corpus {
namespace {

using oc::testing::G;
using oc::testing::putFileBytes;
using oc::testing::U;

namespace fs = std::filesystem;

class ArchiveIndex : public ::testing::Test {
  protected:
    std::string path(const std::string& name) const { return docs_.nativePath(name); }
    void write(const std::string& name, const std::string& bytes) const {
        fs::create_directories(fs::path(path(name)).parent_path());
        putFileBytes(path(name), bytes);
    }
    // A part holds documents of about this many characters: several parts even here.
    ArchiveLibrary library(std::size_t partChars = 20) const {
        return ArchiveLibrary(index_.native(), partChars);
    }
    std::string found(const DocumentLibrary& library, const std::string& segment) const {
        LocalMatch match = library.match(localKeys(G(segment)), 5);
        return match.hits > 0 ? fs::path(match.path).filename().string() : "(none)";
    }
    std::string indexFile(const std::string& name) const {
        return library().indexFolderOf(docs_.native()) + "/" + name;
    }
    void writePoems() const {
        write("a.txt", "甲\n春眠不觉晓处处闻啼鸟夜来风雨声");
        write("b.txt", "乙\n床前明月光疑是地上霜举头望明月");
        write("sub/c.md", "丙\n白日依山尽黄河入海流欲穷千里目");
    }

    oc::testing::TempFolder docs_;
    oc::testing::TempFolder index_;
};

TEST_F(ArchiveIndex, IsKeptBetweenRunsAndOpensWithoutReadingTheFolder) {
    writePoems();
    {
        ArchiveLibrary first = library();
        LibraryUpdate update = first.update(docs_.native());
        EXPECT_EQ(update.filesAdded, 3u);
        EXPECT_TRUE(update.notice.empty());
        EXPECT_GT(first.partCount(), 1u);
    }
    ArchiveLibrary second = library();
    ASSERT_TRUE(second.open(docs_.native()));
    EXPECT_EQ(second.documentCount(), 3u);
    LocalMatch match = second.match(localKeys(G("疑是地上霜")), 5);
    EXPECT_EQ(match.path, path("b.txt"));
    EXPECT_EQ(match.title, "乙");
    EXPECT_EQ(match.longestRun, 5);
    EXPECT_EQ(match.hits, 1);
    LibraryUpdate again = second.update(docs_.native());
    EXPECT_EQ(again.filesReused, 3u);
    EXPECT_EQ(again.filesRead, 0u);
    EXPECT_EQ(found(second, "欲穷千里目"), "c.md");
    EXPECT_FALSE(library().open(path("sub")));  // never indexed

    // The same folder given another way: the same index, the paths as given now.
    const std::string link = index_.nativePath("link");
    fs::create_directory_symlink(docs_.native(), link);
    ArchiveLibrary third = library();
    EXPECT_EQ(third.update(link + "/").filesRead, 0u);
    EXPECT_EQ(third.match(localKeys(G("疑是地上霜")), 5).path, link + "/b.txt");
}

TEST_F(ArchiveIndex, FollowsChangedDeletedAndNewFiles) {
    writePoems();
    write("notes.txt", std::string("\0\1", 2));
    ArchiveLibrary archive = library();
    archive.update(docs_.native());
    ASSERT_EQ(archive.skipped().size(), 1u);

    write("b.txt", "乙\n改过的内容完全不同了");
    fs::remove(path("sub/c.md"));
    write("d.txt", "丁\n两个黄鹂鸣翠柳一行白鹭上青天");
    // Same size and time, another file at the name: read again too.
    const auto time = fs::last_write_time(path("a.txt"));
    write("a.new", "甲\n春眠不觉晓处处闻啼雀夜来风雨声");
    fs::last_write_time(path("a.new"), time);
    fs::rename(path("a.new"), path("a.txt"));

    LibraryUpdate update = archive.update(docs_.native());
    EXPECT_EQ(update.filesAdded, 1u);
    EXPECT_EQ(update.filesChanged, 2u);
    EXPECT_EQ(update.filesRemoved, 1u);
    EXPECT_EQ(update.filesReused, 1u);
    EXPECT_EQ(archive.documentCount(), 3u);
    EXPECT_EQ(archive.skipped().size(), 1u);
    EXPECT_EQ(found(archive, "疑是地上霜"), "(none)");
    EXPECT_EQ(found(archive, "欲穷千里目"), "(none)");
    EXPECT_EQ(found(archive, "改过的内容"), "b.txt");
    EXPECT_EQ(found(archive, "处处闻啼雀"), "a.txt");
    EXPECT_EQ(found(archive, "白鹭上青天"), "d.txt");

    ArchiveLibrary reopened = library();
    ASSERT_TRUE(reopened.open(docs_.native()));
    EXPECT_EQ(found(reopened, "白鹭上青天"), "d.txt");
    EXPECT_EQ(found(reopened, "欲穷千里目"), "(none)");

    // A file gone from between others, nothing else changed: it leaves the index too.
    fs::remove(path("b.txt"));
    EXPECT_EQ(archive.update(docs_.native()).filesRemoved, 1u);
    EXPECT_EQ(archive.documentCount(), 2u);
    EXPECT_EQ(found(archive, "改过的内容"), "(none)");
    ArchiveLibrary afterRemoval = library();
    ASSERT_TRUE(afterRemoval.open(docs_.native()));
    EXPECT_EQ(afterRemoval.documentCount(), 2u);
    EXPECT_EQ(found(afterRemoval, "白鹭上青天"), "d.txt");
}

TEST_F(ArchiveIndex, ADamagedIndexOrOneOfANewerVersionIsRebuiltWithANotice) {
    writePoems();
    library().update(docs_.native());
    // A part cut short.
    fs::resize_file(indexFile("part-0"), 20);
    ArchiveLibrary afterDamage = library();
    EXPECT_FALSE(afterDamage.open(docs_.native()));
    LibraryUpdate rebuilt = afterDamage.update(docs_.native());
    EXPECT_NE(U(rebuilt.notice).find("本地索引已损坏，已重新建立"), std::string::npos);
    EXPECT_EQ(rebuilt.filesRead, 3u);
    EXPECT_EQ(found(afterDamage, "疑是地上霜"), "b.txt");

    // A newer program's manifest.
    putFileBytes(indexFile("manifest"), "originality-checker index\nversion 99\nsomething new\n");
    ArchiveLibrary afterNewer = library();
    LibraryUpdate again = afterNewer.update(docs_.native());
    EXPECT_NE(U(again.notice).find("较新版本"), std::string::npos);
    EXPECT_EQ(found(afterNewer, "黄河入海流"), "c.md");
    EXPECT_TRUE(afterNewer.update(docs_.native()).notice.empty());

    // Posting lists overwritten behind a sound header: never a crash, and rebuilt at the next
    // update.
    for (const auto& entry : fs::directory_iterator(fs::path(indexFile("")))) {
        if (entry.path().filename().string().starts_with("part-")) {
            std::fstream part(entry.path(), std::ios::in | std::ios::out | std::ios::binary);
            std::uint64_t tableOffset = 0;
            part.seekg(40);
            part.read(reinterpret_cast<char*>(&tableOffset), sizeof tableOffset);
            part.seekp(64);
            part << std::string(tableOffset - 64, '\xFF');
        }
    }
    ArchiveLibrary overwritten = library();
    ASSERT_TRUE(overwritten.open(docs_.native()));
    for (const char* segment : {"疑是地上霜", "黄河入海流", "春眠不觉晓"}) {
        overwritten.match(localKeys(G(segment)), 5);
    }
    EXPECT_NE(U(overwritten.update(docs_.native()).notice).find("已损坏"), std::string::npos);
    EXPECT_EQ(found(overwritten, "春眠不觉晓"), "a.txt");
}

TEST_F(ArchiveIndex, AnUpdateKilledMidwayLeavesTheLastIndexUsableAndTheNextOneFinishesIt) {
    const char* const counts[] = {"一", "二", "三", "四", "五", "六"};
    for (int i = 0; i < 6; ++i) {
        write("doc" + std::to_string(i) + ".txt",
              std::string("旧\n第") + counts[i] + "篇旧的文章内容");
    }
    write("kept.txt", "留\n这一篇从头到尾都没有改过");
    library().update(docs_.native());
    for (int i = 0; i < 6; ++i) {
        write("doc" + std::to_string(i) + ".txt",
              "新\n改写以后的第" + std::to_string(i) + "篇新文章");
    }
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Killed while reading the fifth file, after parts of the first ones were written.
        ArchiveLibrary(index_.native(), 1)
            .update(docs_.native(), [](std::size_t done, std::size_t) {
                if (done == 4) {
                    ::kill(::getpid(), SIGKILL);
                }
            });
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));

    ArchiveLibrary after = library();
    ASSERT_TRUE(after.open(docs_.native()));
    EXPECT_EQ(after.documentCount(), 7u);
    EXPECT_EQ(found(after, "从头到尾都没有改过"), "kept.txt");
    LibraryUpdate finished = after.update(docs_.native());
    EXPECT_TRUE(finished.notice.empty());
    EXPECT_GE(finished.filesReused, 4u);  // what the killed update had written is kept
    EXPECT_LE(finished.filesRead, 3u);
    MemoryLibrary reference;
    reference.update(docs_.native());
    for (int i = 0; i < 6; ++i) {
        std::string segment = "改写以后的第" + std::to_string(i) + "篇新文章";
        EXPECT_EQ(after.match(localKeys(G(segment)), 5), reference.match(localKeys(G(segment)), 5));
    }
    // Nothing but the files of the index is left behind.
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(indexFile(""))) {
        ++files;
    }
    EXPECT_EQ(files, 3u + after.partCount());  // manifest, lock, catalog and the parts
}

TEST_F(ArchiveIndex, TwoProgramsUpdatingTheSameIndexTakeTurns) {
    // Each document begins with a pair of its own.
    auto pair = [](int i) {
        static const char* const stems[] = {"甲", "乙", "丙", "丁", "戊",
                                            "己", "庚", "辛", "壬", "癸"};
        return std::string(stems[i / 10]) + stems[i % 10];
    };
    for (int i = 0; i < 20; ++i) {
        write("doc" + std::to_string(i) + ".txt", "题\n" + pair(i) + "这是只属于它的一句话");
    }
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ArchiveLibrary mine(index_.native(), 1);
        mine.update(docs_.native());
        const bool right =
            mine.documentCount() == 20 && found(mine, pair(7) + "这是只属于它") == "doc7.txt";
        ::_exit(right ? 0 : 1);
    }
    ArchiveLibrary mine(index_.native(), 1);
    LibraryUpdate update = mine.update(docs_.native());
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_TRUE(update.notice.empty());
    EXPECT_EQ(mine.documentCount(), 20u);
    EXPECT_EQ(found(mine, pair(13) + "这是只属于它"), "doc13.txt");
    ArchiveLibrary third = library();
    EXPECT_EQ(third.update(docs_.native()).filesRead, 0u);
}

TEST_F(ArchiveIndex, ManySmallUpdatesDoNotPileUpParts) {
    const std::u32string pool = U"天地玄黄宇宙洪荒日月盈昃辰宿列张寒来暑往秋收冬藏";
    ArchiveLibrary archive = library(400);
    for (std::size_t i = 0; i < 40; ++i) {
        const std::u32string unique{pool[i % pool.size()], pool[(i * 7 + 3) % pool.size()],
                                    pool[(i / pool.size() + 5) % pool.size()]};
        // Names built by appending: GCC 12 takes "n" + std::string for an
        // overlapping copy in a Release build (a false -Wrestrict).
        write(std::string("n").append(std::to_string(100 + i)).append(".txt"),
              "题\n每天新来一篇" + encodeUtf8(unique));
        archive.update(docs_.native());
        EXPECT_LE(archive.partCount(), 33u);
    }
    MemoryLibrary reference;
    reference.update(docs_.native());
    const std::u32string keys = localKeys(G("每天新来一篇天地玄"));
    EXPECT_EQ(archive.match(keys, 5), reference.match(keys, 5));
    EXPECT_EQ(archive.documentCount(), 40u);
}

TEST_F(ArchiveIndex, AnIndexFolderThatCannotBeWrittenLeavesTheDocumentsInMemory) {
    writePoems();
    putFileBytes(index_.nativePath("blocked"), "a file where the index folder would be");
    ArchiveLibrary archive(index_.nativePath("blocked"));
    LibraryUpdate update = archive.update(docs_.native());
    EXPECT_NE(U(update.notice).find("在内存中索引"), std::string::npos);
    EXPECT_EQ(found(archive, "床前明月光"), "b.txt");
    EXPECT_TRUE(archive.update(docs_.native()).notice.empty());  // said once
}

// Documents of a small pool of characters, so that runs of every length occur,
// with copies under other paths (ties broken by path) and documents changed
// and removed between updates (parts with gone documents).
TEST_F(ArchiveIndex, AnswersAsTheIndexInMemory) {
    std::mt19937 random(20261209);
    const std::u32string pool = U"天地玄黄宇宙洪荒日月盈昃辰宿列张寒来暑往秋收冬藏";
    auto text = [&](std::size_t length) {
        std::u32string s;
        for (std::size_t i = 0; i < length; ++i) {
            s += pool[random() % pool.size()];
        }
        return s;
    };
    auto utf8 = [](const std::u32string& s) { return encodeUtf8(s); };
    std::vector<std::u32string> bodies;
    for (int d = 0; d < 40; ++d) {
        bodies.push_back(text(60 + random() % 200));
        write(std::string("d").append(std::to_string(d % 7)).append("/").append(std::to_string(d)) +
                  ".txt",
              "标题\n" + utf8(bodies.back()));
    }
    ArchiveLibrary archive = library(800);
    archive.update(docs_.native());
    write("a/copy.txt", "副本\n" + utf8(bodies[5]));
    write("z/copy.txt", "副本\n" + utf8(bodies[6]));
    write("d3/3.txt", "改\n" + utf8(text(150)));
    fs::remove(path("d4/4.txt"));
    archive.update(docs_.native());
    ASSERT_GT(archive.partCount(), 2u);
    MemoryLibrary reference;
    reference.update(docs_.native());

    ArchiveLibrary reopened = library();
    ASSERT_TRUE(reopened.open(docs_.native()));
    for (int q = 0; q < 150; ++q) {
        std::u32string segment;
        if (q % 3 == 0) {
            segment = text(20 + random() % 20);
        } else {
            const std::u32string& body = bodies[random() % bodies.size()];
            std::size_t start = random() % (body.size() - 30);
            segment = body.substr(start, 10 + random() % 20) + text(random() % 6);
        }
        const std::u32string keys = localKeys(G(utf8(segment)));
        for (int minimum : {12, 4}) {
            const LocalMatch expected = reference.match(keys, minimum);
            EXPECT_EQ(archive.match(keys, minimum), expected) << utf8(segment);
            EXPECT_EQ(reopened.match(keys, minimum), expected) << utf8(segment);
        }
    }
}

// So many documents may share the run that the postings rank them all.
TEST_F(ArchiveIndex, AnswersAsTheIndexInMemoryWhenManyDocumentsShareTheRun) {
    for (int d = 0; d < 230; ++d) {
        write("many/" + std::to_string(1000 - d) + ".txt",
              "同\n人人都写过的一句话" + std::string(d % 3 == 0 ? "，然后各写各的" : "") + "第" +
                  std::to_string(d) + "篇");
    }
    ArchiveLibrary archive = library(300);
    archive.update(docs_.native());
    MemoryLibrary reference;
    reference.update(docs_.native());
    for (const char* segment : {"人人都写过的一句话然后各写各的", "都写过的一句话", "一句话然后"}) {
        const std::u32string keys = localKeys(G(segment));
        EXPECT_EQ(archive.match(keys, 4), reference.match(keys, 4)) << segment;
    }
    EXPECT_EQ(archive.match(localKeys(G("人人都写过的一句话")), 4).path, path("many/1000.txt"));
}

}  // namespace
}  // namespace oc::corpus
