#include "check/batch_summary.h"

#include <algorithm>

#include "check/check_report.h"
#include "check/csv_line.h"
#include "services/html_escape.h"

namespace oc {
namespace {

// The engines any entry has, in the order of the enum (Baidu first).
std::vector<Engine> enginesOf(const std::vector<BatchEntry>& entries) {
    std::vector<Engine> engines;
    for (const BatchEntry& entry : entries) {
        for (const BatchEngineValue& value : entry.engines) {
            if (std::find(engines.begin(), engines.end(), value.engine) == engines.end()) {
                engines.push_back(value.engine);
            }
        }
    }
    std::sort(engines.begin(), engines.end());
    return engines;
}

std::vector<std::string> headings(const std::vector<Engine>& engines) {
    std::vector<std::string> cells{"文件/网址", "字数"};
    for (Engine engine : engines) {
        cells.push_back(std::string(engineName(engine)) + "原创度");
        cells.push_back(std::string(engineName(engine)) + "核实");
    }
    cells.push_back("状态");
    cells.push_back("报告");
    return cells;
}

std::vector<std::string> cellsOf(const BatchEntry& entry, const std::vector<Engine>& engines) {
    std::vector<std::string> cells{entry.input, entry.chars < 0 ? "" : std::to_string(entry.chars)};
    for (Engine engine : engines) {
        auto value =
            std::find_if(entry.engines.begin(), entry.engines.end(),
                         [engine](const BatchEngineValue& v) { return v.engine == engine; });
        cells.push_back(value == entry.engines.end() ? "" : value->value);
        cells.push_back(value == entry.engines.end() ? "" : value->coverage);
    }
    cells.push_back(entry.status);
    cells.push_back(entry.report);
    return cells;
}

// A file path as a link: what would end or change a relative URL is escaped.
std::string hrefOf(const std::string& path) {
    std::string href;
    for (char c : path) {
        switch (c) {
            case '%':
                href += "%25";
                break;
            case '#':
                href += "%23";
                break;
            case '?':
                href += "%3F";
                break;
            case ' ':
                href += "%20";
                break;
            default:
                href += c;
        }
    }
    return href;
}

}  // namespace

BatchEntry batchEntryOf(const std::string& input, const CheckReport& report) {
    BatchEntry entry;
    entry.input = input;
    // The characters as the check counted them, by its 检测方式.
    entry.chars = report.article.empty() ? 0 : report.articleChars;
    for (const ReportPass& pass : report.passes) {
        entry.engines.push_back({pass.engine, pass.value, pass.coverage});
    }
    return entry;
}

std::string batchSummaryCsv(const std::vector<BatchEntry>& entries) {
    const std::vector<Engine> engines = enginesOf(entries);
    std::string out = "\xEF\xBB\xBF";
    appendCsvLine(out, headings(engines));
    for (const BatchEntry& entry : entries) {
        appendCsvLine(out, cellsOf(entry, engines));
    }
    return out;
}

std::string batchSummaryHtml(const std::vector<BatchEntry>& entries, const std::string& checkedAt) {
    const std::vector<Engine> engines = enginesOf(entries);
    std::string out =
        "<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\">"
        "<title>批量检测汇总</title><style>body{font-family:sans-serif;margin:2em}"
        "table{border-collapse:collapse}th,td{border:1px solid #bbb;padding:4px 8px;"
        "text-align:left}th{background:#eef}</style></head><body>\n<h1>批量检测汇总</h1>\n<p>" +
        escapeHtml(checkedAt) + "，共 " + std::to_string(entries.size()) + " 篇</p>\n<table>\n<tr>";
    std::vector<std::string> heads = headings(engines);
    heads.pop_back();  // the report is the link of the first column
    for (const std::string& head : heads) {
        out += "<th>" + escapeHtml(head) + "</th>";
    }
    out += "</tr>\n";
    for (const BatchEntry& entry : entries) {
        std::vector<std::string> cells = cellsOf(entry, engines);
        cells.pop_back();
        out += "<tr>";
        for (std::size_t i = 0; i < cells.size(); ++i) {
            out += "<td>";
            if (i == 0 && !entry.report.empty()) {
                out += "<a href=\"" + escapeHtml(hrefOf(entry.report)) + "\">" +
                       escapeHtml(cells[i]) + "</a>";
            } else {
                out += escapeHtml(cells[i]);
            }
            out += "</td>";
        }
        out += "</tr>\n";
    }
    return out + "</table>\n</body></html>\n";
}

}  // namespace oc
