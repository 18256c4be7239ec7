#include "tests/support/scripted_platform.h"

namespace oc::testing {

void ScriptedPlatform::queueAnswer(int answer) {
    std::lock_guard lock(mutex_);
    answers_.push_back(answer);
}

void ScriptedPlatform::setDefaultAnswer(int answer) {
    std::lock_guard lock(mutex_);
    defaultAnswer_ = answer;
}

Text ScriptedPlatform::clipboardText() {
    std::lock_guard lock(mutex_);
    return clipboard_;
}

bool ScriptedPlatform::setClipboardText(const Text& text) {
    std::lock_guard lock(mutex_);
    clipboard_ = text;
    return true;
}

int ScriptedPlatform::messageBox(const Text& message, int style, const Text& title) {
    std::lock_guard lock(mutex_);
    messages_.push_back(ShownMessage{message, style, title});
    if (answers_.empty()) {
        return defaultAnswer_;
    }
    int answer = answers_.front();
    answers_.pop_front();
    return answer;
}

bool ScriptedPlatform::openWithShell(const Text& target) {
    std::lock_guard lock(mutex_);
    opened_.push_back(target);
    return shellOpens_;
}

bool ScriptedPlatform::openLocalFile(const std::string& path) {
    std::lock_guard lock(mutex_);
    openedFiles_.push_back(path);
    return shellOpens_;
}

void ScriptedPlatform::setShellOpens(bool opens) {
    std::lock_guard lock(mutex_);
    shellOpens_ = opens;
}

bool ScriptedPlatform::showWindow(ProgramWindow window, bool) {
    std::lock_guard lock(mutex_);
    windows_.push_back(window);
    return true;
}

void ScriptedPlatform::closeWindow(ProgramWindow window) {
    std::lock_guard lock(mutex_);
    closed_.push_back(window);
}

std::vector<ProgramWindow> ScriptedPlatform::closedWindows() const {
    std::lock_guard lock(mutex_);
    return closed_;
}

std::vector<ShownMessage> ScriptedPlatform::messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
}

std::vector<Text> ScriptedPlatform::opened() const {
    std::lock_guard lock(mutex_);
    return opened_;
}

std::vector<std::string> ScriptedPlatform::openedFiles() const {
    std::lock_guard lock(mutex_);
    return openedFiles_;
}

std::vector<ProgramWindow> ScriptedPlatform::shownWindows() const {
    std::lock_guard lock(mutex_);
    return windows_;
}

}  // namespace oc::testing
