// What the logic needs from the desktop: clipboard, screen, message boxes, the
// shell and the program's own windows. The desktop program implements it with
// Qt; tests use a scripted fake; the command-line checker its own.
#pragma once

#include <string>

#include "services/text_types.h"

namespace oc {

// Message-box style words (the Windows values) and answers.
inline constexpr int kMbOk = 0x0;
inline constexpr int kMbOkCancel = 0x1;
// 确定, 取消 and 不再询问 (answered kAnswerNoMoreAsk).
inline constexpr int kMbOkCancelNoMoreAsk = 0x6;
inline constexpr int kMbIconWarning = 0x30;
inline constexpr int kMbIconInformation = 0x40;
inline constexpr int kMbSystemModal = 0x1000;
inline constexpr int kMbTaskModal = 0x2000;

enum MessageBoxAnswer : int {
    kAnswerOk = 0,
    kAnswerCancel = 1,
    kAnswerAbort = 2,
    kAnswerRetry = 3,
    kAnswerIgnore = 4,
    kAnswerYes = 5,
    kAnswerNo = 6,
    kAnswerNoMoreAsk = 7,
};

// The default title of a message box: "信息：".
extern const Text kDefaultMessageTitle;

// Windows the logic may open by name.
enum class ProgramWindow { Parameters };

class Platform {
  public:
    virtual ~Platform() = default;

    virtual Text clipboardText() = 0;
    // The clipboard's text as UTF-8, nothing lost to GBK; by default the GBK text.
    virtual std::string clipboardUtf8();
    virtual bool setClipboardText(const Text& text) = 0;
    // Puts UTF-8 text on the clipboard, nothing lost; by default as GBK text.
    virtual bool setClipboardUtf8(const std::string& utf8);
    virtual int screenWidth() = 0;
    virtual int screenHeight() = 0;
    // Blocks the calling thread only, until the user answers.
    virtual int messageBox(const Text& message, int style, const Text& title) = 0;
    // False when the shell reports it could not open the target.
    virtual bool openWithShell(const Text& target) = 0;
    // Opens a local file (its path in native bytes) with the desktop's default
    // program; false when it could not. A platform without a desktop cannot.
    virtual bool openLocalFile(const std::string& path) {
        (void)path;
        return false;
    }
    virtual bool showWindow(ProgramWindow window, bool modal) = 0;
    virtual void closeWindow(ProgramWindow window) = 0;

    int messageBox(const Text& message, int style) {
        return messageBox(message, style, kDefaultMessageTitle);
    }
};

}  // namespace oc
