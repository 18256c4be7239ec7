// The desktop's Platform: the clipboard as GBK text, message boxes, the
// default browser, the screen and the parameter window. Callable from any
// thread: the work is carried to the GUI thread.
#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <chrono>
#include <functional>

#include "app/desktop/gui_bridge.h"
#include "services/platform.h"

class QMessageBox;

namespace oc {

class ParameterWindow;

class QtPlatform : public Platform {
  public:
    QtPlatform(GuiBridge& bridge, Text settingsPath);
    ~QtPlatform() override;

    Text clipboardText() override;
    std::string clipboardUtf8() override;
    bool setClipboardText(const Text& text) override;
    bool setClipboardUtf8(const std::string& utf8) override;
    int screenWidth() override;
    int screenHeight() override;
    // Asked on a worker thread, the box opens without a nested event loop and
    // only the asking thread waits; two boxes may be open at once. Cancel (1)
    // once shutdown begins.
    int messageBox(const Text& message, int style, const Text& title) override;
    bool openWithShell(const Text& target) override;
    bool openLocalFile(const std::string& path) override;
    bool showWindow(ProgramWindow window, bool modal) override;
    void closeWindow(ProgramWindow window) override;
    using Platform::messageBox;

    // Runs when the parameter window has closed (its values may have changed).
    void setParametersClosedHandler(std::function<void()> handler) {
        parametersClosed_ = std::move(handler);
    }
    // Runs on the GUI thread when an engine's prompt opens (true) and when it
    // is answered or closed (false).
    void setPromptHandler(std::function<void(bool)> handler) { promptShown_ = std::move(handler); }
    // The program that opens a web address ("xdg-open"; another in tests).
    void setUrlOpener(QString program) { urlOpener_ = std::move(program); }
    static constexpr std::chrono::milliseconds kOpenerVerdict{5000};

    // GUI thread: the boxes still open, and closing them at shutdown.
    QList<QMessageBox*> openBoxes() const;
    void closeOpenBoxes();

  private:
    QMessageBox* makeBox(const Text& message, int style, const Text& title);

    GuiBridge& bridge_;
    Text settingsPath_;
    std::function<void(bool)> promptShown_;
    QList<QPointer<QMessageBox>> boxes_;
    QPointer<ParameterWindow> parameters_;
    QString urlOpener_ = QStringLiteral("xdg-open");
    std::function<void()> parametersClosed_;
};

}  // namespace oc
