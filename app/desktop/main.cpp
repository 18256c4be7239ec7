// The desktop program: opens the main window and runs until it is closed.
#include <QApplication>

#include "app/desktop/desktop_program.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    oc::DesktopProgram program;
    program.show();
    const int status = QApplication::exec();
    program.shutdown();
    return status;
}
