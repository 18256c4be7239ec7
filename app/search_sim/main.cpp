// search-sim: a local search server that answers the Baidu and the 360 query
// forms from a folder of documents, for the offline demo, tests and benchmarks.
#include <pthread.h>
#include <signal.h>
#include <CLI/CLI.hpp>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <map>
#include <mutex>
#include <thread>

#include "app/search_sim/corpus_names.h"
#include "app/search_sim/search_service.h"
#include "app/search_sim/sim_server.h"

namespace {

void logLine(const std::string& line) {
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    std::fprintf(stderr, "search-sim: %s\n", line.c_str());
    std::fflush(stderr);
}

}  // namespace

int main(int argc, char** argv) {
    std::string corpusDir;
    std::string host = "127.0.0.1";
    int port = 0;
    int latencyMs = 0;
    long long blockAfter = -1;
    int rateLimit = 0;
    int blockMinutes = 10;
    oc::sim::BlockKind blockKind = oc::sim::BlockKind::Empty;
    const std::map<std::string, oc::sim::BlockKind> kinds{
        {"empty", oc::sim::BlockKind::Empty},
        {"captcha", oc::sim::BlockKind::Captcha},
        {"invalid-utf8", oc::sim::BlockKind::InvalidUtf8},
        {"captcha-redirect", oc::sim::BlockKind::CaptchaRedirect},
        {"captcha-page", oc::sim::BlockKind::CaptchaPage},
        {"status-429", oc::sim::BlockKind::Status429}};
    oc::sim::HighlightStyle style = oc::sim::HighlightStyle::Engine;
    const std::map<std::string, oc::sim::HighlightStyle> styles{
        {"engine", oc::sim::HighlightStyle::Engine}, {"runs", oc::sim::HighlightStyle::Runs}};

    CLI::App app{
        "search-sim: a local search simulator. Answers GET /s?wd=... (Baidu form, GBK) and "
        "GET /s?q=...&pn=N (360 form, UTF-8) from the .txt documents of a folder."};
    app.add_option("--corpus", corpusDir, "folder of UTF-8 .txt documents (first line: title)")
        ->required();
    app.add_option("--host", host, "address to listen on")->capture_default_str();
    app.add_option("--port", port, "port to listen on; 0 picks a free one")
        ->check(CLI::Range(0, 65535))
        ->capture_default_str();
    app.add_option("--latency-ms", latencyMs, "delay every answer by this many milliseconds")
        ->check(CLI::Range(0, 600000));
    app.add_option("--block-after", blockAfter,
                   "block every query answer after the N-th (rehearses a blocked search)")
        ->check(CLI::NonNegativeNumber);
    app.add_option("--rate-limit", rateLimit,
                   "block a client that sends more than N queries in any minute to one engine "
                   "form (counted per client address and form); 0: no limit")
        ->check(CLI::NonNegativeNumber);
    app.add_option("--block-minutes", blockMinutes,
                   "how long a client past --rate-limit gets --block-kind answers")
        ->check(CLI::PositiveNumber)
        ->capture_default_str();
    app.add_option("--block-kind", blockKind,
                   "what a blocked answer is: empty, captcha, invalid-utf8, captcha-redirect, "
                   "captcha-page, status-429")
        ->transform(CLI::CheckedTransformer(kinds, CLI::ignore_case));
    app.add_option("--highlight", style,
                   "how shared text is marked: engine (the default; as the real engines, a "
                   "highlight never holds punctuation or white space) or runs (one highlight per "
                   "shared run, punctuation inside included)")
        ->transform(CLI::CheckedTransformer(styles, CLI::ignore_case));
    app.set_version_flag("--version", std::string("search-sim ") + OC_VERSION);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        int rc = app.exit(e);
        return rc == 0 ? 0 : 2;
    }

    oc::sim::Corpus corpus = oc::sim::loadCorpus(corpusDir);
    if (!corpus.error.empty()) {
        std::fprintf(stderr, "search-sim: %s\n", corpus.error.c_str());
        return 1;
    }
    for (const oc::corpus::SkippedDocument& skipped : corpus.skipped) {
        logLine("skipped " + skipped.fileName + " (" + skipped.reason + ")");
    }
    if (corpus.documents.empty()) {
        std::fprintf(stderr, "search-sim: no UTF-8 .txt document in %s\n", corpusDir.c_str());
        return 1;
    }

    auto started = std::chrono::steady_clock::now();
    std::size_t documents = corpus.documents.size();
    oc::sim::SearchService service(std::move(corpus.documents), {blockAfter, blockKind}, style);
    service.setRateLimit({rateLimit, blockMinutes});
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started);
    logLine(std::to_string(documents) + " documents from " + corpusDir + ", " +
            std::to_string(service.index().postingCount()) + " bigram postings, indexed in " +
            std::to_string(ms.count()) + " ms");

    // Every thread started from here on inherits the blocked signals; the main
    // thread takes them with sigwait and stops the server in order.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    oc::sim::SimServer server(service, latencyMs, logLine);
    int boundPort = server.bind(host, port);
    if (boundPort <= 0) {
        std::fprintf(stderr, "search-sim: cannot listen on %s port %d\n", host.c_str(), port);
        return 1;
    }
    pthread_t mainThread = pthread_self();
    bool served = true;
    std::thread serving([&] {
        served = server.run();
        pthread_kill(mainThread, SIGUSR1);  // wake the main thread if serving ended by itself
    });
    std::printf("listening on http://%s:%d\n", host.c_str(), boundPort);
    std::fflush(stdout);

    int signal = 0;
    sigwait(&signals, &signal);
    server.stop();
    serving.join();
    logLine(signal == SIGUSR1 ? std::string("server ended") : std::string("stopped"));
    return served ? 0 : 1;
}
