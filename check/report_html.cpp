// The report as one self-contained HTML page: inline style, no script, nothing
// loaded from elsewhere, every text from a page or the article escaped.
#include <algorithm>

#include "check/article_marks.h"
#include "check/check_report.h"
#include "services/boundary_text.h"
#include "services/html_escape.h"
#include "services/url_parts.h"

namespace oc {
namespace {

constexpr char kStyle[] =
    "body{font-family:sans-serif;margin:2em;color:#222;line-height:1.5}"
    "table{border-collapse:collapse;margin:0.5em 0 1.5em}"
    "th,td{border:1px solid #bbb;padding:0.25em 0.5em;vertical-align:top;text-align:left}"
    "th{background:#eee}"
    ".article{white-space:pre-wrap;border:1px solid #bbb;padding:1em;max-width:60em}"
    "mark.hit,tr.hit td{background:#ffd6d6}"
    "mark.unverified,tr.unverified td{background:#e0e0e0}"
    "td.seg{max-width:30em}"
    ".legend span{padding:0 0.4em;margin-right:1em}";

std::string esc(const std::string& utf8) {
    return escapeHtml(utf8);
}

// A link only for http and https; anything else is shown as plain text.
std::string linkOrText(const std::string& url, const std::string& caption) {
    if (!isWebAddress(url)) {
        return esc(caption);
    }
    return "<a href=\"" + esc(url) + "\" rel=\"noreferrer\">" + esc(caption) + "</a>";
}

std::vector<const ReportPass*> baiduFirst(const CheckReport& report) {
    std::vector<const ReportPass*> passes;
    for (const ReportPass& pass : report.passes) {
        passes.push_back(&pass);
    }
    std::stable_sort(passes.begin(), passes.end(), [](const ReportPass* a, const ReportPass* b) {
        return a->engine == Engine::Baidu && b->engine != Engine::Baidu;
    });
    return passes;
}

const char* statusClass(RowStatus status) {
    return status == RowStatus::Hit ? "hit" : status == RowStatus::Unverified ? "unverified" : "";
}

std::string statusText(const ReportRow& row) {
    std::string text = statusName(row.status);
    if (row.status == RowStatus::Unverified && !row.reason.empty()) {
        text += "（" + row.reason + "）";
    }
    return text;
}

std::string sourceCaption(const ReportRow& row) {
    if (row.status != RowStatus::Hit) {
        return {};
    }
    return row.source ? row.source->title : "未识别";
}

// Line breaks of any form as "\n", for a pre-wrapped box.
std::string displayText(const Text& gbk) {
    std::string utf8 = utf8FromGbk(gbk);
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\r') {
            out += '\n';
            if (i + 1 < utf8.size() && utf8[i + 1] == '\n') {
                ++i;
            }
        } else {
            out += utf8[i];
        }
    }
    return out;
}

// Both engines cut the same segments; a segment is 命中 when either says so,
// else 未核实 when either says so, else 原创.
struct SegmentMark {
    RowStatus status = RowStatus::Pending;
    std::string tip;
};

std::vector<SegmentMark> combinedMarks(const std::vector<const ReportPass*>& passes,
                                       std::size_t count) {
    std::vector<SegmentMark> marks(count);
    for (std::size_t i = 0; i < count; ++i) {
        bool hit = false;
        bool unverified = false;
        bool original = false;
        for (const ReportPass* pass : passes) {
            if (i >= pass->rows.size()) {
                continue;
            }
            const ReportRow& row = pass->rows[i];
            hit = hit || row.status == RowStatus::Hit;
            unverified = unverified || row.status == RowStatus::Unverified;
            original = original || row.status == RowStatus::Original;
            std::string line = std::string(engineName(pass->engine)) + "：" + statusText(row);
            if (!row.hits.empty()) {
                line += "，飘红 " + row.hits;
            }
            if (row.status == RowStatus::Hit) {
                line += "，来源 " + sourceCaption(row);
                if (row.source && !row.source->address.empty()) {
                    line += "（" + row.source->address + "）";
                }
            }
            marks[i].tip += (marks[i].tip.empty() ? "" : "\n") + line;
        }
        marks[i].status = hit          ? RowStatus::Hit
                          : unverified ? RowStatus::Unverified
                          : original   ? RowStatus::Original
                                       : RowStatus::Pending;
    }
    return marks;
}

std::string markedArticle(const CheckReport& report, const std::vector<const ReportPass*>& passes) {
    const ReportPass* longest = nullptr;
    for (const ReportPass* pass : passes) {
        if (longest == nullptr || pass->rows.size() > longest->rows.size()) {
            longest = pass;
        }
    }
    std::vector<Text> segments;
    if (longest != nullptr) {
        for (const ReportRow& row : longest->rows) {
            segments.push_back(row.segment);
        }
    }
    std::vector<std::optional<ArticleSpan>> spans = locateSegments(report.article, segments);
    std::vector<SegmentMark> marks = combinedMarks(passes, segments.size());
    std::string out = "<div class=\"article\">";
    std::size_t done = 0;
    for (std::size_t i = 0; i < spans.size(); ++i) {
        const char* cls = statusClass(marks[i].status);
        if (!spans[i] || *cls == '\0' || spans[i]->begin < done) {
            continue;
        }
        out += esc(displayText(report.article.substr(done, spans[i]->begin - done)));
        out += std::string("<mark class=\"") + cls + "\" title=\"" + esc(marks[i].tip) + "\">" +
               esc(displayText(
                   report.article.substr(spans[i]->begin, spans[i]->end - spans[i]->begin))) +
               "</mark>";
        done = spans[i]->end;
    }
    out += esc(displayText(report.article.substr(std::min(done, report.article.size()))));
    return out + "</div>\n";
}

std::string passSummary(const std::vector<const ReportPass*>& passes) {
    std::string out = "<table><tr><th>引擎</th><th>原创度</th><th>核实</th><th>评语</th></tr>\n";
    for (const ReportPass* pass : passes) {
        out += "<tr><td>" + esc(engineName(pass->engine)) + "</td><td>" +
               esc(pass->value.empty() ? "—" : pass->value) + "</td><td>" +
               esc(pass->coverage.empty() && pass->cancelled ? "已取消" : pass->coverage) +
               "</td><td>" + esc(pass->verdict) + "</td></tr>\n";
    }
    return out + "</table>\n";
}

std::string rowTable(const ReportPass& pass) {
    std::string out =
        "<table><tr><th>序号</th><th>文本</th><th>飘红</th><th>状态</th><th>来源标题</th>"
        "<th>来源地址</th><th>搜索</th></tr>\n";
    for (const ReportRow& row : pass.rows) {
        std::string address = row.status == RowStatus::Hit && row.source ? row.source->address : "";
        out += std::string("<tr class=\"") + statusClass(row.status) + "\"><td>" + esc(row.number) +
               "</td><td class=\"seg\">" + esc(displayText(row.segment)) + "</td><td>" +
               esc(row.hits) + "</td><td>" + esc(statusText(row)) + "</td><td>" +
               linkOrText(address, sourceCaption(row)) + "</td><td>" +
               linkOrText(address, address) + "</td><td>" +
               linkOrText(row.searchUrl, row.searchUrl) + "</td></tr>\n";
    }
    return out + "</table>\n";
}

std::string summaryTable(const ReportPass& pass) {
    std::vector<DomainCount> summary = sourceSummary(pass.rows);
    if (summary.empty()) {
        return "<p>无</p>\n";
    }
    std::string out = "<table><tr><th>网站</th><th>段数</th></tr>\n";
    for (const DomainCount& entry : summary) {
        out += "<tr><td>" + esc(entry.domain) + "</td><td>" + std::to_string(entry.segments) +
               "</td></tr>\n";
    }
    return out + "</table>\n";
}

}  // namespace

std::string htmlReport(const CheckReport& report) {
    std::vector<const ReportPass*> passes = baiduFirst(report);
    std::string out =
        "<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\">\n"
        "<title>原创度检测报告</title>\n<style>";
    out += kStyle;
    out += "</style></head>\n<body>\n<h1>原创度检测报告</h1>\n<p>检测时间：" +
           esc(report.checkedAt) + "</p>\n<h2>检测设置</h2>\n<table>\n";
    for (const auto& [name, value] : report.settings) {
        out += "<tr><th>" + esc(name) + "</th><td>" + esc(value.empty() ? "无" : value) +
               "</td></tr>\n";
    }
    out += "</table>\n<h2>检测结果</h2>\n" + passSummary(passes);
    out +=
        "<h2>标记后的文章</h2>\n<p class=\"legend\"><span style=\"background:#ffd6d6\">命中</span>"
        "<span style=\"background:#e0e0e0\">未核实</span>原创不标记</p>\n";
    out += markedArticle(report, passes);
    for (const ReportPass* pass : passes) {
        out += "<h2>" + esc(engineName(pass->engine)) + "：逐段结果</h2>\n" + rowTable(*pass);
    }
    out += "<h2>来源网站</h2>\n";
    for (const ReportPass* pass : passes) {
        out += "<h3>" + esc(engineName(pass->engine)) + "</h3>\n" + summaryTable(*pass);
    }
    return out + "</body></html>\n";
}

}  // namespace oc
