#include "app/desktop/report_export.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

#include "services/boundary_text.h"

namespace oc {

QString htmlReportFilter() {
    return QStringLiteral("HTML 报告 (*.html *.htm)");
}

QString csvReportFilter() {
    return QStringLiteral("CSV 表格 (*.csv)");
}

ReportFileChoice askReportFile(QWidget* parent) {
    ReportFileChoice choice;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    choice.path = QFileDialog::getSaveFileName(
        parent, QStringLiteral("导出报告"), folder + QStringLiteral("/原创度检测报告.html"),
        htmlReportFilter() + QStringLiteral(";;") + csvReportFilter(), &choice.filter);
    return choice;
}

ReportFormat reportFormatOf(const ReportFileChoice& choice) {
    return choice.filter == csvReportFilter() ? ReportFormat::Csv : ReportFormat::Html;
}

QString reportPathOf(const ReportFileChoice& choice) {
    const ReportFormat format = reportFormatOf(choice);
    const std::optional<ReportFormat> named = reportFormatFor(choice.path.toStdString());
    if (named == format) {
        return choice.path;
    }
    return choice.path +
           (format == ReportFormat::Csv ? QStringLiteral(".csv") : QStringLiteral(".html"));
}

bool saveReport(const CheckReport& report, const ReportFileChoice& choice, Platform& platform) {
    const QString path = reportPathOf(choice);
    Text reason;
    if (writeReportFile(path.toStdString(), report, &reason)) {
        return true;
    }
    const std::string message = std::string("无法写入报告文件：")
                                    .append(QFileInfo(path).absoluteFilePath().toStdString())
                                    .append("\n原因：")
                                    .append(utf8FromGbk(reason))
                                    .append("\n请换一个位置再导出。");
    platform.messageBox(gbkFromUtf8(message), kMbOk);
    return false;
}

}  // namespace oc
