// A Platform for tests: answers message boxes from a queue and records every call.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

#include "services/platform.h"

namespace oc::testing {

struct ShownMessage {
    Text message;
    int style = 0;
    Text title;
};

class ScriptedPlatform : public Platform {
  public:
    // Answers given to message boxes in order; when the queue is empty the
    // default answer is used.
    void queueAnswer(int answer);
    void setDefaultAnswer(int answer);

    Text clipboardText() override;
    bool setClipboardText(const Text& text) override;
    int screenWidth() override { return screenWidth_; }
    int screenHeight() override { return screenHeight_; }
    int messageBox(const Text& message, int style, const Text& title) override;
    bool openWithShell(const Text& target) override;
    // Recorded among openedFiles(); answers as openWithShell does.
    bool openLocalFile(const std::string& path) override;
    // What openWithShell answers (true unless set).
    void setShellOpens(bool opens);
    bool showWindow(ProgramWindow window, bool modal) override;
    void closeWindow(ProgramWindow window) override;
    using Platform::messageBox;

    std::vector<ShownMessage> messages() const;
    std::vector<Text> opened() const;
    std::vector<std::string> openedFiles() const;
    std::vector<ProgramWindow> shownWindows() const;
    std::vector<ProgramWindow> closedWindows() const;

    void setScreenSize(int width, int height) {
        screenWidth_ = width;
        screenHeight_ = height;
    }

  private:
    mutable std::mutex mutex_;
    std::deque<int> answers_;
    int defaultAnswer_ = kAnswerOk;
    Text clipboard_;
    bool shellOpens_ = true;
    std::vector<ShownMessage> messages_;
    std::vector<Text> opened_;
    std::vector<std::string> openedFiles_;
    std::vector<ProgramWindow> windows_;
    std::vector<ProgramWindow> closed_;
    int screenWidth_ = 1280;
    int screenHeight_ = 800;
};

}  // namespace oc::testing
