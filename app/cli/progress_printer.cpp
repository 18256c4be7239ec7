#include "app/cli/progress_printer.h"

#include "check/pass_texts.h"
#include "services/boundary_text.h"

namespace oc::cli {

void ProgressPrinter::operator()(const WindowEvent& event) {
    const char* engine = event.component == component::kBaiduGrid   ? "百度"
                         : event.component == component::k360Grid   ? "360"
                         : event.component == component::kLocalGrid ? "本地"
                                                                    : nullptr;
    if (engine == nullptr) {
        return;
    }
    std::lock_guard lock(mutex_);
    if (event.kind == WindowEvent::Kind::Paused) {
        // The start and the end of a pause, not every second of it.
        int& left = pausedLeft_[event.component];
        if (event.row > 0 && left == 0) {
            out_ << utf8FromGbk(pass_texts::enginePaused(gbkFromUtf8(engine), event.row)) << "\n";
        } else if (event.row == 0 && left > 0) {
            out_ << "[" << engine << "] 继续查询\n";
        }
        left = event.row;
    } else if (event.kind == WindowEvent::Kind::Cell && event.column == 1) {
        std::string text = utf8FromGbk(event.text);
        for (char& c : text) {
            if (c == '\r' || c == '\n' || c == '\t') {
                c = ' ';
            }
        }
        out_ << "[" << engine << "] " << event.row << "/" << total_ << " 查询: " << text << "\n";
    } else if (event.kind == WindowEvent::Kind::Cell && event.column == 2 && !event.text.empty()) {
        out_ << "[" << engine << "] " << event.row << "/" << total_
             << " 飘红: " << utf8FromGbk(event.text) << "\n";
    } else if (event.kind == WindowEvent::Kind::Cell && event.column == kStatusColumn) {
        out_ << "[" << engine << "] " << event.row << "/" << total_
             << " 状态: " << utf8FromGbk(event.text) << "\n";
    } else if (event.kind == WindowEvent::Kind::CellTip && !event.text.empty()) {
        out_ << "[" << engine << "] " << event.row << "/" << total_
             << " 原因: " << utf8FromGbk(event.text) << "\n";
    }
    out_.flush();
}

}  // namespace oc::cli
