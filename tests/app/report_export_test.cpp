// The window's 导出报告 and marked article after a run of the sample article
// against the search simulator.
#include "app/desktop/report_export.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHelpEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QThread>
#include <QToolTip>
#include <set>

#include "app/desktop/article_box.h"
#include "app/desktop/desktop_program.h"
#include "app/desktop/main_window.h"
#include "app/desktop/program_name.h"
#include "app/desktop/qt_text.h"
#include "app/desktop/result_grid.h"
#include "check/grid_model.h"
#include "check/report_builder.h"
#include "check/segment_status.h"
#include "settings/settings.h"
#include "tests/app/event_pump.h"
#include "tests/app/sample_program.h"
#include "tests/app/search_sim_process.h"
#include "tests/support/gbk.h"
#include "tests/support/scripted_platform.h"
#include "text/article_filters.h"

namespace oc {
namespace {
using testing::G;
using testing::pumpUntil;
using testing::SearchSimProcess;
using testing::U;

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The dialog's type decides the format; a name without that type's extension
// gets it, so the file opens in the program its content belongs to.
TEST(ReportExport, ChosenTypeDecidesFormatAndExtension) {
    const QString html = htmlReportFilter();
    const QString csv = csvReportFilter();
    EXPECT_EQ(reportFormatOf({QStringLiteral("/a/r.csv"), html}), ReportFormat::Html);
    EXPECT_EQ(reportFormatOf({QStringLiteral("/a/r.html"), csv}), ReportFormat::Csv);
    EXPECT_EQ(reportPathOf({QStringLiteral("/a/报告"), csv}), QStringLiteral("/a/报告.csv"));
    EXPECT_EQ(reportPathOf({QStringLiteral("/a/r.HTM"), html}), QStringLiteral("/a/r.HTM"));
    EXPECT_EQ(reportPathOf({QStringLiteral("/a/r.csv"), html}), QStringLiteral("/a/r.csv.html"));
    EXPECT_EQ(reportPathOf({QStringLiteral("/a/r.txt"), csv}), QStringLiteral("/a/r.txt.csv"));
}

class SampleRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        ASSERT_FALSE(sim_.url().isEmpty());
    }

    QTemporaryDir dir_;
    SearchSimProcess sim_{QStringList()};
    testing::ScriptedPlatform platform_;
};

// After a run the copied passages of the article are marked light red where
// they stand, with what each engine said as their tooltip; the text is left
// as it was, and an edit takes the marks away.
TEST_F(SampleRunTest, CopiedPassagesAreMarkedInTheArticle) {
    auto program = testing::startOnSampleArticle(dir_.path(), sim_.url(), sim_.url(), &platform_);
    MainWindow& window = program->window();
    auto* box = window.component<ArticleBox>(component::kArticleBox);
    const QString before = box->toPlainText();
    window.component<QPushButton>(component::kCheckButton)->click();
    ASSERT_TRUE(pumpUntil([&] { return !program->checkRunning(); }, std::chrono::seconds(60)));
    EXPECT_EQ(box->toPlainText(), before);

    // The segments either engine found copied, as the grids show them.
    std::set<std::string> copied;
    for (std::string_view name : {component::kBaiduGrid, component::k360Grid}) {
        ResultGrid* grid = window.grid(name);
        for (int row = 1; row < grid->rowCount(); ++row) {
            if (grid->cellText(row, kStatusColumn) == statusText(SegmentStatus::Hit)) {
                copied.insert(U(keepNonAsciiChars(grid->cellText(row, 1))));
            }
        }
    }
    ASSERT_GE(copied.size(), 5u);  // the sample holds five copied passages

    const QList<QTextEdit::ExtraSelection> selections = box->extraSelections();
    ASSERT_EQ(selections.size(), static_cast<qsizetype>(box->marks().size()));
    std::set<std::string> marked;
    int previousEnd = 0;
    for (qsizetype i = 0; i < selections.size(); ++i) {
        const BoxMark& mark = box->marks()[static_cast<std::size_t>(i)];
        EXPECT_EQ(selections[i].cursor.selectionStart(), mark.begin);
        EXPECT_EQ(selections[i].cursor.selectionEnd(), mark.end);
        EXPECT_GE(mark.begin, previousEnd);
        previousEnd = mark.end;
        // The marked stretch of the box reads as the segment once the
        // preparation's removals (line breaks, ASCII) are made.
        const std::string text = U(keepNonAsciiChars(
            gbkFromQString(before.mid(mark.begin, mark.end - mark.begin).remove('\n'))));
        EXPECT_EQ(selections[i].format.background().color(), QColor(255, 224, 224)) << text;
        marked.insert(text);
        EXPECT_TRUE(mark.tip.contains(QStringLiteral("百度：")) &&
                    mark.tip.contains(QStringLiteral("360：")))
            << mark.tip.toStdString();
        EXPECT_TRUE(mark.tip.contains(QStringLiteral("命中，飘红 ")));
        EXPECT_TRUE(mark.tip.contains(QStringLiteral("，来源 "))) << mark.tip.toStdString();
    }
    EXPECT_EQ(marked, copied);

    // Hovering a marked passage shows its tooltip; the text outside shows none.
    const BoxMark first = box->marks().front();
    QTextCursor inside(box->document());
    inside.setPosition(first.begin + 1);
    EXPECT_EQ(box->tipAt(first.begin + 1), first.tip);
    EXPECT_TRUE(box->tipAt(first.begin - 1).isEmpty() || first.begin == 0);
    QHelpEvent hover(QEvent::ToolTip, box->cursorRect(inside).center() + QPoint(2, 0),
                     box->viewport()->mapToGlobal(box->cursorRect(inside).center()));
    QCoreApplication::sendEvent(box->viewport(), &hover);
    EXPECT_EQ(QToolTip::text(), first.tip);
    QToolTip::hideText();

    // One typed character and the marks are gone.
    QTextCursor typing(box->document());
    typing.insertText(QStringLiteral("新"));
    EXPECT_TRUE(box->extraSelections().isEmpty());
    EXPECT_TRUE(box->marks().empty());
}

TEST_F(SampleRunTest, ExportWritesBothFormatsAndSaysWhenItCannot) {
    auto program = testing::startOnSampleArticle(dir_.path(), sim_.url(), sim_.url(), &platform_);
    MainWindow& window = program->window();
    auto* exportButton = window.component<QPushButton>(MainWindow::kExportReportButton);
    ASSERT_NE(exportButton, nullptr);
    EXPECT_FALSE(exportButton->isEnabled());  // nothing checked yet

    window.component<QPushButton>(component::kCheckButton)->click();
    ASSERT_TRUE(program->checkRunning());
    EXPECT_FALSE(exportButton->isEnabled());
    ASSERT_TRUE(pumpUntil([&] { return !program->checkRunning(); }, std::chrono::seconds(60)));
    EXPECT_TRUE(exportButton->isEnabled());

    ReportFileChoice choice;
    int asked = 0;
    QString suggested;
    program->setReportFileChooser([&](QWidget*, const QString& path) {
        ++asked;
        suggested = path;
        return choice;
    });
    // Cancelling the dialog writes nothing.
    exportButton->click();
    EXPECT_EQ(asked, 1);
    // The name suggested: the article's title and today's date.
    EXPECT_EQ(QFileInfo(suggested).fileName(), QStringLiteral("慢一点，再慢一点_") +
                                                   QDate::currentDate().toString(Qt::ISODate) +
                                                   QStringLiteral(".html"));
    auto confirmation = [&window] {
        return window.findChild<QMessageBox*>(QStringLiteral("导出完成"));
    };
    EXPECT_EQ(confirmation(), nullptr);

    choice = {dir_.filePath(QStringLiteral("报告")), htmlReportFilter()};
    exportButton->click();
    // Said, with a way to the folder.
    QMessageBox* done = confirmation();
    ASSERT_NE(done, nullptr);
    EXPECT_TRUE(done->text().contains(QStringLiteral("报告.html")));
    for (QAbstractButton* button : done->buttons()) {
        if (button->text() == QStringLiteral("打开所在文件夹")) {
            button->click();
        }
    }
    EXPECT_EQ(platform_.openedFiles(),
              std::vector<std::string>{QFile::encodeName(dir_.path()).toStdString()});
    done->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const QString html = QString::fromUtf8(contentOf(dir_.filePath(QStringLiteral("报告.html"))));
    EXPECT_TRUE(html.startsWith(QStringLiteral("<!DOCTYPE html>"))) << html.left(80).toStdString();
    EXPECT_TRUE(html.contains(QStringLiteral("来源网站")));
    EXPECT_TRUE(html.contains(QStringLiteral("命中")));
    // The sources are the simulator's corpus documents.
    EXPECT_TRUE(html.contains(QStringLiteral(".txt")));

    choice = {dir_.filePath(QStringLiteral("表格.csv")), csvReportFilter()};
    exportButton->click();
    // The folder of the last export is suggested again.
    EXPECT_EQ(QFileInfo(suggested).absolutePath(), QFileInfo(dir_.path()).absoluteFilePath());
    const QByteArray csv = contentOf(dir_.filePath(QStringLiteral("表格.csv")));
    EXPECT_TRUE(csv.startsWith(
        QByteArray("\xEF\xBB\xBF") +
        QStringLiteral("引擎,序号,文本,飘红,状态,原因,来源标题,来源地址,搜索,覆盖").toUtf8() +
        "\r\n"));
    // One row per segment and engine, both engines there.
    EXPECT_TRUE(csv.contains(QStringLiteral("\r\n百度,1,").toUtf8()));
    EXPECT_TRUE(csv.contains(QStringLiteral("\r\n360,1,").toUtf8()));
    EXPECT_TRUE(platform_.messages().empty());

    // A folder that does not exist: a message, no file.
    choice = {dir_.filePath(QStringLiteral("没有/报告.csv")), csvReportFilter()};
    exportButton->click();
    ASSERT_EQ(platform_.messages().size(), 1u);
    EXPECT_NE(U(platform_.messages()[0].message).find("无法写入报告文件"), std::string::npos);
    EXPECT_FALSE(QFile::exists(dir_.filePath(QStringLiteral("没有/报告.csv"))));
}

// Qt's own dialogs speak Chinese: the save dialog of 导出报告 offers 保存 and 取消.
TEST(ReportName, TheSaveDialogIsInChinese) {
    ASSERT_TRUE(installQtTranslations());
    QFileDialog dialog(nullptr, QStringLiteral("导出报告"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    QStringList captions;
    for (QAbstractButton* button : dialog.findChild<QDialogButtonBox*>()->buttons()) {
        captions << button->text();
    }
    EXPECT_TRUE(captions.join(QLatin1Char(' ')).contains(QStringLiteral("保存")))
        << captions.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(captions.join(QLatin1Char(' ')).contains(QStringLiteral("取消")))
        << captions.join(QLatin1Char(' ')).toStdString();
}

// A title without any character a file name cannot hold, cut to 40 characters;
// no title at all gives the program's own name for a report.
TEST(ReportName, ComesFromTheTitleAndTheDate) {
    const QDate date(2026, 12, 9);
    EXPECT_EQ(suggestedReportName(G("\r\n  春天 / 的*早晨?  \r\n正文"), date),
              QStringLiteral("春天 _ 的_早晨__2026-12-09.html"));
    EXPECT_EQ(suggestedReportName(G("..隐藏"), date), QStringLiteral("隐藏_2026-12-09.html"));
    EXPECT_EQ(suggestedReportName(std::string(100, 'a'), date),
              QString(40, QLatin1Char('a')) + QStringLiteral("_2026-12-09.html"));
    EXPECT_EQ(suggestedReportName("", date), QStringLiteral("原创度检测报告_2026-12-09.html"));
}

// The report describes the check as it ran: settings changed after it (飘红检测数,
// 忽略网站, 页面超时) are not its settings, and its time is when it started, not the export.
TEST_F(SampleRunTest, ExportStatesTheSettingsAndStartOfTheCheck) {
    const Text settings = dir_.path().toStdString() + "/" + G("配置.ini");
    ASSERT_TRUE(saveParameterTexts(settings, {"38", "30", "5", "0", G("own-site.example"), "45"}));
    auto program = testing::startOnSampleArticle(dir_.path(), sim_.url(), sim_.url(), &platform_);
    MainWindow& window = program->window();
    const std::string before = reportTimestamp(std::chrono::system_clock::now());
    window.component<QPushButton>(component::kCheckButton)->click();
    ASSERT_TRUE(pumpUntil([&] { return !program->checkRunning(); }, std::chrono::seconds(60)));
    const std::string after = reportTimestamp(std::chrono::system_clock::now());

    ASSERT_TRUE(
        saveParameterTexts(settings, {"38", "20", "5", "0", G("later-site.example"), "90"}));
    // The export comes in a later second than the check's start.
    while (reportTimestamp(std::chrono::system_clock::now()) == after) {
        QThread::msleep(20);
    }
    const ReportFileChoice choice{dir_.filePath(QStringLiteral("报告.html")), htmlReportFilter()};
    program->setReportFileChooser([&](QWidget*, const QString&) { return choice; });
    window.component<QPushButton>(MainWindow::kExportReportButton)->click();
    const std::string html = contentOf(choice.path).toStdString();
    ASSERT_FALSE(html.empty());
    EXPECT_NE(html.find("<th>飘红检测数</th><td>30</td>"), std::string::npos);
    EXPECT_NE(html.find("<th>忽略网站</th><td>own-site.example</td>"), std::string::npos);
    EXPECT_NE(html.find("<th>页面超时</th><td>45 秒</td>"), std::string::npos);
    EXPECT_EQ(html.find("later-site.example"), std::string::npos);
    EXPECT_TRUE(html.find("检测时间：" + before + "<") != std::string::npos ||
                html.find("检测时间：" + after + "<") != std::string::npos)
        << html.substr(0, 400);
}

// A settings file that cannot be used (here a folder) is named with its reason
// once, at the first check, not at every check; its defaults apply.
TEST_F(SampleRunTest, ASettingsFileThatCannotBeUsedIsNamedOnce) {
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("配置.ini")));
    auto program = testing::startOnSampleArticle(dir_.path(), sim_.url(), sim_.url(), &platform_);
    MainWindow& window = program->window();
    for (int check = 0; check < 2; ++check) {
        window.component<QPushButton>(component::kCheckButton)->click();
        ASSERT_TRUE(pumpUntil([&] { return !program->checkRunning(); }, std::chrono::seconds(60)));
    }
    int named = 0;
    for (const testing::ShownMessage& shown : platform_.messages()) {
        named += U(shown.message).find("无法使用（这是一个文件夹") != std::string::npos;
    }
    EXPECT_EQ(named, 1);
    EXPECT_GT(window.component<ResultGrid>(component::kBaiduGrid)->model()->rowCount(), 0);
}

}  // namespace
}  // namespace oc
