#include "app/cli/progress_printer.h"

#include "check/segmentation.h"
#include "services/boundary_text.h"
#include "services/line_breaks.h"
#include "text/article_filters.h"

namespace oc::cli {

void ProgressPrinter::operator()(const WindowEvent& event) {
    const std::optional<Engine> engine = engineOfGrid(event.component);
    if (!engine || event.kind != WindowEvent::Kind::Cell || event.column != 1) {
        return;
    }
    std::lock_guard lock(mutex_);
    out_ << "[" << engineIdentity(*engine).shortName << "] " << event.row << "/" << total_
         << " 查询: " << lineBreaksAsSpaces(utf8FromGbk(event.text), true) << "\n";
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
    if (result.status != SegmentStatus::Unverified) {
        out_ << "[" << name << "] " << segment.row << "/" << total_ << " 飘红: " << result.hits
             << "\n";
    }
    out_ << "[" << name << "] " << segment.row << "/" << total_
         << " 状态: " << utf8FromGbk(statusText(result.status)) << "\n";
    if (result.status == SegmentStatus::Unverified && !result.reason.empty()) {
        out_ << "[" << name << "] " << segment.row << "/" << total_
             << " 原因: " << utf8FromGbk(result.reason) << "\n";
    }
    out_.flush();
}

}  // namespace oc::cli
