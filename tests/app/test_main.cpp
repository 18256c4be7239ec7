// The UI tests run inside one QApplication, on the offscreen platform unless
// another one is asked for.
#include <gtest/gtest.h>

#include <QApplication>

#include "services/internet_client.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    // Cookies of the loopback servers stay in memory.
    oc::InternetClient::instance().setCookieFile("");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
