#include "app/cli/result_report.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <sstream>

#include "check/report_builder.h"
#include "services/boundary_text.h"

namespace oc::cli {
namespace {

struct PassView {
    const char* engine;
    const char* title;
    std::string_view grid;
    std::string_view valueLabel;
    std::string_view coverageLabel;
    std::string_view verdictLabel;  // empty: the engine has none
};

PassView viewOf(Engine engine) {
    if (engine == Engine::Baidu) {
        return {"baidu",
                "百度",
                component::kBaiduGrid,
                component::kBaiduValueLabel,
                component::kBaiduCoverageLabel,
                {}};
    }
    if (engine == Engine::Local) {
        return {"local",
                "本地文档",
                component::kLocalGrid,
                component::kLocalValueLabel,
                component::kLocalCoverageLabel,
                component::kLocalVerdictLabel};
    }
    return {"360",
            "360",
            component::k360Grid,
            component::k360ValueLabel,
            component::k360CoverageLabel,
            component::k360VerdictLabel};
}

// The status of a row as JSON names it.
const char* statusName(const GridModel& grid, int row) {
    Text status = grid.cellText(row, kStatusColumn);
    if (status == statusText(SegmentStatus::Hit)) {
        return "hit";
    }
    if (status == statusText(SegmentStatus::Original)) {
        return "original";
    }
    return "unverified";
}

std::string reasonOf(const GridModel& grid, int row) {
    const GridCell* cell = grid.cell(row, kStatusColumn);
    return cell ? utf8FromGbk(cell->tip) : std::string();
}

int verifiedRows(const GridModel& grid) {
    int verified = 0;
    for (int row = 1; row < grid.rowCount(); ++row) {
        verified += std::string_view(statusName(grid, row)) != "unverified" ? 1 : 0;
    }
    return verified;
}

const char* endName(PassEnd end) {
    switch (end) {
        case PassEnd::Normal:
            return "normal";
        case PassEnd::Cancelled:
            return "cancelled";
        case PassEnd::EmptyArticle:
            return "empty-article";
        case PassEnd::NoDocuments:
            return "no-documents";
    }
    return "normal";
}

// Passes in the order baidu, 360, local.
std::vector<PassRecord> ordered(std::vector<PassRecord> passes) {
    std::stable_sort(passes.begin(), passes.end(), [](const PassRecord& a, const PassRecord& b) {
        return static_cast<int>(a.engine) < static_cast<int>(b.engine);
    });
    return passes;
}

std::string cellUtf8(const GridModel& grid, int row, int column) {
    return utf8FromGbk(grid.cellText(row, column));
}

// Line breaks and tabs of a segment would break the table.
std::string oneLine(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n' || c == '\t') {
            c = ' ';
        }
    }
    return text;
}

// The report's row for a grid row, if the report has it.
const ReportRow* reportRowOf(const CheckReport& report, Engine engine, int gridRow) {
    for (const ReportPass& pass : report.passes) {
        if (pass.engine != engine || gridRow < 1 ||
            static_cast<std::size_t>(gridRow) > pass.rows.size()) {
            continue;
        }
        const ReportRow& row = pass.rows[static_cast<std::size_t>(gridRow) - 1];
        if (row.number == std::to_string(gridRow)) {
            return &row;
        }
    }
    return nullptr;
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
std::string sourceCaption(const ReportRow* row) {
    if (row == nullptr || row->status != RowStatus::Hit) {
        return {};
    }
    return row->source ? row->source->title : "未识别";
}

nlohmann::ordered_json sourceJson(const ReportRow* row) {
    if (row == nullptr || row->status != RowStatus::Hit || !row->source) {
        return nullptr;
    }
    return {{"title", row->source->title}, {"url", row->source->address}};
}

// The best coverage of a verified row in 整句, else null.
nlohmann::ordered_json coverageJson(const ReportRow* row) {
    if (row == nullptr || !row->coverage) {
        return nullptr;
    }
    return *row->coverage;
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

std::string padded(const std::string& text, int width) {
    return text +
           std::string(static_cast<std::size_t>(std::max(0, width - displayWidth(text))), ' ');
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

CheckReport checkReportOf(const MemoryWindow& window, const std::vector<PassRecord>& passes,
                          const std::map<Engine, PassOutcome>& outcomes, const PassEnvironment& env,
                          const Text& article) {
    return buildCheckReport(passes, outcomes, env, article,
                            [&window](std::string_view label) { return window.caption(label); });
}

std::string jsonReport(const MemoryWindow& window, const std::vector<PassRecord>& passes,
                       const CheckReport& report, const std::vector<ArticleWarning>& warnings,
                       const std::vector<corpus::SkippedFile>* skipped) {
    nlohmann::ordered_json doc;
    doc["articleChars"] = utf8FromGbk(window.caption(component::kCharCountLabel));
    for (const ArticleWarning& warning : warnings) {
        doc["warnings"].push_back({{"kind", articleWarningName(warning.kind)},
                                   {"count", warning.count},
                                   {"firstByte", warning.firstByte},
                                   {"line", warning.line}});
    }
    doc["passes"] = nlohmann::ordered_json::array();
    for (const PassRecord& record : ordered(passes)) {
        PassView view = viewOf(record.engine);
        GridModel grid = window.grid(view.grid);
        nlohmann::ordered_json pass;
        pass["engine"] = view.engine;
        pass["end"] = endName(record.end);
        pass["originality"] = utf8FromGbk(window.caption(view.valueLabel));
        if (!view.verdictLabel.empty()) {
            pass["verdict"] = utf8FromGbk(window.caption(view.verdictLabel));
        }
        int verified = verifiedRows(grid);
        pass["verified"] = verified;
        pass["unverified"] = grid.rowCount() - 1 - verified;
        pass["coverage"] = utf8FromGbk(window.caption(view.coverageLabel));
        pass["rows"] = nlohmann::ordered_json::array();
        for (int row = 1; row < grid.rowCount(); ++row) {
            pass["rows"].push_back(
                {{"number", cellUtf8(grid, row, 0)},
                 {"text", cellUtf8(grid, row, 1)},
                 {"hits", cellUtf8(grid, row, 2)},
                 {"url", cellUtf8(grid, row, 3)},
                 {"status", statusName(grid, row)},
                 {"reason", reasonOf(grid, row)},
                 {"source", sourceJson(reportRowOf(report, record.engine, row))},
                 {"highlightCoverage", coverageJson(reportRowOf(report, record.engine, row))}});
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
    return doc.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

std::string textReport(const MemoryWindow& window, const std::vector<PassRecord>& passes,
                       const CheckReport& report) {
    std::ostringstream out;
    out << "文章字数: " << utf8FromGbk(window.caption(component::kCharCountLabel)) << "\n";
    for (const PassRecord& record : ordered(passes)) {
        PassView view = viewOf(record.engine);
        GridModel grid = window.grid(view.grid);
        int textWidth = displayWidth("文本");
        for (int row = 1; row < grid.rowCount(); ++row) {
            textWidth = std::max(textWidth, displayWidth(oneLine(cellUtf8(grid, row, 1))));
        }
        out << "\n== " << view.title << " ==\n";
        std::vector<std::string> statuses{"状态"};
        for (int row = 1; row < grid.rowCount(); ++row) {
            std::string reason = reasonOf(grid, row);
            statuses.push_back(cellUtf8(grid, row, kStatusColumn) +
                               (reason.empty() ? "" : "(" + reason + ")"));
        }
        std::vector<std::string> sources{"来源"};
        for (int row = 1; row < grid.rowCount(); ++row) {
            sources.push_back(oneLine(sourceCaption(reportRowOf(report, record.engine, row))));
        }
        int statusWidth = 0;
        int sourceWidth = 0;
        for (std::size_t i = 0; i < statuses.size(); ++i) {
            statusWidth = std::max(statusWidth, displayWidth(statuses[i]) + 2);
            sourceWidth = std::max(sourceWidth, displayWidth(sources[i]) + 2);
        }
        // 覆盖 in 整句: the best share of the segment one result's highlights cover.
        std::vector<std::string> coverages{"覆盖"};
        bool anyCoverage = false;
        for (int row = 1; row < grid.rowCount(); ++row) {
            coverages.push_back(cellUtf8(grid, row, kCoverageColumn));
            anyCoverage = anyCoverage || !coverages.back().empty();
        }
        const int coverageWidth = anyCoverage ? 6 : 0;
        out << padded("编号", 5) << padded("飘红", 5)
            << (anyCoverage ? padded(coverages[0], coverageWidth) : std::string())
            << padded(statuses[0], statusWidth) << padded(sources[0], sourceWidth)
            << padded("文本", textWidth) << "  搜索\n";
        for (int row = 1; row < grid.rowCount(); ++row) {
            const auto at = static_cast<std::size_t>(row);
            out << padded(cellUtf8(grid, row, 0), 5) << padded(cellUtf8(grid, row, 2), 5)
                << (anyCoverage ? padded(coverages[at], coverageWidth) : std::string())
                << padded(statuses[at], statusWidth) << padded(sources[at], sourceWidth)
                << padded(oneLine(cellUtf8(grid, row, 1)), textWidth) << "  "
                << cellUtf8(grid, row, 3) << "\n";
        }
        std::string value = utf8FromGbk(window.caption(view.valueLabel));
        out << view.title << "原创度: " << (value.empty() ? "-" : value);
        std::string coverage = utf8FromGbk(window.caption(view.coverageLabel));
        if (!coverage.empty()) {
            out << " (" << coverage << ")";
        }
        if (!view.verdictLabel.empty()) {
            std::string verdict = utf8FromGbk(window.caption(view.verdictLabel));
            if (!verdict.empty()) {
                out << "  " << verdict;
            }
        }
        out << "\n来源网站:";
        const ReportPass* pass = reportPassOf(report, record.engine);
        std::vector<DomainCount> summary =
            pass ? sourceSummary(pass->rows) : std::vector<DomainCount>();
        if (summary.empty()) {
            out << " 无";
        }
        out << "\n";
        for (const DomainCount& entry : summary) {
            out << "  " << entry.domain << "  " << entry.segments << "段\n";
        }
    }
    return out.str();
}

}  // namespace oc::cli
