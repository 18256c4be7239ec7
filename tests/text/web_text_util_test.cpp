#include "text/web_text_util.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <thread>

#include "services/date_time.h"
#include "services/files.h"
#include "tests/support/file_fixtures.h"
#include "tests/support/gbk.h"
#include "tests/support/scripted_platform.h"
#include "text/article_filters.h"

namespace oc {
namespace {
using testing::fileBytes;
using testing::G;
using testing::putFileBytes;
using testing::U;

const WebTextUtil util;

TEST(WebTextUtil, TrimCutsAsciiWhiteSpaceAroundTheText) {
    EXPECT_EQ(util.trim("\r\n  " + G("原创") + " \t"), G("原创"));
    EXPECT_EQ(util.trim("\r\n \t a b\r\n c  "), "a b\r\n c");
    EXPECT_EQ(util.trim(""), "");
    EXPECT_EQ(util.trim(" \t\r\n\v\f"), "");
    EXPECT_EQ(util.trim("x"), "x");
    EXPECT_EQ(util.trim(G("　原　")), G("　原　"));
    EXPECT_EQ(util.trim(Text(" ").append(G("原创")).append(" ")), G("原创"));
}

TEST(WebTextUtil, TrimGivesWhatTheArticleFilterGives) {
    std::mt19937 random(7);
    const char pieces[] = {' ', '\t', '\r', '\n', '\v', '\f', 'a', '\x85', '\xA0', '\xA1', '\xD4'};
    for (int round = 0; round < 500; ++round) {
        Text text;
        for (int i = static_cast<int>(random() % 12); i > 0; --i) {
            text += pieces[random() % sizeof pieces];
        }
        EXPECT_EQ(util.trim(text), trim(text)) << U(text);
    }
}

TEST(WebTextUtil, TrimIsSafeFromTwoThreads) {
    Text article = "\r\n " + G("原创检测") + " \t";
    auto work = [&] {
        for (int i = 0; i < 200; ++i) {
            EXPECT_EQ(webTextUtil().trim(article), G("原创检测"));
        }
    };
    std::thread first(work);
    std::thread second(work);
    first.join();
    second.join();
    EXPECT_EQ(&webTextUtil(), &webTextUtil());
}

TEST(WebTextUtil, TextAroundMarkers) {
    Text page = G("您的IP地址是：[1.2.3.4] 来自：本地");
    EXPECT_EQ(util.textBefore(page, "["), G("您的IP地址是："));
    EXPECT_EQ(util.textAfter(page, G("来自：")), G("本地"));
    EXPECT_EQ(util.textBetween(page, "[", "]"), "1.2.3.4");
    EXPECT_EQ(util.textBetween(page, G("您的IP地址是：["), "]"), "1.2.3.4");

    // A missing marker gives the empty text, whichever it is.
    EXPECT_EQ(util.textBefore(page, "#"), "");
    EXPECT_EQ(util.textAfter(page, "#"), "");
    EXPECT_EQ(util.textBetween(page, "#", "]"), "");
    EXPECT_EQ(util.textBetween(page, "[", "#"), "");
    EXPECT_EQ(util.textBetween("a]b[c", "[", "]"), "");  // the end marker only before the start
    EXPECT_EQ(util.textBetween("x|y|z", "|", "|"), "y");
    EXPECT_EQ(util.textBetween("[]", "[", "]"), "");
    EXPECT_EQ(util.textAfter("ab", "b"), "");

    // Markers are found on character boundaries only: AD B4 lies across 原 and 创.
    EXPECT_EQ(util.textBefore(G("原创"), "\xAD\xB4"), "");
    EXPECT_EQ(util.textAfter(G("原创"), "\xAD\xB4"), "");
}

TEST(WebTextUtil, NowTextLeavesOffZerosAndSeconds) {
    EXPECT_EQ(util.nowText(makeDateTime({2024, 3, 5, 9, 7, 30})), "2024-3-5 9:7");
    EXPECT_EQ(util.nowText(makeDateTime({2024, 12, 25, 23, 59, 0})), "2024-12-25 23:59");
    EXPECT_EQ(util.nowText(makeDateTime({2024, 3, 5, 9, 0, 0})), "2024-3-5 9:0");
    EXPECT_EQ(util.nowText(makeDateTime({2024, 3, 5, 0, 0, 0})), "2024-3-5 0:0");
    EXPECT_EQ(util.nowText(makeDateTime({2024, 3, 5, 10, 0, 45})), "2024-3-5 10:0");
    CivilDateTime now = civilFromDateTime(currentDateTime());
    EXPECT_TRUE(util.nowText().starts_with(std::to_string(now.year) + "-"));
}

TEST(WebTextUtil, DecodeBytesThroughTheStream) {
    EXPECT_EQ(util.decodeBytes(ByteSet(G("原创检测")), "gb2312"), G("原创检测"));
    EXPECT_EQ(util.decodeBytes(ByteSet(G("原创")), "GBK"), G("原创"));
    EXPECT_EQ(util.decodeBytes(ByteSet(std::string("\xE5\x8E\x9F\xE5\x88\x9B ok")), "utf-8"),
              G("原创 ok"));
    EXPECT_EQ(util.decodeBytes(ByteSet(std::string("\xEF\xBB\xBF\xE5\x8E\x9F")), "UTF-8"), G("原"));
    EXPECT_EQ(util.decodeBytes(ByteSet(std::string("\x9F\x53\x61\x00", 4)), "unicode"),
              G("原") + "a");
    // Bytes after 0x00 are text too; an invalid sequence, or what GBK lacks, becomes "?".
    EXPECT_EQ(util.decodeBytes(ByteSet(std::string("a\0b\xFF", 4)), "utf-8"), "ab?");
    EXPECT_EQ(util.decodeBytes(ByteSet(std::string("\xEA\xB0\x80")), "utf-8"), "?");
    EXPECT_EQ(util.decodeBytes(ByteSet(), "utf-8"), "");
    EXPECT_EQ(util.decodeBytes(ByteSet(std::string("abc")), "no-such-charset"), "");
}

TEST(WebTextUtil, SavedLinesLoadBackWithoutEmptyOnes) {
    testing::ScriptedPlatform platform;
    testing::TempFolder folder;
    Text path = folder.path("列表.txt");
    util.saveLines({"a", G("原创"), "", "b"}, path, platform);
    EXPECT_EQ(fileBytes(folder.nativePath("列表.txt")), "a\r\n" + G("原创") + "\r\n\r\nb\r\n");
    TextList lines;
    util.loadLines(path, lines, platform);
    EXPECT_EQ(lines, (TextList{"a", G("原创"), "b"}));

    // Saving again replaces the file.
    util.saveLines({"c"}, path, platform);
    EXPECT_EQ(fileBytes(folder.nativePath("列表.txt")), "c\r\n");
    EXPECT_TRUE(platform.messages().empty());

    // Reading stops at a 0x00 byte instead of spinning on it.
    putFileBytes(folder.nativePath("nul.txt"), std::string("x\r\ny\0z\r\nw\r\n", 11));
    lines.clear();
    util.loadLines(folder.path("nul.txt"), lines, platform);
    EXPECT_EQ(lines, (TextList{"x", "y"}));
}

TEST(WebTextUtil, UnopenableLineFilesAreReported) {
    testing::ScriptedPlatform platform;
    testing::TempFolder folder;
    TextList lines;
    util.loadLines(folder.path("missing.txt"), lines, platform);
    util.saveLines({"a"}, folder.path("no-folder/list.txt"), platform);
    EXPECT_TRUE(lines.empty());
    ASSERT_EQ(platform.messages().size(), 2u);
    for (const testing::ShownMessage& shown : platform.messages()) {
        EXPECT_EQ(shown.message, G("打开文件失败，可能原因是文件不存在"));
        EXPECT_EQ(shown.title, G("提示"));
        EXPECT_EQ(shown.style, kMbOk);
    }
    // A file held by another handle cannot be opened either.
    Text held = folder.path("held.txt");
    FileHandle holder = openFile(held, 6, 4);
    ASSERT_NE(holder, 0);
    util.loadLines(held, lines, platform);
    closeFile(holder);
    EXPECT_EQ(platform.messages().size(), 3u);
}

TEST(WebTextUtil, AppendLogAddsLineAndSeparatorInTheProgramFolder) {
    std::string name = "web_text_util_test_" + std::to_string(::getpid()) + ".log";
    std::filesystem::path file = std::filesystem::path(nativePath(programDirectory())) / name;
    std::filesystem::remove(file);
    util.appendLog(name, G("第一行"));
    util.appendLog(name, "second");
    Text separator;
    for (int i = 0; i < 39; ++i) {
        separator += G("■");
    }
    EXPECT_EQ(fileBytes(file.string()),
              G("第一行") + "\r\n" + separator + "\r\n" + "second\r\n" + separator + "\r\n");
    std::filesystem::remove(file);
    util.appendLog("no-such-folder/x.log", "x");  // silently nothing
    EXPECT_FALSE(std::filesystem::exists(file.parent_path() / "no-such-folder"));
}

}  // namespace
}  // namespace oc
