#include "check/check_report.h"

#include <algorithm>
#include <map>

#include "services/ascii_case.h"
#include "services/boundary_text.h"
#include "services/file_contents.h"
#include "services/write_problem.h"

namespace oc {

std::vector<DomainCount> sourceSummary(const std::vector<ReportRow>& rows) {
    std::map<std::string, int> counts;
    for (const ReportRow& row : rows) {
        if (row.status == RowStatus::Hit && row.source && !row.source->domain.empty()) {
            ++counts[row.source->domain];
        }
    }
    std::vector<DomainCount> summary;
    for (const auto& [domain, segments] : counts) {
        summary.push_back({domain, segments});
    }
    std::stable_sort(
        summary.begin(), summary.end(),
        [](const DomainCount& a, const DomainCount& b) { return a.segments > b.segments; });
    return summary;
}

const char* statusName(RowStatus status) {
    switch (status) {
        case RowStatus::Hit:
            return "命中";
        case RowStatus::Original:
            return "原创";
        case RowStatus::Unverified:
            return "未核实";
        case RowStatus::Skipped:
            return "不计";
        case RowStatus::Pending:
            break;
    }
    return "";
}

std::string coverageCaption(const ReportRow& row) {
    return row.coverage ? std::to_string(*row.coverage) + "%" : std::string();
}

const char* engineName(Engine engine) {
    return engineIdentity(engine).name.data();
}

std::optional<ReportFormat> reportFormatFor(const std::string& path) {
    std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos) {
        return std::nullopt;
    }
    const std::string extension = lowerAscii(path.substr(dot + 1));
    if (extension == "html" || extension == "htm") {
        return ReportFormat::Html;
    }
    if (extension == "csv") {
        return ReportFormat::Csv;
    }
    return std::nullopt;
}

bool writeReportFile(const std::string& path, const CheckReport& report, Text* reason) {
    std::optional<ReportFormat> format = reportFormatFor(path);
    if (!format) {
        if (reason != nullptr) {
            *reason = gbkFromUtf8("报告文件须以 .html、.htm 或 .csv 结尾");
        }
        return false;
    }
    int error = 0;
    if (replaceFileAtomically(
            path, *format == ReportFormat::Html ? htmlReport(report) : csvReport(report),
            kReportWrite, &error)) {
        return true;
    }
    if (reason != nullptr) {
        *reason = writeErrorText(error);
    }
    return false;
}

}  // namespace oc
