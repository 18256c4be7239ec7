// The options of the command-line checker.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "settings/settings.h"

namespace oc::cli {

enum class EmptyPageAnswer { Ask, Continue, Cancel };
enum class HistoryCommand { None, List, Show, Delete };

struct CliOptions {
    std::string article = "-";  // the first article: a file path, or "-" for standard input
    // Every article given: files and folders (their documents, recursively).
    std::vector<std::string> articles;
    // Web pages whose main text is an article (http or https), after the files.
    std::vector<std::string> urls;
    bool baidu = true;
    bool engine360 = true;
    // The local engine over the user's documents: --corpus DIR (native bytes),
    // else 本地文档目录 of the settings file.
    bool local = false;
    std::string corpus;
    std::string settingsFile;  // UTF-8; the desktop program's settings file unless given
    std::string baiduUrl;
    std::string url360;
    // The answer to the block prompt (询问).
    EmptyPageAnswer onEmptyPage = EmptyPageAnswer::Cancel;
    // --on-block: true for wait (自动等待), false for ask, continue or cancel;
    // none: 屏蔽时 of the settings file, else 自动等待 for several articles
    // and the prompt for one.
    std::optional<bool> waitOnBlock;
    // The first pause of an engine that blocks (屏蔽等待): --block-wait-min,
    // else the settings file's; --block-wait-ms (for tests) overrides both.
    int blockWaitMinutes = 0;
    // For tests: the least interval between two requests of one engine when
    // several articles are checked; below 0: kBatchInterval.
    long batchIntervalMs = -1;
    long blockWaitMs = 0;
    bool json = false;
    // The table without its 搜索 column.
    bool noUrls = false;
    bool quiet = false;
    // For testing against servers that stall: a fetch that receives nothing
    // for this long returns what it has. 0: the fetch's own default.
    long stallTimeoutMs = 0;
    // The wait between two requests of one engine in milliseconds; below 0:
    // the settings file's 查询间隔.
    long intervalMs = -1;
    // Seconds one result page may take; 0: the settings file's 页面超时.
    long pageTimeoutS = 0;
    // --mode sentence|classic and --coverage-percent N; none: the settings file's.
    std::optional<CheckMode> mode;
    std::optional<int> coveragePercent;
    // 缓存天数 (--cache-days N; --no-cache is 0); none: the settings file's.
    std::optional<int> cacheDays;
    // Empty: the settings file's UserAgent, else the built-in one.
    std::string userAgent;
    // Own sites added to the settings file's 忽略网站, one option value each
    // (UTF-8, split like the setting).
    std::vector<std::string> ignoreDomains;
    // The report to write when the passes have ended (UTF-8): HTML or CSV by
    // its extension. Empty: none.
    std::string reportPath;
    // With several articles: a report per article in this folder, and the
    // summary of them all (.csv or .html by its extension). Empty: none.
    std::string reportDir;
    std::string summaryPath;
    // With several articles: start anew even when the same inputs were left
    // unfinished (by default the earlier batch goes on).
    bool noResume = false;
    // The results store: none with --no-store, else --store FILE, else the
    // usual place ($OC_STORE_FILE, beside a portable program, the data folder).
    bool noStore = false;
    std::string storeFile;
    // For testing: how long a store write waits for another process; 0: the default.
    long storeTimeoutMs = 0;
    // `history`: list the stored checks, show or delete one.
    HistoryCommand history = HistoryCommand::None;
    long long historyId = 0;
};

// Exit status for bad usage and unreadable articles.
inline constexpr int kExitUsage = 2;
// Every engine finished, but some segment is unverified.
inline constexpr int kExitUnverified = 4;

// Parses the command line. Returns -1 when the checker should go on, else the
// exit status (0 after --help). Messages go to standard error.
int parseCliOptions(int argc, char** argv, CliOptions& options, bool stdinIsTerminal);

}  // namespace oc::cli
