#include "app/cli/result_report.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <sstream>

#include "app/cli/json_text.h"
#include "check/pass_steps.h"
#include "check/segmentation.h"
#include "check/store_recorder.h"
#include "services/boundary_text.h"
#include "services/line_breaks.h"
#include "services/shown_text.h"
#include "text/article_filters.h"

namespace oc::cli {
namespace {

// The longest cell the table shows, and the widest each column is padded to
// (a wider cell overruns its column, the columns after it stay short).
constexpr std::size_t kMaxCellChars = 200;
constexpr int kMaxTextWidth = 80;
constexpr int kMaxStatusWidth = 40;
constexpr int kMaxSourceWidth = 60;

// The status of a row as JSON names it.
const char* jsonStatusName(RowStatus status) {
    switch (status) {
        case RowStatus::Hit:
            return "hit";
        case RowStatus::Original:
            return "original";
        case RowStatus::Skipped:
            return "skipped";
        case RowStatus::Unverified:
        case RowStatus::Pending:
            break;
    }
    return "unverified";
}

int verifiedRows(const ReportPass& pass) {
    return static_cast<int>(std::count_if(pass.rows.begin(), pass.rows.end(), [](const auto& row) {
        return row.status == RowStatus::Hit || row.status == RowStatus::Original;
    }));
}

int unverifiedRows(const ReportPass& pass) {
    return static_cast<int>(std::count_if(pass.rows.begin(), pass.rows.end(), [](const auto& row) {
        return row.status == RowStatus::Unverified || row.status == RowStatus::Pending;
    }));
}

// What the window shows beside the article: empty when no pass began.
std::string articleChars(const std::vector<PassRecord>& passes, const CheckReport& report) {
    const bool began = std::any_of(passes.begin(), passes.end(), [](const PassRecord& record) {
        return record.end != PassEnd::EmptyArticle;
    });
    return began && !report.article.empty() ? std::to_string(report.articleChars) : std::string();
}

// Passes in the order baidu, 360, local.
std::vector<PassRecord> ordered(std::vector<PassRecord> passes) {
    std::stable_sort(passes.begin(), passes.end(), [](const PassRecord& a, const PassRecord& b) {
        return static_cast<int>(a.engine) < static_cast<int>(b.engine);
    });
    return passes;
}

// A cell of the table: on one line (line breaks and tabs become spaces), at
// most kMaxCellChars characters unless `whole`, every control character a
// visible escape. The query addresses are whole: the checker builds them from
// a segment, and they are there to be opened.
std::string shownCell(std::string text, bool whole = false) {
    text = lineBreaksAsSpaces(std::move(text), true);
    return terminalText(whole ? text : shortenedText(text, kMaxCellChars));
}

const ReportPass* reportPassOf(const CheckReport& report, Engine engine) {
    for (const ReportPass& pass : report.passes) {
        if (pass.engine == engine) {
            return &pass;
        }
    }
    return nullptr;
}

// A 命中 row's source title, 未识别 without one; empty for other rows.
std::string sourceCaption(const ReportRow& row) {
    if (row.status != RowStatus::Hit) {
        return {};
    }
    return row.source ? row.source->title : "未识别";
}

nlohmann::ordered_json sourceJson(const ReportRow& row) {
    if (row.status != RowStatus::Hit || !row.source) {
        return nullptr;
    }
    return {{"title", row.source->title}, {"url", row.source->address}};
}

// The status column of the text table: the status, and the reason of an unverified row.
std::string statusCaption(const ReportRow& row) {
    return std::string(statusName(row.status)) + (row.reason.empty() ? "" : "(" + row.reason + ")");
}

// Whether every page of a verified web row came from the results store; null
// for an unverified row and a local one.
nlohmann::ordered_json cachedJson(Engine engine, const ReportRow& row) {
    const bool verified = row.status == RowStatus::Hit || row.status == RowStatus::Original;
    if (!verified || engine == Engine::Local) {
        return nullptr;
    }
    return row.cached;
}

// When the oldest page a verified web row used was fetched; null without a
// results store, for an unverified row and a local one.
nlohmann::ordered_json verifiedAtJson(const ReportRow& row) {
    if (!row.verifiedAt) {
        return nullptr;
    }
    return *row.verifiedAt;
}

// The best coverage of a verified row in 整句, else null.
nlohmann::ordered_json coverageJson(const ReportRow& row) {
    if (!row.coverage) {
        return nullptr;
    }
    return *row.coverage;
}

nlohmann::ordered_json sourcesJson(const CheckReport& report, Engine engine) {
    nlohmann::ordered_json sources = nlohmann::ordered_json::array();
    if (const ReportPass* pass = reportPassOf(report, engine)) {
        for (const DomainCount& entry : sourceSummary(pass->rows)) {
            // Local sources are counted per file.
            sources.push_back({{engine == Engine::Local ? "file" : "domain", entry.domain},
                               {"segments", entry.segments}});
        }
    }
    return sources;
}

// The text and the spaces that fill its column; a text wider than its
// column keeps at least `gap` spaces before the next one.
std::string padded(const std::string& text, int width, int gap = 0) {
    return text +
           std::string(static_cast<std::size_t>(std::max(gap, width - displayWidth(text))), ' ');
}

}  // namespace

int displayWidth(std::string_view s) {
    int width = 0;
    for (std::size_t i = 0; i < s.size();) {
        auto b = static_cast<unsigned char>(s[i]);
        std::size_t n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        unsigned cp = n == 1 ? b : b & (0x3F >> (n - 1));
        for (std::size_t k = 1; k < n && i + k < s.size(); ++k) {
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        }
        bool wide = (cp >= 0x1100 && cp <= 0x115F) || (cp >= 0x2E80 && cp <= 0xA4CF) ||
                    (cp >= 0xAC00 && cp <= 0xD7A3) || (cp >= 0xF900 && cp <= 0xFAFF) ||
                    (cp >= 0xFE30 && cp <= 0xFE4F) || (cp >= 0xFF00 && cp <= 0xFF60) ||
                    (cp >= 0xFFE0 && cp <= 0xFFE6) || (cp >= 0x1F300 && cp <= 0x1FAFF) ||
                    (cp >= 0x20000 && cp <= 0x3FFFD);
        width += wide ? 2 : (cp < 0x20 ? 0 : 1);
        i += n;
    }
    return width;
}

std::string jsonReport(const std::vector<PassRecord>& passes, const CheckReport& report,
                       const std::vector<ArticleWarning>& warnings,
                       const std::vector<corpus::SkippedFile>* skipped) {
    static const ReportPass none;
    nlohmann::ordered_json doc;
    doc["articleChars"] = articleChars(passes, report);
    for (const ArticleWarning& warning : warnings) {
        doc["warnings"].push_back({{"kind", articleWarningName(warning.kind)},
                                   {"count", warning.count},
                                   {"firstByte", warning.firstByte},
                                   {"line", warning.line}});
    }
    doc["passes"] = nlohmann::ordered_json::array();
    for (const PassRecord& record : ordered(passes)) {
        const ReportPass* shown = reportPassOf(report, record.engine);
        const ReportPass& result = shown != nullptr ? *shown : none;
        nlohmann::ordered_json pass;
        pass["engine"] = engineIdentity(record.engine).jsonKey;
        pass["end"] = passEndName(record.end);
        pass["originality"] = result.value;
        if (engineIdentity(record.engine).hasVerdict()) {
            pass["verdict"] = result.verdict;
        }
        const int verified = verifiedRows(result);
        pass["verified"] = verified;
        pass["unverified"] = unverifiedRows(result);
        pass["coverage"] = result.coverage;
        pass["rows"] = nlohmann::ordered_json::array();
        for (const ReportRow& row : result.rows) {
            pass["rows"].push_back({{"number", row.number},
                                    {"text", utf8FromGbk(row.segment)},
                                    {"hits", row.hits},
                                    {"url", row.searchUrl},
                                    {"status", jsonStatusName(row.status)},
                                    {"reason", row.reason},
                                    {"source", sourceJson(row)},
                                    {"highlightCoverage", coverageJson(row)},
                                    {"cached", cachedJson(record.engine, row)},
                                    {"verifiedAt", verifiedAtJson(row)}});
        }
        pass["sources"] = sourcesJson(report, record.engine);
        doc["passes"].push_back(std::move(pass));
    }
    if (skipped != nullptr) {
        doc["skipped"] = nlohmann::ordered_json::array();
        for (const corpus::SkippedFile& file : *skipped) {
            doc["skipped"].push_back({{"path", file.path}, {"reason", utf8FromGbk(file.reason)}});
        }
    }
    return jsonText(doc, 2);
}

void writeTextReport(std::ostream& out, const std::vector<PassRecord>& passes,
                     const CheckReport& report, bool withUrls) {
    static const ReportPass none;
    out << "文章字数: " << articleChars(passes, report) << "\n";
    for (const PassRecord& record : ordered(passes)) {
        const std::string_view title = engineIdentity(record.engine).name;
        const ReportPass* shown = reportPassOf(report, record.engine);
        const ReportPass& result = shown != nullptr ? *shown : none;
        // The widths of the columns from the cells as the terminal shows them,
        // each up to its maximum; the rows are then written one by one.
        auto textOf = [](const ReportRow& row) { return shownCell(utf8FromGbk(row.segment)); };
        auto statusOf = [](const ReportRow& row) { return shownCell(statusCaption(row)); };
        auto sourceOf = [](const ReportRow& row) { return shownCell(sourceCaption(row)); };
        int textWidth = displayWidth("文本");
        int statusWidth = displayWidth("状态") + 2;
        int sourceWidth = displayWidth("来源") + 2;
        for (const ReportRow& row : result.rows) {
            textWidth = std::max(textWidth, displayWidth(textOf(row)));
            statusWidth = std::max(statusWidth, displayWidth(statusOf(row)) + 2);
            sourceWidth = std::max(sourceWidth, displayWidth(sourceOf(row)) + 2);
        }
        textWidth = std::min(textWidth, kMaxTextWidth);
        statusWidth = std::min(statusWidth, kMaxStatusWidth);
        sourceWidth = std::min(sourceWidth, kMaxSourceWidth);
        // 覆盖 in 整句: the best share of the segment one result's highlights cover.
        const bool anyCoverage = std::any_of(result.rows.begin(), result.rows.end(),
                                             [](const ReportRow& row) { return row.coverage; });
        const int coverageWidth = anyCoverage ? 6 : 0;
        out << "\n== " << title << " ==\n";
        out << padded("编号", 5) << padded("飘红", 5)
            << padded(anyCoverage ? "覆盖" : "", coverageWidth) << padded("状态", statusWidth)
            << padded("来源", sourceWidth)
            << (withUrls ? padded("文本", textWidth) + "  搜索" : "文本") << "\n";
        for (const ReportRow& row : result.rows) {
            out << padded(shownCell(row.number), 5) << padded(shownCell(row.hits), 5)
                << padded(coverageCaption(row), coverageWidth)
                << padded(statusOf(row), statusWidth, 2) << padded(sourceOf(row), sourceWidth, 2)
                << (withUrls
                        ? padded(textOf(row), textWidth) + "  " + shownCell(row.searchUrl, true)
                        : textOf(row))
                << "\n";
        }
        out << title << "原创度: " << (result.value.empty() ? "-" : shownCell(result.value));
        if (!result.coverage.empty()) {
            out << " (" << shownCell(result.coverage) << ")";
        }
        if (!result.verdict.empty()) {
            out << "  " << shownCell(result.verdict);
        }
        out << "\n来源网站:";
        std::vector<DomainCount> summary = sourceSummary(result.rows);
        if (summary.empty()) {
            out << " 无";
        }
        out << "\n";
        for (const DomainCount& entry : summary) {
            out << "  " << shownCell(entry.domain) << "  " << entry.segments << "段\n";
        }
        out.flush();
    }
}

std::string textReport(const std::vector<PassRecord>& passes, const CheckReport& report,
                       bool withUrls) {
    std::ostringstream out;
    writeTextReport(out, passes, report, withUrls);
    return out.str();
}

std::string shortenedText(std::string_view utf8, std::size_t maxChars) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < utf8.size(); ++chars) {
        if (chars == maxChars) {
            return std::string(utf8.substr(0, i)) + "…";
        }
        const std::size_t length = utf8SequenceAt(utf8, i);
        i += length == 0 ? 1 : length;
    }
    return std::string(utf8);
}

}  // namespace oc::cli
