// The desktop program's responsiveness: the time from process start to the
// first painted frame of the main window, and the longest stall of the GUI
// thread while both passes fill 500-row grids against a loopback server.
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "app/desktop/desktop_program.h"
#include "app/desktop/main_window.h"
#include "app/desktop/qt_text.h"
#include "app/desktop/result_grid.h"
#include "check/window_port.h"
#include "services/internet_client.h"
#include "tests/support/loopback_server.h"

extern char** environ;

namespace {

constexpr const char* kStartupChild = "--startup-child";
std::string selfPath;

// The child: starts the program as main() does and reports the first paint.
int runStartupChild(int argc, char** argv) {
    QApplication app(argc, argv);
    oc::DesktopProgram program;
    struct FirstPaint : QObject {
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint && !seen) {
                seen = true;
                // Reported once this paint has been done.
                QTimer::singleShot(0, [] {
                    std::fputs("painted\n", stdout);
                    std::fflush(stdout);
                    QCoreApplication::quit();
                });
            }
            return false;
        }
        bool seen = false;
    } firstPaint;
    program.window().installEventFilter(&firstPaint);
    program.show();
    return QApplication::exec();
}

void BM_StartupToFirstFrame(benchmark::State& state) {
    for (auto _ : state) {
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0) {
            state.SkipWithError("pipe");
            break;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
        std::string flag = kStartupChild;
        char* args[] = {selfPath.data(), flag.data(), nullptr};
        const auto start = std::chrono::steady_clock::now();
        pid_t child = 0;
        const int spawned = posix_spawn(&child, selfPath.c_str(), &actions, nullptr, args, environ);
        posix_spawn_file_actions_destroy(&actions);
        close(pipeEnds[1]);
        char line[32] = {};
        const ssize_t got = spawned == 0 ? read(pipeEnds[0], line, sizeof line - 1) : -1;
        const auto painted = std::chrono::steady_clock::now();
        close(pipeEnds[0]);
        int status = 0;
        if (spawned == 0) {
            waitpid(child, &status, 0);
        }
        if (got <= 0 || std::strncmp(line, "painted", 7) != 0) {
            state.SkipWithError("the program did not report a painted frame");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(painted - start).count());
    }
}
BENCHMARK(BM_StartupToFirstFrame)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

// An article of `segments` distinct 38-character segments.
oc::Text article(int segments) {
    oc::Text out;
    for (int i = 0; i < segments * 38; ++i) {
        out += static_cast<char>(0xB0 + (i / 94) % 39);
        out += static_cast<char>(0xA1 + i % 94);
    }
    return out;
}

// CPU time of the calling thread.
qint64 threadCpuNanos() {
    timespec cpu{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu);
    return cpu.tv_sec * 1000000000LL + cpu.tv_nsec;
}

void BM_GuiStallWhilePassesFill500Rows(benchmark::State& state) {
    oc::InternetClient::instance().setCookieFile("");
    oc::testing::LoopbackServer server;
    server.server().Get("/s", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<html><body><em>片段</em> 结果 <em>另一个片段</em></body></html>",
                        "text/html; charset=utf-8");
    });
    server.start();
    QTemporaryDir dir;
    oc::DesktopOptions options;
    options.settingsPath = dir.path().toStdString() + "/settings.ini";
    options.baiduUrl = server.baseUrl();
    options.url360 = server.baseUrl();
    oc::DesktopProgram program(options);
    program.window()
        .component<QPlainTextEdit>(oc::component::kArticleBox)
        ->setPlainText(oc::qstringFromGbk(article(500)));
    program.show();
    // The first frame (fonts, skin) is start-up, not part of a check.
    {
        QEventLoop settle;
        QTimer::singleShot(300, &settle, &QEventLoop::quit);
        settle.exec();
    }
    auto* button = program.window().component<QPushButton>(oc::component::kCheckButton);

    double worstStallMs = 0;
    double worstBusyMs = 0;
    double rowsPerSecond = 0;
    double guiMicrosPerSegment = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        qint64 last = 0;
        qint64 longest = 0;
        QTimer tick;
        tick.setTimerType(Qt::PreciseTimer);
        qint64 lastCpu = 0;
        qint64 longestCpu = 0;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            longest = std::max(longest, now - last);
            last = now;
            const qint64 cpuNow = threadCpuNanos();
            if (lastCpu != 0) {
                longestCpu = std::max(longestCpu, cpuNow - lastCpu);
            }
            lastCpu = cpuNow;
        });
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!program.checkRunning()) {
                loop.quit();
            }
        });
        const qint64 cpuAtStart = threadCpuNanos();
        clock.start();
        tick.start(1);
        poll.start(5);
        button->click();
        loop.exec();
        const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        const qint64 cpuUsed = threadCpuNanos() - cpuAtStart;
        tick.stop();
        const int rows = program.window().grid(oc::component::kBaiduGrid)->rowCount() - 1 +
                         program.window().grid(oc::component::k360Grid)->rowCount() - 1;
        if (rows != 1000) {
            state.SkipWithError("the grids did not fill");
            break;
        }
        // The timer's own 1 ms period is not a stall.
        worstStallMs = std::max(worstStallMs, static_cast<double>(longest) / 1e6 - 1.0);
        worstBusyMs = std::max(worstBusyMs, static_cast<double>(longestCpu) / 1e6);
        rowsPerSecond = rows / seconds;
        // Everything the GUI thread did during the check (the probe timer's
        // own ticks included, alike before and after), per segment shown.
        guiMicrosPerSegment = static_cast<double>(cpuUsed) / 1e3 / rows;
        state.SetIterationTime(seconds);
    }
    state.counters["longest_stall_ms"] = worstStallMs;
    state.counters["longest_busy_ms"] = worstBusyMs;
    state.counters["rows_per_s"] = rowsPerSecond;
    state.counters["gui_cpu_us_per_segment"] = guiMicrosPerSegment;
}
BENCHMARK(BM_GuiStallWhilePassesFill500Rows)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (argc > 1 && std::strcmp(argv[1], kStartupChild) == 0) {
        return runStartupChild(argc, argv);
    }
    char self[4096] = {};
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    selfPath = length > 0 ? std::string(self, static_cast<std::size_t>(length)) : argv[0];
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
