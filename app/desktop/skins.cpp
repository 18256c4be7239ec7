#include "app/desktop/skins.h"

#include <QApplication>
#include <QColor>

#include "services/files.h"
#include "services/own_file.h"

namespace oc {

namespace {

// The accent colour of each skin; the other colours are tints and shades of it.
constexpr const char* kAccents[kSkinCount] = {
    "#3a6ea5", "#2e8b57", "#b8860b", "#8b3a62", "#4682b4", "#6b8e23", "#1f5fa8",
    "#a0522d", "#5f6a7a", "#008b8b", "#7b68ee", "#c0504d", "#2f4f4f", "#4b7bbf",
    "#d2691e", "#556b2f", "#9932cc", "#20b2aa", "#cd5c5c", "#708090", "#3cb371",
    "#daa520", "#483d8b", "#b03060", "#607d8b",
};

constexpr const char* kTemplate = R"(
oc--MainWindow, oc--ParameterWindow { background-color: @window; }
QGroupBox { border: 1px solid @border; border-radius: 3px; margin-top: 7px; }
QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 3px; color: @accent; }
QPushButton { color: black; border: 1px solid @border; border-radius: 3px; padding: 2px;
    background: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 @light, stop: 1 @medium); }
QPushButton:hover { background: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1,
    stop: 0 white, stop: 1 @light); }
QPushButton:pressed { background: @medium; }
QPushButton:disabled { color: gray; background: @window; }
QTabBar::tab { color: black; background: @medium; border: 1px solid @border;
    border-bottom: none; padding: 3px 14px; margin-right: 2px;
    border-top-left-radius: 3px; border-top-right-radius: 3px; }
QTabBar::tab:selected { background: @light; color: @accent; }
QFrame#tabPane { border: 1px solid @border; background: @light; }
QHeaderView::section, QTableCornerButton::section { color: black; background: @medium;
    border: none; border-right: 1px solid @border; border-bottom: 1px solid @border; }
QPlainTextEdit, QTextBrowser, QLineEdit { border: 1px solid @border; }
QTableView { border: 1px solid @border; selection-background-color: @medium;
    selection-color: black; }
QMessageBox { background-color: @window; }
)";

QString mix(const QColor& colour, double towardsWhite) {
    auto channel = [towardsWhite](int value) {
        return static_cast<int>(value + (255 - value) * towardsWhite + 0.5);
    };
    return QColor(channel(colour.red()), channel(colour.green()), channel(colour.blue())).name();
}

}  // namespace

QString skinStyleSheet(int number) {
    if (number < 1 || number > kSkinCount) {
        return {};
    }
    const QColor accent(QString::fromLatin1(kAccents[number - 1]));
    QString sheet = QString::fromLatin1(kTemplate);
    sheet.replace(QStringLiteral("@window"), mix(accent, 0.90));
    sheet.replace(QStringLiteral("@light"), mix(accent, 0.94));
    sheet.replace(QStringLiteral("@medium"), mix(accent, 0.78));
    sheet.replace(QStringLiteral("@border"), mix(accent, 0.45));
    sheet.replace(QStringLiteral("@accent"), accent.darker(115).name());
    return sheet;
}

Text skinFilePath() {
    const Text folder = specialFolder(11);
    return folder.empty() ? Text() : folder + "{df6546sd4fwer}.she";
}

bool applySkin(int number) {
    if (number == 0) {
        number = kSkinCount;
    }
    const QString sheet = skinStyleSheet(number);
    if (sheet.isEmpty()) {
        return false;
    }
    if (const Text path = skinFilePath(); !path.empty()) {
        // Nothing reads the file back: a name another user holds is left alone.
        rewriteOwnFile(path, sheet.toStdString());
    }
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        app->setStyleSheet(sheet);
    }
    return true;
}

}  // namespace oc
