#include "services/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <filesystem>
#include <thread>
#include <vector>

#include "tests/support/file_fixtures.h"
#include "tests/support/gbk.h"

namespace oc {
namespace {
using testing::fileBytes;
using testing::G;
using testing::putFileBytes;
using testing::U;

class IniFile : public ::testing::Test {
  protected:
    // Writes the file (UTF-8 literal, stored as GBK) and returns its path.
    Text given(const std::string& utf8Content) {
        putFileBytes(native(), G(utf8Content));
        return path();
    }
    Text path() const { return folder_.path("配置.ini"); }
    std::string native() const { return folder_.nativePath("配置.ini"); }
    std::string stored() const { return U(fileBytes(native())); }
    Text read(const char* section, const char* key, const char* fallback = "") {
        return readIniItem(path(), G(section), G(key), G(fallback));
    }

    testing::TempFolder folder_;
};

TEST_F(IniFile, ReadsHandWrittenFilesAsTheProfileFunctionsDo) {
    given(
        "\xEF\xBB\xBF; settings\r\n"
        "  [ 原创检测配置 ]  \r\n"
        "段落字数 =  20 \r\n"
        "this line has no equals sign\r\n"
        "; 飘红检测数=99\r\n"
        "Quoted=\"  spaced  \"\r\n"
        "Single='x'\r\n"
        "Unmatched=\"x'\r\n"
        "Inline=5 ; not a comment\r\n"
        "段落字数=21\r\n"
        "Empty=\r\n"
        "[原创检测配置]\r\n"
        "飘红检测数=77\r\n"
        "[other]\n"
        "last=no final newline");
    EXPECT_EQ(read("原创检测配置", "段落字数"), "20");  // the first of duplicates wins
    EXPECT_EQ(read("原创检测配置", "quoted"), "  spaced  ");
    EXPECT_EQ(read("原创检测配置", "SINGLE"), "x");
    EXPECT_EQ(read("原创检测配置", "Unmatched"), "\"x'");
    EXPECT_EQ(read("原创检测配置", "Inline"), "5 ; not a comment");
    EXPECT_EQ(read("原创检测配置", "Empty", "d"), "");
    // A comment is no key, and a duplicate section is never searched.
    EXPECT_EQ(read("原创检测配置", "飘红检测数", "d"), "d");
    EXPECT_EQ(read("原创检测配置", "this line has no equals sign", "d"), "d");
    EXPECT_EQ(read("OTHER", "Last"), "no final newline");
    EXPECT_EQ(read("  other\t", " last "), "no final newline");
}

TEST_F(IniFile, EmptyNamesGiveEmptyAndMissingOnesTheDefault) {
    given("[s]\r\nk=v\r\n");
    EXPECT_EQ(read("s", "", "d"), "");
    EXPECT_EQ(read("s", " \t", "d"), "");
    EXPECT_EQ(read("", "k", "d"), "");
    EXPECT_EQ(readIniItem(" ", "s", "k", "d"), "");
    EXPECT_EQ(readIniItem(" \t" + path(), "s", "k", "d"), "v");
    EXPECT_EQ(read("s", "other", "d"), "d");
    EXPECT_EQ(read("t", "k", "d"), "d");
    EXPECT_EQ(readIniItem(folder_.path("none.ini"), "s", "k", "d"), "d");
    EXPECT_EQ(readIniItem(folder_.path("none.ini"), "s", "k"), "");
}

TEST_F(IniFile, GbkTrailBytesAreNeverFoldedOrTakenForBrackets) {
    // 0x81 0x41 and 0x81 0x61 are two different characters whose trail bytes
    // are "A" and "a"; 0x81 0x5D has "]" as its trail byte.
    putFileBytes(native(),
                 "[\x81\x41]\r\n\x81\x41=upper\r\nKey=ascii\r\n"
                 "[\x81\x5D]\r\nk=bracket\r\n"
                 "[a\x81\x5Dz]\r\nk=inside\r\n");
    EXPECT_EQ(readIniItem(path(), "\x81\x41", "\x81\x41"), "upper");
    EXPECT_EQ(readIniItem(path(), "\x81\x61", "\x81\x41", "none"), "none");
    EXPECT_EQ(readIniItem(path(), "\x81\x41", "\x81\x61", "none"), "none");
    EXPECT_EQ(readIniItem(path(), "\x81\x41", "KEY"), "ascii");
    EXPECT_EQ(readIniItem(path(), "\x81\x5D", "k"), "bracket");
    EXPECT_EQ(readIniItem(path(), "A\x81\x5DZ", "k"), "inside");

    ASSERT_TRUE(writeIniItem(path(), "\x81\x61", Text("\x81\x61"), Text("lower")));
    EXPECT_EQ(readIniItem(path(), "\x81\x41", "\x81\x41"), "upper");
    EXPECT_EQ(readIniItem(path(), "\x81\x61", "\x81\x61"), "lower");
}

TEST_F(IniFile, LongValuesAreCutAt10239BytesBetweenCharacters) {
    putFileBytes(native(), "[s]\r\nascii=" + std::string(20000, 'x') +
                               "\r\nchinese=" + std::string(12000, '\xB0') + "\r\n");
    EXPECT_TRUE(readIniItem(path(), "s", "ascii") == std::string(10239, 'x'));
    // 10239 bytes would end inside a two-byte character, so one byte less.
    EXPECT_TRUE(readIniItem(path(), "s", "chinese") == std::string(10238, '\xB0'));
}

TEST_F(IniFile, AbsurdFilesReadAsMissingOrAsTheyParse) {
    // Binary bytes, 0x00 included, around one readable key.
    std::string binary;
    for (int i = 0; i < 70000; ++i) {
        binary += static_cast<char>((i * 7919) % 256);
    }
    putFileBytes(native(), binary + "\n[s]\nk=v\0w\n" + binary);
    EXPECT_EQ(readIniItem(path(), "s", "k"), "v");

    // Ten megabytes of one line, then the section.
    putFileBytes(native(), std::string(10 << 20, 'a') + "\r\n[s]\r\nk=far\r\n");
    EXPECT_EQ(readIniItem(path(), "s", "k"), "far");
    ASSERT_TRUE(writeIniItem(path(), "s", Text("k"), Text("near")));
    EXPECT_EQ(readIniItem(path(), "s", "k"), "near");

    // A folder where the file should be.
    std::filesystem::create_directory(folder_.nativePath("dir.ini"));
    EXPECT_EQ(readIniItem(folder_.path("dir.ini"), "s", "k", "d"), "d");
    EXPECT_FALSE(writeIniItem(folder_.path("dir.ini"), "s", Text("k"), Text("v")));
}

TEST_F(IniFile, WritesCreateFileSectionAndKeyInProfileForm) {
    ASSERT_TRUE(writeIniItem(path(), G("原创检测配置"), G("段落字数"), Text("38")));
    EXPECT_EQ(stored(), "[原创检测配置]\r\n段落字数=38\r\n");
    ASSERT_TRUE(writeIniItem(path(), G("其他"), Text("a"), Text("1")));
    ASSERT_TRUE(writeIniItem(path(), G("原创检测配置"), G("飘红检测数"), Text("")));
    EXPECT_EQ(stored(), "[原创检测配置]\r\n段落字数=38\r\n飘红检测数=\r\n[其他]\r\na=1\r\n");
    ASSERT_TRUE(writeIniItem(path(), G(" 原创检测配置 "), G("段落字数"), Text("20\r\n[x]")));
    EXPECT_EQ(stored(), "[原创检测配置]\r\n段落字数=20\r\n飘红检测数=\r\n[其他]\r\na=1\r\n");
}

TEST_F(IniFile, WritesKeepEveryLineTheyDoNotChange) {
    const std::string original =
        "; hand-made\n"
        "[Other]  ; trailing note\n"
        "Unknown = \"kept\"\n"
        "\n"
        "  [ 原创检测配置 ]\r\n"
        "  段落字数 = 20\r\n"
        "note without equals\r\n"
        "\r\n"
        "; the end\r\n"
        "[tail]\r\n"
        "x=1";
    given(original);
    ASSERT_TRUE(writeIniItem(path(), G("原创检测配置"), G("段落字数"), Text("21")));
    ASSERT_TRUE(writeIniItem(path(), G("原创检测配置"), G("最后段字数"), Text("5")));
    ASSERT_TRUE(writeIniItem(path(), "TAIL", Text("y"), Text("2")));
    ASSERT_TRUE(writeIniItem(path(), "new", Text("z"), Text("3")));
    EXPECT_EQ(stored(),
              "; hand-made\n"
              "[Other]  ; trailing note\n"
              "Unknown = \"kept\"\n"
              "\n"
              "  [ 原创检测配置 ]\r\n"
              "段落字数=21\r\n"
              "最后段字数=5\r\n"
              "note without equals\r\n"
              "\r\n"
              "; the end\r\n"
              "[tail]\r\n"
              "x=1\r\n"
              "y=2\r\n"
              "[new]\r\n"
              "z=3\r\n");

    // Writing the value the file already holds changes no byte.
    std::string before = fileBytes(native());
    ASSERT_TRUE(writeIniItem(path(), "other", Text("unknown"), Text("\"kept\"")));
    EXPECT_EQ(fileBytes(native()), before);
}

TEST_F(IniFile, NoValueDeletesTheKeyAndNoKeyTheSection) {
    given("[a]\r\nk=1\r\nk=2\r\n; c\r\n[b]\r\nj=3\r\n[a]\r\nk=4\r\n");
    ASSERT_TRUE(writeIniItem(path(), "A", Text("K"), std::nullopt));
    EXPECT_EQ(stored(), "[a]\r\nk=2\r\n; c\r\n[b]\r\nj=3\r\n[a]\r\nk=4\r\n");
    ASSERT_TRUE(writeIniItem(path(), "a", std::nullopt, std::nullopt));
    EXPECT_EQ(stored(), "[b]\r\nj=3\r\n[a]\r\nk=4\r\n");
    ASSERT_TRUE(writeIniItem(path(), "missing", std::nullopt, std::nullopt));
    ASSERT_TRUE(writeIniItem(path(), "b", Text("missing"), std::nullopt));
    EXPECT_EQ(stored(), "[b]\r\nj=3\r\n[a]\r\nk=4\r\n");

    // Deleting from a file that does not exist creates nothing.
    EXPECT_TRUE(writeIniItem(folder_.path("none.ini"), "a", Text("k"), std::nullopt));
    EXPECT_FALSE(std::filesystem::exists(folder_.nativePath("none.ini")));
}

TEST_F(IniFile, RefusesNamesThatCouldNotBeReadBack) {
    EXPECT_FALSE(writeIniItem(path(), "", Text("k"), Text("v")));
    EXPECT_FALSE(writeIniItem(path(), "s", Text(" "), Text("v")));
    EXPECT_FALSE(writeIniItem(path(), "s", Text("a=b"), Text("v")));
    EXPECT_FALSE(writeIniItem(path(), "s", Text(";k"), Text("v")));
    EXPECT_FALSE(writeIniItem(path(), "s\nt", Text("k"), Text("v")));
    EXPECT_FALSE(writeIniItem("", "s", Text("k"), Text("v")));
    EXPECT_FALSE(std::filesystem::exists(native()));
}

TEST_F(IniFile, FailedWritesLeaveTheOldFileIntact) {
    const std::string original = "[s]\r\nk=old\r\n";
    given(original);
    ::chmod(folder_.native().c_str(), 0555);
    EXPECT_FALSE(
        testing::runWithoutRoot([&] { return writeIniItem(path(), "s", Text("k"), Text("new")); }));
    EXPECT_EQ(stored(), original);
    EXPECT_EQ(std::filesystem::directory_iterator(folder_.native())->path().filename(), "配置.ini");

    // A file that cannot be read is not replaced by one that lost its content.
    ::chmod(folder_.native().c_str(), 0777);
    ::chmod(native().c_str(), 0200);
    EXPECT_FALSE(
        testing::runWithoutRoot([&] { return writeIniItem(path(), "s", Text("k"), Text("new")); }));
    EXPECT_TRUE(testing::runWithoutRoot([&] { return readIniItem(path(), "s", "k", "d") == "d"; }));
    EXPECT_EQ(stored(), original);
}

TEST_F(IniFile, SavesKeepPermissionsAndWriteThroughLinks) {
    given("[s]\r\nk=1\r\n");
    ::chmod(native().c_str(), 0640);
    std::filesystem::create_symlink(native(), folder_.nativePath("link.ini"));
    ASSERT_TRUE(writeIniItem(folder_.path("link.ini"), "s", Text("k"), Text("2")));
    EXPECT_TRUE(std::filesystem::is_symlink(folder_.nativePath("link.ini")));
    EXPECT_EQ(stored(), "[s]\r\nk=2\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(native().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(IniFile, ConcurrentReadersNeverSeeATornFile) {
    // Long values make every save rewrite many bytes.
    const Text small(10, 'a');
    const Text large(4000, 'b');
    ASSERT_TRUE(writeIniItem(path(), "s", Text("k"), small));
    ASSERT_TRUE(writeIniItem(path(), "t", Text("sentinel"), Text("here")));
    std::atomic<bool> writing{true};
    std::atomic<int> bad{0};
    std::vector<std::thread> readers;
    for (int r = 0; r < 3; ++r) {
        readers.emplace_back([&] {
            do {
                Text value = readIniItem(path(), "s", "k", "missing");
                Text sentinel = readIniItem(path(), "t", "sentinel", "missing");
                if ((value != small && value != large) || sentinel != "here") {
                    ++bad;
                }
            } while (writing);
        });
    }
    for (int i = 0; i < 60; ++i) {
        ASSERT_TRUE(writeIniItem(path(), "s", Text("k"), i % 2 == 0 ? large : small));
    }
    writing = false;
    for (std::thread& reader : readers) {
        reader.join();
    }
    EXPECT_EQ(bad, 0);
}

TEST_F(IniFile, ConcurrentWritersLoseNoChange) {
    std::vector<std::thread> writers;
    for (int w = 0; w < 4; ++w) {
        writers.emplace_back([&, w] {
            for (int i = 0; i < 10; ++i) {
                writeIniItem(
                    path(), "s",
                    Text("k").append(std::to_string(w)).append("_").append(std::to_string(i)),
                    Text("v"));
            }
        });
    }
    for (std::thread& writer : writers) {
        writer.join();
    }
    for (int w = 0; w < 4; ++w) {
        for (int i = 0; i < 10; ++i) {
            EXPECT_EQ(
                readIniItem(
                    path(), "s",
                    Text("k").append(std::to_string(w)).append("_").append(std::to_string(i))),
                "v");
        }
    }
}

}  // namespace
}  // namespace oc
