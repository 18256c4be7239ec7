// 导出报告: the save dialog, whose chosen type decides the format, and the
// writing of the report with a clear message when it fails.
#pragma once

#include <QDate>
#include <QString>
#include <functional>

#include "check/check_report.h"
#include "services/platform.h"

class QWidget;

namespace oc {

// The save dialog's answer: the file and the type (one of the filters
// below); an empty path when the user cancelled.
struct ReportFileChoice {
    QString path;
    QString filter;
};
// Asked with the path the dialog suggests.
using ReportFileChooser =
    std::function<ReportFileChoice(QWidget* parent, const QString& suggested)>;

QString htmlReportFilter();  // "HTML 报告 (*.html *.htm)"
QString csvReportFilter();   // "CSV 表格 (*.csv)"

// Asks with a save file dialog that suggests this path.
ReportFileChoice askReportFile(QWidget* parent, const QString& suggested);

// The file name a report is suggested under: the article's title (its first
// line that is not empty, at most 40 characters, no character a file name
// cannot hold), "_" and the date; "原创度检测报告_<date>.html" without a title.
QString suggestedReportName(const Text& article, const QDate& date);

// Says where the report went, with a button that opens its folder.
void confirmExport(QWidget* parent, const QString& path, Platform& platform);

// The format of the chosen type, and the path with that format's extension:
// the name as chosen when it has one, else with ".html" or ".csv" added.
ReportFormat reportFormatOf(const ReportFileChoice& choice);
QString reportPathOf(const ReportFileChoice& choice);

// Writes the report where the user chose; false after a message saying what
// went wrong.
bool saveReport(const CheckReport& report, const ReportFileChoice& choice, Platform& platform);

}  // namespace oc
