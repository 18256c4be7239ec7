#include "check/passage_marks.h"

namespace oc {

std::string rowStatusCaption(const ReportRow& row) {
    std::string text = statusName(row.status);
    if (row.status == RowStatus::Unverified && !row.reason.empty()) {
        text.append("（").append(row.reason).append("）");
    }
    return text;
}

std::string rowSourceCaption(const ReportRow& row) {
    if (row.status != RowStatus::Hit) {
        return {};
    }
    return row.source ? row.source->title : "未识别";
}

namespace {

// What the engines say of segment i: its status and one tip line each.
PassageMark combinedMark(const std::vector<const ReportPass*>& passes, std::size_t i) {
    bool hit = false;
    bool unverified = false;
    PassageMark mark;
    for (const ReportPass* pass : passes) {
        if (i >= pass->rows.size()) {
            continue;
        }
        const ReportRow& row = pass->rows[i];
        hit = hit || row.status == RowStatus::Hit;
        unverified = unverified || row.status == RowStatus::Unverified;
        std::string line =
            std::string(engineName(pass->engine)).append("：").append(rowStatusCaption(row));
        if (!row.hits.empty()) {
            line.append("，飘红 ").append(row.hits);
        }
        if (row.status == RowStatus::Hit) {
            line.append("，来源 ").append(rowSourceCaption(row));
            if (row.source && !row.source->address.empty()) {
                line.append("（").append(row.source->address).append("）");
            }
        }
        mark.tip.append(mark.tip.empty() ? "" : "\n").append(line);
    }
    mark.status = hit ? RowStatus::Hit : unverified ? RowStatus::Unverified : RowStatus::Original;
    return mark;
}

}  // namespace

std::vector<PassageMark> markedPassages(const Text& article,
                                        const std::vector<const ReportPass*>& passes) {
    const ReportPass* longest = nullptr;
    for (const ReportPass* pass : passes) {
        if (longest == nullptr || pass->rows.size() > longest->rows.size()) {
            longest = pass;
        }
    }
    std::vector<Text> segments;
    if (longest != nullptr) {
        for (const ReportRow& row : longest->rows) {
            segments.push_back(row.segment);
        }
    }
    const std::vector<std::optional<ArticleSpan>> spans = locateSegments(article, segments);
    std::vector<PassageMark> marks;
    std::size_t done = 0;
    for (std::size_t i = 0; i < spans.size(); ++i) {
        if (!spans[i] || spans[i]->begin < done) {
            continue;
        }
        PassageMark mark = combinedMark(passes, i);
        if (mark.status == RowStatus::Original) {
            continue;
        }
        mark.span = *spans[i];
        done = mark.span.end;
        marks.push_back(std::move(mark));
    }
    return marks;
}

}  // namespace oc
