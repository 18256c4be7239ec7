// The Platform of the command-line checker: message boxes on standard error,
// answered by the --on-empty-page choice or by the user at the terminal.
#pragma once

#include <istream>
#include <mutex>
#include <ostream>
#include <set>

#include "app/cli/cli_options.h"
#include "services/platform.h"

namespace oc::cli {

class TerminalPlatform : public Platform {
  public:
    TerminalPlatform(EmptyPageAnswer answer, std::istream& input, std::ostream& output);

    Text clipboardText() override { return {}; }
    bool setClipboardText(const Text&) override { return false; }
    int screenWidth() override { return 0; }
    int screenHeight() override { return 0; }
    int messageBox(const Text& message, int style, const Text& title) override;
    bool openWithShell(const Text&) override { return false; }
    bool showWindow(ProgramWindow, bool) override { return false; }
    void closeWindow(ProgramWindow) override {}
    using Platform::messageBox;

  private:
    EmptyPageAnswer answer_;
    std::istream& input_;
    std::ostream& output_;
    std::mutex mutex_;
    std::set<Text> shownNotices_;
};

}  // namespace oc::cli
