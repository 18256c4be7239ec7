// The desktop program: opens the main window and runs until it is closed.
#include <QApplication>

#include "app/desktop/command_line.h"
#include "app/desktop/desktop_program.h"

int main(int argc, char** argv) {
    if (std::optional<int> status = oc::answerInformationOptions(argc, argv)) {
        return *status;
    }
    QApplication app(argc, argv);
    if (std::optional<int> status = oc::refuseLeftoverArguments(QApplication::arguments())) {
        return *status;
    }
    QApplication::setDesktopFileName(QStringLiteral("originality-checker"));
    oc::DesktopProgram program;
    program.show();
    const int status = QApplication::exec();
    program.shutdown();
    return status;
}
