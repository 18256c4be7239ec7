// The summary of a batch: one row per article, as a CSV table or an HTML page
// that links each article's own report.
#pragma once

#include <string>
#include <vector>

#include "check/engine_tables.h"

namespace oc {

struct BatchEngineValue {
    Engine engine = Engine::Baidu;
    std::string value;     // "84.21%", empty when none
    std::string coverage;  // "已核实 a/b"
};

struct BatchEntry {
    std::string input;     // the file's path or the web address, UTF-8
    long long chars = -1;  // 字数; below 0 when the article was never read
    std::vector<BatchEngineValue> engines;
    std::string status;  // 等待, 检测中, 完成, 部分未核实, 已停止, 失败：<reason>
    // The article's own report, as the summary links it (relative to the
    // summary's folder or absolute); empty: none.
    std::string report;
};

struct CheckReport;

// The row of an article checked (its status and report left to the caller):
// its characters as the window counts them, each engine's value and coverage.
BatchEntry batchEntryOf(const std::string& input, const CheckReport& report);

// UTF-8 with BOM, CR LF, one row per article: 文件/网址, 字数, each engine's
// value and coverage (the engines of any entry, Baidu first), 状态, 报告.
std::string batchSummaryCsv(const std::vector<BatchEntry>& entries);

// A self-contained page with the same table, each article linked to its report.
std::string batchSummaryHtml(const std::vector<BatchEntry>& entries, const std::string& checkedAt);

}  // namespace oc
