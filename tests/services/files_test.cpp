#include "services/files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "services/date_time.h"
#include "tests/support/file_fixtures.h"
#include "tests/support/gbk.h"

namespace oc {
namespace {
using testing::fileBytes;
using testing::G;
using testing::putFileBytes;

// Sets an environment variable for the life of the object.
class ScopedEnvironment {
  public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        ::setenv(name, value, 1);
    }
    ~ScopedEnvironment() {
        if (old_) {
            ::setenv(name_, old_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

class Files : public ::testing::Test {
  protected:
    testing::TempFolder folder_;
};

TEST_F(Files, ProgramDirectoryAndSpecialFolders) {
    EXPECT_EQ(programDirectory(), G(OC_BIN_DIR));
    for (int kind = 1; kind <= 11; ++kind) {
        Text folder = specialFolder(kind);
        ASSERT_FALSE(folder.empty()) << kind;
        EXPECT_EQ(folder.front(), '/') << kind;
        EXPECT_EQ(folder.back(), '/') << kind;
    }
    EXPECT_EQ(specialFolder(0), "");
    EXPECT_EQ(specialFolder(12), "");
    {
        ScopedEnvironment tmp("TMPDIR", folder_.native().c_str());
        EXPECT_EQ(specialFolder(11), G(folder_.native() + "/"));
    }
    {
        ScopedEnvironment tmp("TMPDIR", "relative/or/missing");
        EXPECT_EQ(specialFolder(11), "/tmp/");
    }
    ScopedEnvironment home("HOME", folder_.native().c_str());
    ScopedEnvironment config("XDG_CONFIG_HOME", folder_.native().c_str());
    std::filesystem::create_directory(folder_.nativePath("文档"));
    putFileBytes(folder_.nativePath("user-dirs.dirs"), "XDG_DOCUMENTS_DIR=\"$HOME/文档\"\n");
    EXPECT_EQ(specialFolder(1), G(folder_.native() + "/文档/"));
    EXPECT_EQ(specialFolder(3), G(folder_.native() + "/"));  // no desktop folder: home
    EXPECT_EQ(specialFolder(7), G(folder_.native() + "/autostart/"));
}

TEST_F(Files, GbkPathsAreUtf8NamesOnDisk) {
    Text path = folder_.path("配置.ini");
    EXPECT_EQ(nativePath(path), folder_.nativePath("配置.ini"));
    ASSERT_TRUE(writeFile(path, {ByteSet("ab", 2), ByteSet(), ByteSet("\0c", 2)}));
    EXPECT_EQ(fileBytes(folder_.nativePath("配置.ini")), std::string("ab\0c", 4));
    ASSERT_TRUE(writeFile(path, {ByteSet("x", 1)}));
    EXPECT_EQ(fileBytes(folder_.nativePath("配置.ini")), "x");
    EXPECT_FALSE(writeFile("", {ByteSet("x", 1)}));
    EXPECT_FALSE(writeFile(folder_.path("missing/x.bin"), {}));
}

TEST_F(Files, FileExistsMatchesWildcardsInTheLastPart) {
    putFileBytes(folder_.nativePath("配置.ini"), "");
    std::filesystem::create_directory(folder_.nativePath("sub"));
    EXPECT_TRUE(fileExists(folder_.path("配置.ini")));
    EXPECT_TRUE(fileExists(folder_.path("sub")));
    EXPECT_TRUE(fileExists(folder_.path("*.ini")));
    EXPECT_TRUE(fileExists(folder_.path("?置.*")));
    EXPECT_TRUE(fileExists(folder_.path("s*b")));
    EXPECT_FALSE(fileExists(folder_.path("??置.ini")));
    EXPECT_FALSE(fileExists(folder_.path("*.txt")));
    EXPECT_FALSE(fileExists(folder_.path("none")));
    EXPECT_FALSE(fileExists(folder_.path("no*/配置.ini")));
    EXPECT_FALSE(fileExists(""));
}

TEST_F(Files, OpenModesCreateTruncateOrKeep) {
    Text path = folder_.path("f.txt");
    EXPECT_EQ(openFile(path, 1), 0);  // read needs the file
    EXPECT_EQ(openFile(path, 3), 0);
    EXPECT_EQ(openFile(path, 0), 0);
    EXPECT_EQ(openFile(path, 7), 0);
    EXPECT_EQ(openFile(path, 6, 5), 0);
    EXPECT_EQ(openFile("", 6), 0);
    EXPECT_EQ(openFile(Text(folder_.path("")), 1), 0);  // a folder

    FileHandle h = openFile(path, 5);
    ASSERT_NE(h, 0);
    EXPECT_TRUE(writeLines(h, {Text("one")}));
    closeFile(h);
    h = openFile(path, 6);
    EXPECT_TRUE(seekToEnd(h));
    EXPECT_TRUE(writeLines(h, {Text("two")}));
    closeFile(h);
    EXPECT_EQ(fileBytes(folder_.nativePath("f.txt")), "one\r\ntwo\r\n");
    h = openFile(path, 4);
    closeFile(h);
    EXPECT_EQ(fileBytes(folder_.nativePath("f.txt")), "");
}

TEST_F(Files, ReadLineStopsAtLineFeedsAndMarkers) {
    std::string longLine(1500, 'x');
    putFileBytes(folder_.nativePath("f.txt"), "a\r\nb\n\nc\r\r\n" + longLine + "\nd\x1A" + "e\n");
    FileHandle h = openFile(folder_.path("f.txt"), 1);
    ASSERT_NE(h, 0);
    EXPECT_EQ(readLine(h), "a");
    EXPECT_EQ(readLine(h), "b");
    EXPECT_EQ(readLine(h), "");
    EXPECT_EQ(readLine(h), "c\r");
    EXPECT_TRUE(readLine(h) == longLine);
    EXPECT_EQ(readLine(h), "d");
    // The marker is not consumed: every later line is empty, and it counts as
    // the end only when asked to.
    EXPECT_EQ(readLine(h), "");
    EXPECT_FALSE(atEndOfFile(h));
    EXPECT_TRUE(atEndOfFile(h, true));
    EXPECT_TRUE(seekToStart(h));
    EXPECT_EQ(readLine(h), "a");
    EXPECT_TRUE(seekToEnd(h));
    EXPECT_TRUE(atEndOfFile(h));
    EXPECT_EQ(readLine(h), "");
    EXPECT_FALSE(writeLines(h, {Text("read only")}));
    closeFile(h);

    putFileBytes(folder_.nativePath("g.txt"), std::string("x\0y", 3));
    h = openFile(folder_.path("g.txt"), 1);
    EXPECT_EQ(readLine(h), "x");
    EXPECT_EQ(readLine(h), "");
    EXPECT_TRUE(atEndOfFile(h, true));
    closeFile(h);
}

TEST_F(Files, WriteLinesConvertsEachValue) {
    FileHandle h = openFile(folder_.path("f.txt"), 4);
    ASSERT_NE(h, 0);
    DateTime date = makeDateTime({2024, 3, 5, 9, 7, 30});
    EXPECT_TRUE(writeLines(h, {Text(), G("原创"), std::int32_t{-42}, 1.5, true, date}));
    closeFile(h);
    EXPECT_EQ(fileBytes(folder_.nativePath("f.txt")), "\r\n" + G("原创") + "\r\n-42\r\n1.5\r\n" +
                                                          G("真") + "\r\n" +
                                                          G("2024年3月5日9时7分30秒") + "\r\n");
}

TEST_F(Files, SharingAndStaleHandles) {
    Text path = folder_.path("f.txt");
    FileHandle exclusive = openFile(path, 6, 4);
    ASSERT_NE(exclusive, 0);
    EXPECT_EQ(openFile(path, 1, 1), 0);
    EXPECT_FALSE(writeFile(path, {ByteSet("x", 1)}));
    closeFile(exclusive);

    FileHandle reader1 = openFile(path, 1, 3);
    FileHandle reader2 = openFile(path, 1, 3);
    EXPECT_NE(reader1, 0);
    EXPECT_NE(reader2, 0);
    EXPECT_NE(reader1, reader2);
    EXPECT_EQ(openFile(path, 6, 4), 0);
    closeFile(reader1);
    closeFile(reader2);

    // A closed or made-up handle reaches no file.
    closeFile(reader1);
    closeFile(12345);
    EXPECT_FALSE(seekToStart(reader1));
    EXPECT_EQ(readLine(reader1), "");
    EXPECT_FALSE(writeLines(reader1, {Text("x")}));
    EXPECT_TRUE(atEndOfFile(reader1));
    EXPECT_TRUE(writeFile(path, {ByteSet("x", 1)}));
}

}  // namespace
}  // namespace oc
