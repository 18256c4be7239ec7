#include "app/cli/history_show.h"

#include "app/cli/result_report.h"
#include "check/stored_run.h"
#include "services/boundary_text.h"
#include "services/shown_text.h"
#include "store/run_extra.h"

namespace oc::cli {

int showStoredCheck(const StoredCheck& check, const CliOptions& options, std::ostream& out,
                    std::ostream& err) {
    StoredRun run = storedRunOf(check);
    CheckReport& report = run.report;
    const std::vector<PassRecord>& passes = run.passes;
    std::vector<ArticleWarning> warnings;
    std::optional<WebPageNote> page;
    readRunExtra(check.extra, warnings, page);
    if (page) {
        report.settings.push_back({"检测网页", page->sentence()});
    }
    if (!options.reportPath.empty()) {
        Text whyNot;
        if (!writeReportFile(options.reportPath, report, &whyNot)) {
            err << "originality-cli: 无法写入报告文件：" << terminalText(options.reportPath) << "（"
                << terminalText(utf8FromGbk(whyNot)) << "）\n";
            return kExitUsage;
        }
        return 0;
    }
    std::string printed = options.json ? jsonReport(passes, report, warnings)
                                       : textReport(passes, report, !options.noUrls);
    if (page) {
        printed = options.json ? withWebPage(printed, *page)
                               : terminalText(page->sentence()) + "\n" + printed;
    }
    out << printed;
    return 0;
}

}  // namespace oc::cli
