#include "app/cli/progress_printer.h"

#include "check/pass_texts.h"
#include "check/segmentation.h"
#include "services/boundary_text.h"
#include "services/line_breaks.h"
#include "services/shown_text.h"
#include "text/article_filters.h"

namespace oc::cli {
namespace {

// A text as one line of the terminal: line breaks and tabs become spaces,
// every other control character a visible escape.
std::string shown(std::string utf8) {
    return terminalText(lineBreaksAsSpaces(std::move(utf8), true));
}

}  // namespace

void ProgressPrinter::operator()(const WindowEvent& event) {
    const std::optional<Engine> engine = engineOfGrid(event.component);
    if (!engine) {
        return;
    }
    const std::string_view name = engineIdentity(*engine).shortName;
    std::lock_guard lock(mutex_);
    if (event.kind == WindowEvent::Kind::Paused) {
        // The start and the end of a pause, not every second of it.
        int& left = pausedLeft_[event.component];
        if (event.row > 0 && left == 0) {
            out_ << utf8FromGbk(pass_texts::enginePaused(gbkFromUtf8(name), event.row)) << "\n";
        } else if (event.row == 0 && left > 0) {
            out_ << "[" << name << "] 继续查询\n";
        }
        left = event.row;
        out_.flush();
        return;
    }
    if (event.kind != WindowEvent::Kind::Cell || event.column != 1) {
        return;
    }
    out_ << "[" << name << "] " << event.row << "/" << total_
         << " 查询: " << shown(utf8FromGbk(event.text)) << "\n";
    out_.flush();
}

void ProgressPrinter::runStarted(const CheckRequest& request, RunKind kind) {
    if (kind != RunKind::Check) {
        return;
    }
    const int total =
        static_cast<int>(cutArticle(request.article, request.settings.check).segments.size());
    std::lock_guard lock(mutex_);
    total_ = total;
}

void ProgressPrinter::segmentChecked(Engine engine, const CheckedSegment& segment) {
    const SegmentResult& result = segment.result;
    std::lock_guard lock(mutex_);
    const std::string_view name = engineIdentity(engine).shortName;
    auto line = [&](const char* label, const std::string& text) {
        out_ << "[" << name << "] " << segment.row << "/" << total_ << " " << label << ": " << text
             << "\n";
    };
    if (result.status == SegmentStatus::Hit || result.status == SegmentStatus::Original) {
        line("飘红", std::to_string(result.hits));
    }
    line("状态", utf8FromGbk(statusText(result.status)));
    if (!result.reason.empty()) {
        line("原因", shown(utf8FromGbk(result.reason)));
    }
    if (result.status == SegmentStatus::Hit && result.source && !result.source->address.empty()) {
        line("来源地址", shown(result.source->address));
    }
    // A page of the segment was analysed only in part.
    if (!result.note.empty()) {
        line("说明", shown(utf8FromGbk(result.note)));
    }
    out_.flush();
}

}  // namespace oc::cli
