#include "app/cli/cli_options.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>
#include <map>

#include "check/check_report.h"
#include "check/ignore_list.h"
#include "services/boundary_text.h"
#include "services/file_contents.h"
#include "services/write_problem.h"
#include "settings/cache_days.h"
#include "settings/settings.h"

namespace oc::cli {
namespace {

bool isBaseUrl(const std::string& url) {
    return url.rfind("http://", 0) == 0 || url.rfind("https://", 0) == 0;
}

}  // namespace

int parseCliOptions(int argc, char** argv, CliOptions& options, bool stdinIsTerminal) {
    CLI::App app{"Checks how original a Chinese article is against the Baidu and 360 web search.",
                 "originality-cli"};
    std::string engine;
    std::string onEmptyPage;
    app.add_option("ARTICLE", options.articles,
                   "article files: .txt or .md (UTF-8 or GBK), .html, .htm, .docx or .pdf, or "
                   "folders of them (checked one after another); \"-\": standard input (also "
                   "with none, when standard input is not a terminal)");
    app.add_option("--url", options.urls,
                   "check the main text of the web page at URL (http or https); results from "
                   "the page's own site do not count; repeatable")
        ->allow_extra_args(false);
    app.add_option("--report-dir", options.reportDir,
                   "with several articles: write each article's report to DIR as "
                   "<file name>.html (a web page: <host and path>.html)")
        ->type_name("DIR");
    app.add_option("--summary", options.summaryPath,
                   "with several articles: write one row per article to FILE, .csv or .html "
                   "(linking the reports of --report-dir)")
        ->type_name("FILE");
    app.add_flag("--no-resume", options.noResume,
                 "with several articles: check them all anew even when a run of the same inputs "
                 "was interrupted (by default it goes on with the articles it did not finish)");
    app.add_option("--engine", engine,
                   "engines to ask: baidu, 360, both (the default), local (the documents of "
                   "--corpus) or all; with --corpus and no --engine, all")
        ->check(CLI::IsMember({"baidu", "360", "both", "local", "all"}));
    app.add_option("--corpus", options.corpus,
                   "also check against the .txt, .md, .html and .htm files under DIR")
        ->type_name("DIR");
    // The same file as the desktop program's, chosen once for the whole run.
    const std::string defaultSettings = utf8FromGbk(settingsPath());
    options.settingsFile = defaultSettings;
    app.add_option("--settings", options.settingsFile, "settings file")->capture_default_str();
    app.add_option("--baidu-url", options.baiduUrl, "Baidu base URL, scheme://host[:port]");
    app.add_option("--360-url", options.url360, "360 base URL, scheme://host[:port]");
    std::string onBlock;
    CLI::Option* onBlockOption =
        app.add_option("--on-block", onBlock,
                       "when an engine blocks or a page fails: ask (the prompt), wait (pause "
                       "that engine for 屏蔽等待 minutes and ask the page again; the default with "
                       "several articles), continue or cancel")
            ->check(CLI::IsMember({"ask", "wait", "continue", "cancel"}));
    app.add_option("--on-empty-page", onEmptyPage, "the same as --on-block ask, continue or cancel")
        ->check(CLI::IsMember({"ask", "continue", "cancel"}))
        ->excludes(onBlockOption);
    app.add_option("--block-wait-min", options.blockWaitMinutes,
                   "the first pause of an engine that blocks, in minutes (default: 屏蔽等待 of "
                   "the settings file, else 10); doubled after each further block, at most 60")
        ->check(CLI::Range(1, 60));
    app.add_option("--batch-interval-ms", options.batchIntervalMs,
                   "for testing: the least wait between two requests of one engine with several "
                   "articles (default 3000)")
        ->check(CLI::Range(0L, 3600000L));
    app.add_option("--block-wait-ms", options.blockWaitMs,
                   "for testing: the first pause of an engine that blocks, in milliseconds")
        ->check(CLI::Range(1L, 3600000L));
    app.add_flag("--json", options.json, "print one JSON document when all passes have ended");
    app.add_flag("--no-urls", options.noUrls,
                 "leave the 搜索 column (the query URLs) out of the table");
    app.add_flag("--quiet", options.quiet, "no progress on standard error");
    app.add_option("--stall-timeout-ms", options.stallTimeoutMs,
                   "for testing: give up a page that sends nothing for this many milliseconds")
        ->check(CLI::Range(1L, 3600000L));
    app.add_option("--interval-ms", options.intervalMs,
                   "wait this many milliseconds between two requests of one engine "
                   "(default: 查询间隔 of the settings file, in seconds)")
        ->check(CLI::Range(0L, 3600000L));
    app.add_option("--page-timeout-s", options.pageTimeoutS,
                   "give up a result page not fully received after this many seconds "
                   "(default: 页面超时 of the settings file, else 120)")
        ->check(CLI::Range(1L, 600L));
    std::string mode;
    app.add_option("--mode", mode,
                   "检测方式: sentence (整句, the default: whole sentences as written, hit by one "
                   "long highlight or by coverage) or classic (经典: fixed windows of the "
                   "non-ASCII characters, one long highlight only); default: the settings file's")
        ->check(CLI::IsMember({"sentence", "classic"}));
    int coverage = 0;
    app.add_option(
           "--coverage-percent", coverage,
           "飘红覆盖率 in 整句: a segment is copied when the highlights of one result cover "
           "this share of its characters (50-100; default: the settings file's, else 80)")
        ->check(CLI::Range(kMinCoveragePercent, kMaxCoveragePercent));
    app.add_option("--user-agent", options.userAgent,
                   "User-Agent sent to the engines (default: UserAgent of the settings file)")
        ->check([](const std::string& agent) {
            return agent.empty() || agent.find_first_of("\r\n") != std::string::npos
                       ? std::string("a user agent is one non-empty line")
                       : std::string();
        });
    app.add_option("--ignore-domain", options.ignoreDomains,
                   "a site of your own whose results do not count as copies (with its "
                   "subdomains); repeatable, added to 忽略网站 of the settings file")
        ->allow_extra_args(false);
    app.add_option("--report", options.reportPath,
                   "also write the report to FILE: .html or .htm for a page, .csv for a table");
    app.add_flag("--no-store", options.noStore,
                 "keep no record of this check and use no remembered answers");
    app.add_option("--store", options.storeFile,
                   "the results store file (default: $OC_STORE_FILE, else checks.db beside a "
                   "portable program, else in ~/.local/share/originality-checker)")
        ->type_name("FILE");
    int cacheDays = 0;
    app.add_option("--cache-days", cacheDays,
                   "缓存天数: answer a query from a result page the store kept from a check at "
                   "most this many days ago instead of asking again (0-365, 0: ask every query; "
                   "default: the settings file's, else 7)")
        ->check(CLI::Range(0, kMaxCacheDays));
    bool noCache = false;
    app.add_flag("--no-cache", noCache, "ask every query (the same as --cache-days 0)");
    app.add_option("--store-timeout-ms", options.storeTimeoutMs,
                   "for testing: how long a store write waits for another process")
        ->check(CLI::Range(1L, 600000L));
    // `history` wins over an article file of that name; ./history checks the file.
    CLI::App* history = app.add_subcommand("history", "list the checks kept in the store");
    bool historyJson = false;
    history->add_flag("--json", historyJson, "one JSON document");
    CLI::App* show = history->add_subcommand("show", "print a stored check as its run printed it");
    show->add_option("ID", options.historyId, "the check's number in the list")->required();
    show->add_flag("--json", historyJson, "print the JSON document of the check");
    show->add_option("--report", options.reportPath, "write the check's report to FILE instead")
        ->type_name("FILE");
    CLI::App* remove = history->add_subcommand("delete", "remove a stored check");
    remove->add_option("ID", options.historyId, "the check's number in the list")->required();
    history->require_subcommand(0, 1);
    app.set_version_flag("--version", std::string("originality-cli ") + OC_VERSION);
    app.footer(
        "Exit status: 0 every engine finished and every segment was verified; 1 a check was "
        "given up at a prompt; 2 bad usage, an unreadable article, a report file that could "
        "not be written, or a local documents folder that cannot be used; 3 the article was "
        "empty or held nothing to check; 4 every engine finished but some segment is "
        "unverified. With several articles: the worst of theirs, by 2 > 1 > 4 > 3 > 0.");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        int status = app.exit(e);
        return status == 0 ? 0 : kExitUsage;
    }
    if (!options.articles.empty()) {
        options.article = options.articles.front();
    }
    const std::size_t given = options.articles.size() + options.urls.size();
    if (given > 1 && app.count("--report") > 0) {
        std::cerr << "originality-cli: --report 只写一篇文章的报告；多篇文章请用 --report-dir\n";
        return kExitUsage;
    }
    if (!options.summaryPath.empty() && !reportFormatFor(options.summaryPath)) {
        std::cerr << "originality-cli: 汇总文件须以 .html、.htm 或 .csv 结尾："
                  << options.summaryPath << "\n";
        return kExitUsage;
    }
    if (history->parsed()) {
        options.json = options.json || historyJson;
        options.history = show->parsed()     ? HistoryCommand::Show
                          : remove->parsed() ? HistoryCommand::Delete
                                             : HistoryCommand::List;
    }
    if (!mode.empty()) {
        options.mode = mode == "classic" ? CheckMode::Classic : CheckMode::Sentence;
    }
    if (app.count("--coverage-percent") > 0) {
        options.coveragePercent = coverage;
    }
    if (app.count("--cache-days") > 0) {
        options.cacheDays = cacheDays;
    }
    if (noCache) {
        options.cacheDays = 0;
    }
    if (options.settingsFile.empty()) {
        options.settingsFile = defaultSettings;  // an empty path would read no value at all
    }
    for (std::string* url : {&options.baiduUrl, &options.url360}) {
        while (!url->empty() && url->back() == '/') {
            url->pop_back();
        }
        if (!url->empty() && !isBaseUrl(*url)) {
            std::cerr << "originality-cli: not an http(s) base URL: " << *url << "\n";
            return kExitUsage;
        }
    }
    for (const std::string& domains : options.ignoreDomains) {
        IgnoreList list;
        list.add(gbkFromUtf8(domains));
        if (list.empty()) {
            std::cerr << "originality-cli: --ignore-domain 没有给出网站：\"" << domains << "\"\n";
            return kExitUsage;
        }
    }
    const bool report = app.count("--report") > 0 || show->count("--report") > 0;
    if (report && !reportFormatFor(options.reportPath)) {
        std::cerr << "originality-cli: 报告文件须以 .html、.htm 或 .csv 结尾："
                  << options.reportPath << "\n";
        return kExitUsage;
    }
    if (report && !canReplaceFile(options.reportPath, kReportWrite)) {
        const Text why = writeProblem(gbkFromUtf8(options.reportPath));
        std::cerr << "originality-cli: 无法写入报告文件：" << options.reportPath
                  << (why.empty() ? std::string() : "（" + utf8FromGbk(why) + "）") << "\n";
        return kExitUsage;
    }
    // The report must never replace the article it is about.
    std::error_code error;
    if (report && options.article != "-" &&
        std::filesystem::equivalent(options.reportPath, options.article, error)) {
        std::cerr << "originality-cli: 报告文件不能是文章本身：" << options.reportPath << "\n";
        return kExitUsage;
    }
    if (options.history != HistoryCommand::None) {
        return -1;
    }
    // Nothing to check and no article coming through a pipe: the user is
    // told how to give one rather than left at a silent terminal.
    if (options.articles.empty() && options.urls.empty() && stdinIsTerminal) {
        std::cerr << "originality-cli: 没有给出文章\n"
                     "用法：originality-cli [选项] 文章文件或文件夹…\n"
                     "      originality-cli [选项] --url 网址\n"
                     "      originality-cli [选项] -   （从标准输入读入文章）\n"
                     "全部选项与退出状态：originality-cli --help\n";
        return kExitUsage;
    }
    if (engine.empty()) {
        engine = options.corpus.empty() ? "both" : "all";
    }
    options.baidu = engine == "baidu" || engine == "both" || engine == "all";
    options.engine360 = engine == "360" || engine == "both" || engine == "all";
    options.local = engine == "local" || engine == "all" || !options.corpus.empty();
    if (options.local && options.corpus.empty() &&
        loadLocalFolder(gbkFromUtf8(options.settingsFile)).empty()) {
        std::cerr << "originality-cli: --engine " << engine
                  << " 需要本地文档目录：用 --corpus DIR 给出，或在配置文件中设置 本地文档目录\n";
        return kExitUsage;
    }
    if (!onBlock.empty()) {
        options.waitOnBlock = onBlock == "wait";
        if (onBlock != "wait") {
            onEmptyPage = onBlock;
        }
    } else if (!onEmptyPage.empty()) {
        options.waitOnBlock = false;
    }
    if (onEmptyPage.empty()) {
        bool articleFromStdin = options.article == "-" && options.urls.empty();
        options.onEmptyPage =
            stdinIsTerminal && !articleFromStdin ? EmptyPageAnswer::Ask : EmptyPageAnswer::Cancel;
    } else {
        static const std::map<std::string, EmptyPageAnswer> answers = {
            {"ask", EmptyPageAnswer::Ask},
            {"continue", EmptyPageAnswer::Continue},
            {"cancel", EmptyPageAnswer::Cancel}};
        options.onEmptyPage = answers.at(onEmptyPage);
    }
    return -1;
}

}  // namespace oc::cli
