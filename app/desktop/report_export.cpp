#include "app/desktop/report_export.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

#include "app/desktop/program_name.h"
#include "app/desktop/qt_text.h"
#include "services/boundary_text.h"

namespace oc {

QString htmlReportFilter() {
    return QStringLiteral("HTML 报告 (*.html *.htm)");
}

QString csvReportFilter() {
    return QStringLiteral("CSV 表格 (*.csv)");
}

ReportFileChoice askReportFile(QWidget* parent, const QString& suggested) {
    ReportFileChoice choice;
    choice.path = QFileDialog::getSaveFileName(
        parent, QStringLiteral("导出报告"), suggested,
        htmlReportFilter() + QStringLiteral(";;") + csvReportFilter(), &choice.filter);
    return choice;
}

QString suggestedReportName(const Text& article, const QDate& date) {
    constexpr int kLongestTitle = 40;
    QString title;
    for (const QString& line :
         qstringFromGbk(article).split(QRegularExpression(QStringLiteral("[\\r\\n]")))) {
        title = line.simplified();
        if (!title.isEmpty()) {
            break;
        }
    }
    title.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|\\x00-\\x1f]")),
                  QStringLiteral("_"));
    title = title.left(kLongestTitle).trimmed();
    while (title.startsWith(QLatin1Char('.'))) {
        title.remove(0, 1);
    }
    if (title.isEmpty()) {
        title = QStringLiteral("原创度检测报告");
    }
    return title + QLatin1Char('_') + date.toString(Qt::ISODate) + QStringLiteral(".html");
}

void confirmExport(QWidget* parent, const QString& path, Platform& platform) {
    auto* box = new QMessageBox(parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setObjectName(QStringLiteral("导出完成"));
    box->setWindowTitle(programName());
    box->setIcon(QMessageBox::Information);
    box->setTextFormat(Qt::PlainText);
    box->setText(QStringLiteral("报告已导出：\n") + QDir::toNativeSeparators(path));
    QPushButton* open = box->addButton(QStringLiteral("打开所在文件夹"), QMessageBox::ActionRole);
    box->addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    const QString folder = QFileInfo(path).absolutePath();
    QObject::connect(open, &QPushButton::clicked, box, [folder, &platform] {
        platform.openLocalFile(QFile::encodeName(folder).toStdString());
    });
    box->open();
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
