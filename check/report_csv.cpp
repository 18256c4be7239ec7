// The report as a CSV file that spreadsheet programs open correctly.
#include <algorithm>

#include "check/check_report.h"
#include "services/boundary_text.h"
#include "services/shown_text.h"

namespace oc {
namespace {

// A cell that starts like a formula is shown as text, never run: spreadsheet
// programs take the full-width signs (＝＋－＠) for the ASCII ones too. Text
// that is no UTF-8 or holds control characters is made plain first.
std::string guarded(std::string_view text) {
    std::string cell = reportText(text);
    const bool formula =
        !cell.empty() && (std::string_view("=+-@\t\r").find(cell.front()) != std::string::npos ||
                          cell.rfind("＝", 0) == 0 || cell.rfind("＋", 0) == 0 ||
                          cell.rfind("－", 0) == 0 || cell.rfind("＠", 0) == 0);
    if (formula) {
        cell.insert(0, 1, '\'');
    }
    return cell;
}

// Quoted when it holds a separator (a comma, or the semicolon some programs
// split on), a quote or a line break.
std::string quoted(const std::string& cell) {
    if (cell.find_first_of(",;\"\r\n") == std::string::npos) {
        return cell;
    }
    std::string out = "\"";
    for (char c : cell) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    return out + "\"";
}

void appendLine(std::string& out, const std::vector<std::string>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        out += quoted(guarded(cells[i]));
    }
    out += "\r\n";
}

}  // namespace

std::string csvReport(const CheckReport& report) {
    std::string out = "\xEF\xBB\xBF";
    appendLine(out, {"引擎", "序号", "文本", "飘红", "状态", "原因", "来源标题", "来源地址", "搜索",
                     "覆盖"});
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
            appendLine(out, {engineName(pass->engine), row.number, utf8FromGbk(row.segment),
                             row.hits, statusName(row.status), row.reason, title, address,
                             row.searchUrl, coverageCaption(row)});
        }
    }
    return out;
}

}  // namespace oc
