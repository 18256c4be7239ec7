#include "app/cli/terminal_platform.h"

#include <string>

#include "check/pass_texts.h"
#include "services/boundary_text.h"
#include "services/shown_text.h"

namespace oc::cli {

TerminalPlatform::TerminalPlatform(EmptyPageAnswer answer, std::istream& input,
                                   std::ostream& output)
    : answer_(answer), input_(input), output_(output) {}

int TerminalPlatform::messageBox(const Text& message, int style, const Text& title) {
    std::lock_guard lock(mutex_);
    const bool offerWait = (style & 0xF) == kMbOkCancelNoMoreAsk;
    bool askOkCancel = (style & 0xF) == kMbOkCancel || offerWait;
    if (!askOkCancel) {
        // Both passes report the same notice (an empty article): say it once.
        if (shownNotices_.insert(title + '\n' + message).second) {
            output_ << terminalText(utf8FromGbk(message), true) << "\n";
        }
        return kAnswerOk;
    }
    // Answered in advance, the prompt offers no 不再询问: its hint is left out.
    Text shown = message;
    if (offerWait && answer_ != EmptyPageAnswer::Ask &&
        shown.ends_with(pass_texts::noMoreAskHint())) {
        shown.resize(shown.size() - pass_texts::noMoreAskHint().size());
    }
    output_ << "[" << terminalText(utf8FromGbk(title)) << "] "
            << terminalText(utf8FromGbk(shown), true) << "\n";
    switch (answer_) {
        case EmptyPageAnswer::Continue:
            output_ << "-> 确定 (--on-block continue)\n";
            return kAnswerOk;
        case EmptyPageAnswer::Cancel:
            output_ << "-> 取消 (--on-block cancel)\n";
            return kAnswerCancel;
        case EmptyPageAnswer::Ask:
            break;
    }
    for (;;) {
        output_ << (offerWait ? "继续查询？ [y = 确定 / n = 取消 / w = 不再询问，自动等待]: "
                              : "继续查询？ [y = 确定 / n = 取消]: ")
                << std::flush;
        std::string line;
        if (!std::getline(input_, line)) {
            output_ << "\n";
            return kAnswerCancel;
        }
        if (line == "y" || line == "Y" || line == "yes") {
            return kAnswerOk;
        }
        if (line == "n" || line == "N" || line == "no") {
            return kAnswerCancel;
        }
        if (offerWait && (line == "w" || line == "W")) {
            return kAnswerNoMoreAsk;
        }
    }
}

}  // namespace oc::cli
