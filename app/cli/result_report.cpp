#include "app/cli/result_report.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <sstream>

#include "check/pass_steps.h"
#include "check/segmentation.h"
#include "services/boundary_text.h"
#include "text/article_filters.h"

namespace oc::cli {
namespace {

struct PassView {
    const char* engine;
    const char* title;
};

PassView viewOf(Engine engine) {
    if (engine == Engine::Baidu) {
        return {"baidu", "百度"};
    }
    if (engine == Engine::Local) {
        return {"local", "本地文档"};
    }
    return {"360", "360"};
}

// The status of a row as JSON names it.
const char* jsonStatusName(RowStatus status) {
    switch (status) {
        case RowStatus::Hit:
            return "hit";
        case RowStatus::Original:
            return "original";
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

// What the window shows beside the article: empty when no pass began.
std::string articleChars(const std::vector<PassRecord>& passes, const CheckReport& report) {
    const bool began = std::any_of(passes.begin(), passes.end(), [](const PassRecord& record) {
        return record.end != PassEnd::EmptyArticle;
    });
    return began && !report.article.empty()
               ? std::to_string(articleCharCount(prepareArticle(report.article)))
               : std::string();
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

// Line breaks and tabs of a segment would break the table.
std::string oneLine(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n' || c == '\t') {
            c = ' ';
        }
    }
    return text;
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
        pass["engine"] = viewOf(record.engine).engine;
        pass["end"] = endName(record.end);
        pass["originality"] = result.value;
        if (!componentsOf(record.engine).verdictLabel.empty()) {
            pass["verdict"] = result.verdict;
        }
        const int verified = verifiedRows(result);
        pass["verified"] = verified;
        pass["unverified"] = static_cast<int>(result.rows.size()) - verified;
        pass["coverage"] = result.coverage;
        pass["rows"] = nlohmann::ordered_json::array();
        for (const ReportRow& row : result.rows) {
            pass["rows"].push_back({{"number", row.number},
                                    {"text", utf8FromGbk(row.segment)},
                                    {"hits", row.hits},
                                    {"url", row.searchUrl},
                                    {"status", jsonStatusName(row.status)},
                                    {"reason", row.reason},
                                    {"source", sourceJson(row)}});
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

std::string textReport(const std::vector<PassRecord>& passes, const CheckReport& report) {
    static const ReportPass none;
    std::ostringstream out;
    out << "文章字数: " << articleChars(passes, report) << "\n";
    for (const PassRecord& record : ordered(passes)) {
        const PassView view = viewOf(record.engine);
        const ReportPass* shown = reportPassOf(report, record.engine);
        const ReportPass& result = shown != nullptr ? *shown : none;
        std::vector<std::string> texts{"文本"};
        std::vector<std::string> statuses{"状态"};
        std::vector<std::string> sources{"来源"};
        for (const ReportRow& row : result.rows) {
            texts.push_back(oneLine(utf8FromGbk(row.segment)));
            statuses.push_back(statusCaption(row));
            sources.push_back(oneLine(sourceCaption(row)));
        }
        int textWidth = 0;
        int statusWidth = 0;
        int sourceWidth = 0;
        for (std::size_t i = 0; i < statuses.size(); ++i) {
            textWidth = std::max(textWidth, displayWidth(texts[i]));
            statusWidth = std::max(statusWidth, displayWidth(statuses[i]) + 2);
            sourceWidth = std::max(sourceWidth, displayWidth(sources[i]) + 2);
        }
        out << "\n== " << view.title << " ==\n";
        out << padded("编号", 5) << padded("飘红", 5) << padded(statuses[0], statusWidth)
            << padded(sources[0], sourceWidth) << padded(texts[0], textWidth) << "  搜索\n";
        for (std::size_t i = 0; i < result.rows.size(); ++i) {
            const ReportRow& row = result.rows[i];
            out << padded(row.number, 5) << padded(row.hits, 5)
                << padded(statuses[i + 1], statusWidth) << padded(sources[i + 1], sourceWidth)
                << padded(texts[i + 1], textWidth) << "  " << row.searchUrl << "\n";
        }
        out << view.title << "原创度: " << (result.value.empty() ? "-" : result.value);
        if (!result.coverage.empty()) {
            out << " (" << result.coverage << ")";
        }
        if (!result.verdict.empty()) {
            out << "  " << result.verdict;
        }
        out << "\n来源网站:";
        std::vector<DomainCount> summary = sourceSummary(result.rows);
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
