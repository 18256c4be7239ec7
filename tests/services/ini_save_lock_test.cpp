// Saves of the settings file from several processes at once, and what killed
// saves leave behind.
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>
#include <chrono>
#include <filesystem>

#include "services/ini_file.h"
#include "tests/support/file_fixtures.h"
#include "tests/support/gbk.h"

namespace oc {
namespace {
using testing::fileBytes;
using testing::G;
using testing::putFileBytes;

// Runs `body` in a child process; its exit status is 0 when it returned true.
pid_t inChild(const std::function<bool()>& body) {
    pid_t pid = ::fork();
    if (pid == 0) {
        ::_exit(body() ? 0 : 1);
    }
    return pid;
}

int exitStatus(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(IniSaveLock, TwoProcessesSavingFiveHundredTimesEachLoseNothing) {
    testing::TempFolder folder;
    const Text path = folder.path("配置.ini");
    auto saver = [&](const std::string& prefix) {
        return inChild([&path, prefix] {
            bool ok = true;
            for (int i = 0; i < 500; ++i) {
                ok = writeIniItem(path, G("原创检测配置"), prefix + std::to_string(i),
                                  std::to_string(i)) &&
                     ok;
            }
            return ok;
        });
    };
    pid_t a = saver("a");
    pid_t b = saver("b");
    EXPECT_EQ(exitStatus(a), 0);
    EXPECT_EQ(exitStatus(b), 0);
    for (int i = 0; i < 500; ++i) {
        EXPECT_EQ(readIniItem(path, G("原创检测配置"), std::string("a").append(std::to_string(i))), std::to_string(i));
        EXPECT_EQ(readIniItem(path, G("原创检测配置"), std::string("b").append(std::to_string(i))), std::to_string(i));
    }
}

TEST(IniSaveLock, ASaveThatCannotGetTheLockFailsAfterTheTimeOut) {
    testing::TempFolder folder;
    const Text path = folder.path("配置.ini");
    ASSERT_TRUE(writeIniItem(path, "s", "k", "old"));
    int fd = ::open(folder.nativePath(".配置.ini.lock").c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    // Another process holds the lock (flock locks of one process do not exclude each other
    // only when they share the open file, so a separate open stands for another process).
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(writeIniItem(path, "s", "k", "new"));
    EXPECT_GE(std::chrono::steady_clock::now() - start, kIniLockTimeout);
    EXPECT_EQ(readIniItem(path, "s", "k"), "old");
    ::close(fd);
    EXPECT_TRUE(writeIniItem(path, "s", "k", "new"));
}

TEST(IniSaveLock, TemporaryFilesOfDeadProcessesGoAtTheNextSave) {
    testing::TempFolder folder;
    const Text path = folder.path("配置.ini");
    pid_t dead = inChild([] { return true; });
    exitStatus(dead);
    const std::string stale = folder.nativePath(".配置.ini." + std::to_string(dead) + ".3.tmp");
    const std::string live =
        folder.nativePath(".配置.ini." + std::to_string(::getppid()) + ".0.tmp");
    const std::string other = folder.nativePath(".other.ini." + std::to_string(dead) + ".0.tmp");
    for (const std::string& p : {stale, live, other}) {
        putFileBytes(p, "half a save");
    }
    ASSERT_TRUE(writeIniItem(path, "s", "k", "v"));
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_TRUE(std::filesystem::exists(live));   // its process may still rename it
    EXPECT_TRUE(std::filesystem::exists(other));  // not this file's
}

TEST(IniSaveLock, SeveralKeysGoInOneSaveOrNotAtAll) {
    testing::TempFolder folder;
    const Text path = folder.path("配置.ini");
    ASSERT_TRUE(writeIniItems(path, "s", {{"a", "1"}, {"b", "2"}, {"c", std::nullopt}}));
    EXPECT_EQ(fileBytes(folder.nativePath("配置.ini")), "[s]\r\na=1\r\nb=2\r\n");
    // A key that could not be read back refuses the whole save.
    EXPECT_FALSE(writeIniItems(path, "s", {{"a", "9"}, {"b=x", "2"}}));
    EXPECT_EQ(readIniItem(path, "s", "a"), "1");
}

}  // namespace
}  // namespace oc
