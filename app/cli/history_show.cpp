#include "app/cli/history_show.h"

#include <nlohmann/json.hpp>

#include "app/cli/result_report.h"
#include "check/stored_run.h"
#include "services/boundary_text.h"
#include "services/shown_text.h"

namespace oc::cli {
namespace {

using Json = nlohmann::json;

}  // namespace

std::string runExtraJson(const std::vector<ArticleWarning>& warnings,
                         const std::optional<WebPageNote>& page) {
    Json extra = Json::object();
    for (const ArticleWarning& warning : warnings) {
        extra["warnings"].push_back(
            {articleWarningName(warning.kind), warning.count, warning.firstByte, warning.line});
    }
    if (page) {
        extra["url"] = page->url;
        extra["site"] = page->site;
    }
    return extra.dump(-1, ' ', false, Json::error_handler_t::replace);
}

void readRunExtra(const std::string& extra, std::vector<ArticleWarning>& warnings,
                  std::optional<WebPageNote>& page) {
    const Json doc = Json::parse(extra, nullptr, false);
    if (!doc.is_object()) {
        return;
    }
    try {
        for (const Json& warning : doc.value("warnings", Json::array())) {
            ArticleWarning read;
            for (ArticleWarningKind kind :
                 {ArticleWarningKind::InvalidUtf8, ArticleWarningKind::OutsideGbk}) {
                if (warning.at(0).get<std::string>() == articleWarningName(kind)) {
                    read.kind = kind;
                }
            }
            read.count = warning.at(1).get<std::size_t>();
            read.firstByte = warning.at(2).get<std::size_t>();
            read.line = warning.at(3).get<std::size_t>();
            warnings.push_back(read);
        }
        if (doc.contains("url")) {
            page = WebPageNote{doc.at("url").get<std::string>(), doc.at("site").get<std::string>()};
        }
    } catch (const Json::exception&) {
        // What a later version keeps differently is left out.
    }
}

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
