// What the three programs say about themselves: --version (the desktop program
// without a display), --help, and the settings file the checker uses.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

namespace oc {
namespace {

struct Answer {
    int status = -1;
    std::string out;  // standard output and standard error together
};

Answer run(const std::string& command) {
    Answer answer;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return answer;
    }
    std::array<char, 4096> buffer{};
    std::size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        answer.out.append(buffer.data(), n);
    }
    const int status = ::pclose(pipe);
    answer.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return answer;
}

const std::string kBin = OC_BIN_DIR;
// No display and no platform plugin chosen: Qt could not start a window.
const std::string kNoDisplay = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ";

TEST(ProgramInfo, EveryProgramAnswersVersion) {
    for (const char* program : {"originality-cli", "search-sim", "originality-checker"}) {
        if (!std::filesystem::exists(kBin + "/" + program)) {
            continue;  // the desktop program is not built without Qt
        }
        const Answer answer = run(kNoDisplay + kBin + "/" + program + " --version");
        EXPECT_EQ(answer.status, 0) << program;
        EXPECT_EQ(answer.out, std::string(program) + " " + OC_VERSION + "\n");
    }
}

TEST(ProgramInfo, DesktopProgramHelpNeedsNoDisplayAndStrayArgumentsAreRefused) {
    const std::string program = kBin + "/originality-checker";
    if (!std::filesystem::exists(program)) {
        GTEST_SKIP() << "the desktop program is not built";
    }
    Answer help = run(kNoDisplay + program + " --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: originality-checker"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("--version"), std::string::npos) << help.out;

    // Qt's own options are taken by Qt; anything else is named and refused.
    Answer stray = run("QT_QPA_PLATFORM=offscreen " + program + " -platform offscreen --bogus");
    EXPECT_EQ(stray.status, 2);
    EXPECT_NE(stray.out.find("bogus"), std::string::npos) << stray.out;
    stray = run("QT_QPA_PLATFORM=offscreen " + program + " article.txt");
    EXPECT_EQ(stray.status, 2);
    EXPECT_NE(stray.out.find("article.txt"), std::string::npos) << stray.out;
}

TEST(ProgramInfo, CheckerHelpNamesTheSettingsFileOfTheDesktopProgram) {
    // A build folder is the program's own folder: the file stays beside it.
    const Answer help = run(kBin + "/originality-cli --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find(kBin + "/配置.ini"), std::string::npos) << help.out;
}

}  // namespace
}  // namespace oc
