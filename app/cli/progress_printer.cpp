#include "app/cli/progress_printer.h"

#include "services/boundary_text.h"
#include "services/shown_text.h"

namespace oc::cli {
namespace {

// A cell as one line of the terminal: line breaks and tabs become spaces,
// every other control character a visible escape.
std::string shown(const Text& gbk) {
    std::string text = utf8FromGbk(gbk);
    for (char& c : text) {
        if (c == '\r' || c == '\n' || c == '\t') {
            c = ' ';
        }
    }
    return terminalText(text);
}

}  // namespace

void ProgressPrinter::operator()(const WindowEvent& event) {
    const char* engine = event.component == component::kBaiduGrid   ? "百度"
                         : event.component == component::k360Grid   ? "360"
                         : event.component == component::kLocalGrid ? "本地"
                                                                    : nullptr;
    const bool cell = event.kind == WindowEvent::Kind::Cell;
    const bool tip = event.kind == WindowEvent::Kind::CellTip && !event.text.empty();
    if (engine == nullptr || (!cell && !tip)) {
        return;
    }
    std::lock_guard lock(mutex_);
    const std::pair<std::string, int> row{event.component, event.row};
    const char* label = nullptr;
    if (cell) {
        label = event.column == 1                          ? "查询"
                : event.column == 2 && !event.text.empty() ? "飘红"
                : event.column == kStatusColumn            ? "状态"
                                                           : nullptr;
        if (event.column == kStatusColumn) {
            if (event.text == statusText(SegmentStatus::Unverified)) {
                unverifiedRows_.insert(row);
            } else {
                unverifiedRows_.erase(row);
            }
        }
    } else {
        // The status tip says why a row is unverified, or that its pages were
        // analysed only in part; the source's tip is the source's address.
        label = event.column == kSourceColumn    ? "来源地址"
                : event.column != kStatusColumn  ? nullptr
                : unverifiedRows_.count(row) > 0 ? "原因"
                                                 : "说明";
    }
    if (label == nullptr) {
        return;
    }
    out_ << "[" << engine << "] " << event.row << "/" << total_ << " " << label << ": "
         << shown(event.text) << "\n";
    out_.flush();
}

}  // namespace oc::cli
