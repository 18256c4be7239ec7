// The report as a CSV file that spreadsheet programs open correctly.
#include <algorithm>

#include "check/check_report.h"
#include "check/csv_line.h"
#include "services/boundary_text.h"
#include "services/shown_text.h"

namespace oc {

std::string csvReport(const CheckReport& report) {
    std::string out = "\xEF\xBB\xBF";
    appendCsvLine(out, {"引擎", "序号", "文本", "飘红", "状态", "原因", "来源标题", "来源地址",
                        "搜索", "覆盖"});
    std::vector<const ReportPass*> passes;
    for (const ReportPass& pass : report.passes) {
        passes.push_back(&pass);
    }
    std::stable_sort(passes.begin(), passes.end(), [](const ReportPass* a, const ReportPass* b) {
        return a->engine == Engine::Baidu && b->engine != Engine::Baidu;
    });
    for (const ReportPass* pass : passes) {
        for (const ReportRow& row : pass->rows) {
            std::string title;
            std::string address;
            if (row.status == RowStatus::Hit) {
                title = row.source ? row.source->title : "未识别";
                address = row.source ? row.source->address : "";
            }
            appendCsvLine(out, {engineName(pass->engine), row.number, utf8FromGbk(row.segment),
                                row.hits, statusName(row.status), row.reason, title, address,
                                row.searchUrl, coverageCaption(row)});
        }
    }
    return out;
}

}  // namespace oc
