// The report as one self-contained HTML page: inline style, no script, nothing
// loaded from elsewhere, every text from a page or the article escaped.
#include <algorithm>

#include "check/check_report.h"
#include "check/passage_marks.h"
#include "services/boundary_text.h"
#include "services/html_escape.h"
#include "services/shown_text.h"
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

// Text that is no UTF-8 or holds control characters (bidirectional ones
// included) is made plain before it is escaped.
std::string esc(const std::string& utf8) {
    return escapeHtml(reportText(utf8));
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

std::string markedArticle(const CheckReport& report, const std::vector<const ReportPass*>& passes) {
    std::string out = "<div class=\"article\">";
    std::size_t done = 0;
    for (const PassageMark& mark : markedPassages(report.article, passes)) {
        out += esc(displayText(report.article.substr(done, mark.span.begin - done)));
        out += std::string("<mark class=\"") + statusClass(mark.status) + "\" title=\"" +
               esc(mark.tip) + "\">" +
               esc(displayText(
                   report.article.substr(mark.span.begin, mark.span.end - mark.span.begin))) +
               "</mark>";
        done = mark.span.end;
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
        "<table><tr><th>序号</th><th>文本</th><th>飘红</th><th>覆盖</th><th>状态</th><th>来源标题</"
        "th>"
        "<th>来源地址</th><th>搜索</th></tr>\n";
    for (const ReportRow& row : pass.rows) {
        std::string address = row.status == RowStatus::Hit && row.source ? row.source->address : "";
        out += std::string("<tr class=\"") + statusClass(row.status) + "\"><td>" + esc(row.number) +
               "</td><td class=\"seg\">" + esc(displayText(row.segment)) + "</td><td>" +
               esc(row.hits) + "</td><td>" + esc(coverageCaption(row)) + "</td><td>" +
               esc(rowStatusCaption(row)) + "</td><td>" +
               linkOrText(address, rowSourceCaption(row)) + "</td><td>" +
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
