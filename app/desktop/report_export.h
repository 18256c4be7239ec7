// 导出报告: the save dialog, whose chosen type decides the format, and the
// writing of the report with a clear message when it fails.
#pragma once

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
using ReportFileChooser = std::function<ReportFileChoice(QWidget* parent)>;

QString htmlReportFilter();  // "HTML 报告 (*.html *.htm)"
QString csvReportFilter();   // "CSV 表格 (*.csv)"

// Asks with a save file dialog.
ReportFileChoice askReportFile(QWidget* parent);

// The format of the chosen type, and the path with that format's extension:
// the name as chosen when it has one, else with ".html" or ".csv" added.
ReportFormat reportFormatOf(const ReportFileChoice& choice);
QString reportPathOf(const ReportFileChoice& choice);

// Writes the report where the user chose; false after a message saying what
// went wrong.
bool saveReport(const CheckReport& report, const ReportFileChoice& choice, Platform& platform);

}  // namespace oc
