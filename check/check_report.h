// The report of a finished check, for the user to keep or send on: an HTML page
// or a CSV file, written from what the passes showed.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "check/check_run.h"
#include "check/segment_source.h"
#include "services/file_contents.h"
#include "services/text_types.h"

namespace oc {

enum class RowStatus { Hit, Original, Unverified, Skipped, Pending };

struct ReportRow {
    std::string number;  // UTF-8, as the grid shows them
    Text segment;        // GBK, as the pass cut it
    std::string hits;
    RowStatus status = RowStatus::Pending;
    std::string reason;  // why the row is unverified or 不计
    // The source of a Hit row; absent there means unrecognised ("未识别").
    std::optional<SegmentSource> source;
    std::string searchUrl;
    // In 整句, for a verified row: the best share (0-100) one result covers.
    std::optional<int> coverage;
    // A verified web row checked with the results store: whether every page
    // came from it, and when the oldest page used was fetched (ISO 8601).
    bool cached = false;
    std::optional<std::string> verifiedAt;
};

struct ReportPass {
    Engine engine = Engine::Baidu;
    std::string value;     // "84.21%", empty when none
    std::string coverage;  // "已核实 a/b"
    // The verdict; for Baidu only "核实不足" when too few segments are verified.
    std::string verdict;
    bool cancelled = false;
    std::vector<ReportRow> rows;
};

struct CheckReport {
    std::string checkedAt;                                      // date and time, UTF-8
    std::vector<std::pair<std::string, std::string>> settings;  // name, value, UTF-8
    Text article;                                               // GBK, as the passes read it
    int articleChars = 0;  // the characters the check counted in it (文章字数)
    std::vector<ReportPass> passes;
};

struct DomainCount {
    std::string domain;
    int segments = 0;
    friend bool operator==(const DomainCount&, const DomainCount&) = default;
};

// "来源网站": one count per Hit row for the domain of its source (sources
// without a domain left out); most first, ties by domain ascending.
std::vector<DomainCount> sourceSummary(const std::vector<ReportRow>& rows);

// UTF-8 names: "命中", "原创", "未核实", "不计" (empty while pending); "百度", "360".
const char* statusName(RowStatus status);
// A row's 覆盖: "92%"; empty without one (经典, a row not verified).
std::string coverageCaption(const ReportRow& row);
const char* engineName(Engine engine);

// UTF-8 with BOM, RFC 4180, CR LF; one row per segment and engine, Baidu first.
std::string csvReport(const CheckReport& report);
// A self-contained page: inline style, no script, nothing loaded from elsewhere.
std::string htmlReport(const CheckReport& report);

enum class ReportFormat { Html, Csv };
// By the file name's extension, case ignored: .html, .htm, .csv; else nothing.
std::optional<ReportFormat> reportFormatFor(const std::string& path);
// Writes the report in the format its name asks for (path UTF-8) to a new file
// beside the name, renamed over it: a symbolic link at the name is replaced,
// its target never touched. False when the name has another extension or the
// file cannot be written; `reason` (GBK) then says why.
bool writeReportFile(const std::string& path, const CheckReport& report, Text* reason = nullptr);
// How a report is written: a link at its name replaced, not followed.
inline constexpr ReplaceOptions kReportWrite{.replaceLink = true};

}  // namespace oc
