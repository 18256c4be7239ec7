#include "check/check_report.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "services/boundary_text.h"
#include "services/file_contents.h"
#include "services/html_document.h"
#include "tests/support/file_fixtures.h"
#include "tests/support/gbk.h"

namespace oc {
namespace {
using testing::G;

ReportRow row(int number, const std::string& segment, RowStatus status,
              std::optional<SegmentSource> source = std::nullopt) {
    ReportRow r;
    r.number = std::to_string(number);
    r.segment = G(segment);
    r.status = status;
    r.hits = status == RowStatus::Hit ? "1" : status == RowStatus::Original ? "0" : "";
    r.reason = status == RowStatus::Unverified ? "屏蔽/验证码" : "";
    r.source = std::move(source);
    r.searchUrl = "http://www.baidu.com/s?wd=%D6%D0&rn=20&lm=0";
    return r;
}

// An article of three segments (6 characters each) with ASCII and a blank line.
CheckReport sampleReport() {
    CheckReport report;
    report.checkedAt = "2026-12-08 11:30:00";
    report.settings = {{"段落字数", "6"}, {"忽略网站", "mysite.cn"}};
    report.article = G("开头ab春风又绿江南\r\n\r\n岸明月何时照我还x床前明月光");
    ReportPass baidu;
    baidu.engine = Engine::Baidu;
    baidu.value = "50%";
    baidu.coverage = "已核实 2/3";
    baidu.rows = {row(1, "开头春风又绿", RowStatus::Original),
                  row(2, "江南\r\n\r\n岸明月何", RowStatus::Hit,
                      SegmentSource{"<script>alert(\"x\")</script> '标题' & co",
                                    "https://a.cn/p?x=1&y=\"2\"", "a.cn"}),
                  row(3, "时照我还床前明月光", RowStatus::Unverified)};
    ReportPass so360;
    so360.engine = Engine::So360;
    so360.value = "0%";
    so360.coverage = "已核实 3/3";
    so360.verdict = "别灰心额，还需努力";
    so360.rows = {row(1, "开头春风又绿", RowStatus::Hit,
                      SegmentSource{"=HYPERLINK(\"http://evil\")", "javascript:alert(1)", ""}),
                  row(2, "江南\r\n\r\n岸明月何", RowStatus::Hit),
                  row(3, "时照我还床前明月光", RowStatus::Hit,
                      SegmentSource{"-2+3", "http://b.cn/", "b.cn"})};
    report.passes = {so360, baidu};  // written Baidu first whatever the order here
    return report;
}

TEST(CheckReport, CsvIsSpreadsheetSafe) {
    std::string csv = csvReport(sampleReport());
    ASSERT_EQ(
        csv.rfind("\xEF\xBB\xBF引擎,序号,文本,飘红,状态,原因,来源标题,来源地址,搜索,覆盖\r\n", 0),
        0u);
    // Every line ends in CR LF; a line break inside a segment stays in its quoted cell.
    EXPECT_NE(csv.find("\r\n百度,1,开头春风又绿,0,原创,,,,http"), std::string::npos);
    EXPECT_NE(
        csv.find("百度,2,\"江南\r\n\r\n岸明月何\",1,命中,,\"<script>alert(\"\"x\"\")</script> "
                 "'标题' & co\",\"https://a.cn/p?x=1&y=\"\"2\"\"\",http"),
        std::string::npos);
    EXPECT_NE(csv.find("百度,3,时照我还床前明月光,,未核实,屏蔽/验证码,,,http"), std::string::npos);
    // Formulas from pages are quoted out; a hit without a source reads 未识别.
    EXPECT_NE(
        csv.find(
            "360,1,开头春风又绿,1,命中,,\"'=HYPERLINK(\"\"http://evil\"\")\",javascript:alert(1),"),
        std::string::npos);
    EXPECT_NE(csv.find("360,2,\"江南\r\n\r\n岸明月何\",1,命中,,未识别,,"), std::string::npos);
    EXPECT_NE(csv.find("360,3,时照我还床前明月光,1,命中,,'-2+3,http://b.cn/,"), std::string::npos);
    EXPECT_LT(csv.find("百度,3"), csv.find("360,1"));
    std::size_t lines = 0;
    for (std::size_t at = csv.find("\r\n"); at != std::string::npos;
         at = csv.find("\r\n", at + 2)) {
        ++lines;
    }
    EXPECT_EQ(lines, 7u + 4u);  // header, six rows, and the two line breaks in each of two cells
    EXPECT_EQ(csv.find('\n', 0) - 1, csv.find("\r\n"));
}

// 整句's 覆盖 and a 不计 last segment, in both formats.
TEST(CheckReport, CoverageAndASkippedLastSegmentAreWritten) {
    CheckReport report = sampleReport();
    report.passes[1].rows[0].coverage = 92;
    ReportRow skipped = row(4, "床前", RowStatus::Skipped);
    skipped.reason = "最后一段过短";
    report.passes[1].rows.push_back(skipped);
    const std::string csv = csvReport(report);
    EXPECT_NE(csv.find("\r\n百度,1,开头春风又绿,0,原创,,,,http://www.baidu.com/"
                       "s?wd=%D6%D0&rn=20&lm=0,92%\r\n"),
              std::string::npos);
    EXPECT_NE(csv.find("\r\n百度,4,床前,,不计,最后一段过短,,,http"), std::string::npos);
    const std::string html = htmlReport(report);
    EXPECT_NE(html.find("<th>飘红</th><th>覆盖</th>"), std::string::npos);
    EXPECT_NE(html.find("<td>0</td><td>92%</td><td>原创</td>"), std::string::npos);
    EXPECT_NE(html.find("<td>不计"), std::string::npos);
}

TEST(CheckReport, HtmlEscapesPageTextAndRunsNothing) {
    std::string html = htmlReport(sampleReport());
    EXPECT_NE(html.find("<meta charset=\"utf-8\">"), std::string::npos);
    EXPECT_EQ(html.find("<script"), std::string::npos);
    EXPECT_NE(
        html.find("&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt; &#39;标题&#39; &amp; co"),
        std::string::npos);

    HtmlDocument doc(html);
    ASSERT_TRUE(doc.ok());
    EXPECT_TRUE(doc.select("//script | //iframe | //link | //img | //object | //*[@src]").empty());
    EXPECT_TRUE(doc.select("//*[@*[starts-with(name(), 'on')]]").empty());
    for (HtmlElement link : doc.select("//a")) {
        std::string href = doc.attribute(link, "href");
        EXPECT_TRUE(href.rfind("http://", 0) == 0 || href.rfind("https://", 0) == 0) << href;
    }
    // The javascript: address is shown, as text.
    EXPECT_NE(html.find("<td>javascript:alert(1)</td>"), std::string::npos);
    EXPECT_EQ(doc.text(doc.selectFirst("//a[@href='https://a.cn/p?x=1&y=\"2\"']")),
              "<script>alert(\"x\")</script> '标题' & co");
}

// A local document's file name that is no UTF-8, page titles with bidi
// overrides, ESC and DEL, and cells that a spreadsheet would split or run.
TEST(CheckReport, ReportsHoldValidUtf8WithoutControlsAndSpreadsheetsRunNoCell) {
    CheckReport report = sampleReport();
    ReportPass local;
    local.engine = Engine::Local;
    local.rows = {row(1, "开头春风又绿", RowStatus::Hit,
                      SegmentSource{"txt.exe\u202Ecod\x1B[31m\x7F", "/docs/\xFF\xFEname.txt",
                                    "/docs/\xFF\xFEname.txt"}),
                  row(2, "江南", RowStatus::Hit, SegmentSource{"x;=1+2", "＝HYPERLINK(1)", "d"}),
                  row(3, "岸明", RowStatus::Hit, SegmentSource{"＋1", "－2", "d"}),
                  row(4, "月何", RowStatus::Hit, SegmentSource{"＠SUM(A1)", "plain", "d"})};
    report.passes.push_back(local);
    for (const std::string& file : {csvReport(report), htmlReport(report)}) {
        EXPECT_TRUE(isValidUtf8(file));
        for (const char* control : {"\x1B", "\x7F", "\u202E"}) {
            EXPECT_EQ(file.find(control), std::string::npos) << control;
        }
        EXPECT_NE(file.find("txt.execod[31m"), std::string::npos);
        EXPECT_NE(file.find("/docs/\uFFFD\uFFFDname.txt"), std::string::npos);
    }
    const std::string csv = csvReport(report);
    EXPECT_NE(csv.find(",命中,,\"x;=1+2\",'＝HYPERLINK(1),"), std::string::npos) << csv;
    EXPECT_NE(csv.find(",命中,,'＋1,'－2,"), std::string::npos);
    EXPECT_NE(csv.find(",命中,,'＠SUM(A1),plain,"), std::string::npos);
}

TEST(CheckReport, HtmlMarksTheArticleOnceInOrder) {
    CheckReport report = sampleReport();
    HtmlDocument doc(htmlReport(report));
    HtmlElement article = doc.selectFirst("//div[@class='article']");
    // Line breaks as the box shows them, the whole article once.
    EXPECT_EQ(doc.text(article), "开头ab春风又绿江南\n\n岸明月何时照我还x床前明月光");
    std::vector<HtmlElement> marks = doc.select("//div[@class='article']/mark");
    // Both engines: 命中 by either wins, so all three segments are marked 命中.
    ASSERT_EQ(marks.size(), 3u);
    EXPECT_EQ(doc.text(marks[0]), "开头ab春风又绿");
    EXPECT_EQ(doc.attribute(marks[0], "class"), "hit");
    EXPECT_EQ(doc.text(marks[1]), "江南\n\n岸明月何");
    EXPECT_EQ(doc.attribute(marks[1], "title"),
              "百度：命中，飘红 1，来源 <script>alert(\"x\")</script> '标题' & co"
              "（https://a.cn/p?x=1&y=\"2\"）\n360：命中，飘红 1，来源 未识别");
    EXPECT_EQ(doc.text(marks[2]), "时照我还x床前明月光");

    // Baidu alone: 原创 unmarked, 未核实 grey.
    report.passes.erase(report.passes.begin());
    HtmlDocument baiduOnly(htmlReport(report));
    marks = baiduOnly.select("//div[@class='article']/mark");
    ASSERT_EQ(marks.size(), 2u);
    EXPECT_EQ(baiduOnly.attribute(marks[0], "class"), "hit");
    EXPECT_EQ(baiduOnly.attribute(marks[1], "class"), "unverified");
    EXPECT_EQ(baiduOnly.attribute(marks[1], "title"), "百度：未核实（屏蔽/验证码）");
}

TEST(CheckReport, SourceSummaryCountsSegmentsPerDomain) {
    std::vector<ReportRow> rows = {
        row(1, "甲", RowStatus::Hit, SegmentSource{"t", "http://b.cn/1", "b.cn"}),
        row(2, "乙", RowStatus::Hit, SegmentSource{"t", "http://a.cn/1", "a.cn"}),
        row(3, "丙", RowStatus::Hit, SegmentSource{"t", "http://c.cn/1", "c.cn"}),
        row(4, "丁", RowStatus::Hit, SegmentSource{"t", "http://c.cn/2", "c.cn"}),
        row(5, "戊", RowStatus::Hit, SegmentSource{"t", "http://www.baidu.com/link?url=1", ""}),
        row(6, "己", RowStatus::Hit),
        row(7, "庚", RowStatus::Original, SegmentSource{"t", "http://d.cn/", "d.cn"})};
    EXPECT_EQ(sourceSummary(rows),
              (std::vector<DomainCount>{{"c.cn", 2}, {"a.cn", 1}, {"b.cn", 1}}));
    EXPECT_TRUE(sourceSummary({}).empty());
}

TEST(CheckReport, FilesAreWrittenByTheirExtension) {
    EXPECT_EQ(reportFormatFor("a/报告.HTML"), ReportFormat::Html);
    EXPECT_EQ(reportFormatFor("r.htm"), ReportFormat::Html);
    EXPECT_EQ(reportFormatFor("r.Csv"), ReportFormat::Csv);
    EXPECT_FALSE(reportFormatFor("r.txt"));
    EXPECT_FALSE(reportFormatFor("dir.csv/report"));
    EXPECT_FALSE(reportFormatFor("report"));

    std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("oc-report-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string csvPath = (folder / "报告.csv").string();
    ASSERT_TRUE(writeReportFile(csvPath, sampleReport()));
    EXPECT_EQ(readWholeFile(csvPath).bytes, csvReport(sampleReport()));
    const std::string htmlPath = (folder / "r.html").string();
    ASSERT_TRUE(writeReportFile(htmlPath, sampleReport()));
    EXPECT_EQ(readWholeFile(htmlPath).bytes.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_FALSE(writeReportFile((folder / "r.txt").string(), sampleReport()));
    EXPECT_FALSE(writeReportFile((folder / "missing" / "r.csv").string(), sampleReport()));
    EXPECT_TRUE(canReplaceFile(csvPath));
    EXPECT_TRUE(canReplaceFile((folder / "new.csv").string()));
    EXPECT_FALSE(canReplaceFile((folder / "missing" / "r.csv").string()));
    EXPECT_FALSE(canReplaceFile(folder.string()));
    std::filesystem::remove_all(folder);
}

TEST(ReportFile, ALinkAtTheNameIsReplacedAndItsTargetNeverTouched) {
    namespace fs = std::filesystem;
    const fs::path folder =
        fs::temp_directory_path() / ("oc-report-link-" + std::to_string(::getpid()));
    fs::create_directories(folder / "victim");
    const std::string victim = (folder / "victim" / ".bashrc").string();
    testing::putFileBytes(victim, "the victim's own file\n");
    const fs::path link = folder / "report.html";
    fs::create_symlink(victim, link);
    // A link to a file not made yet is not written through either.
    const fs::path dangling = folder / "report.csv";
    fs::create_symlink(folder / "victim" / "new-file", dangling);

    ASSERT_TRUE(canReplaceFile(link.string(), kReportWrite));
    Text reason;
    ASSERT_TRUE(writeReportFile(link.string(), sampleReport(), &reason));
    ASSERT_TRUE(writeReportFile(dangling.string(), sampleReport(), &reason));
    EXPECT_FALSE(fs::is_symlink(link));
    EXPECT_EQ(readWholeFile(link.string()).bytes.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_FALSE(fs::is_symlink(dangling));
    EXPECT_EQ(readWholeFile(victim).bytes, "the victim's own file\n");
    EXPECT_FALSE(fs::exists(folder / "victim" / "new-file"));
    // Nothing is left beside the name.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 3);

    // A failed write says why.
    EXPECT_FALSE(writeReportFile((folder / "missing" / "r.csv").string(), sampleReport(), &reason));
    EXPECT_EQ(reason, G("文件夹不存在"));
    fs::create_directories(folder / "taken.html");
    EXPECT_FALSE(writeReportFile((folder / "taken.html").string(), sampleReport(), &reason));
    EXPECT_EQ(reason, G("同名的文件夹占着这个位置"));
    fs::remove_all(folder);
}

}  // namespace
}  // namespace oc
