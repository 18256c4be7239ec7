#include "check/store_recorder.h"

#include "check/report_builder.h"
#include "services/boundary_text.h"

namespace oc {
namespace {

StoreTime storeTimeOf(std::chrono::system_clock::time_point when) {
    return std::chrono::duration_cast<std::chrono::seconds>(when.time_since_epoch()).count();
}

}  // namespace

const char* passEndName(PassEnd end) {
    switch (end) {
        case PassEnd::Normal:
            return "normal";
        case PassEnd::Cancelled:
            return "cancelled";
        case PassEnd::EmptyArticle:
            return "empty-article";
        case PassEnd::NoDocuments:
            return "no-documents";
    }
    return "normal";
}

PassEnd passEndOf(const std::string& name) {
    for (PassEnd end : {PassEnd::Cancelled, PassEnd::EmptyArticle, PassEnd::NoDocuments}) {
        if (name == passEndName(end)) {
            return end;
        }
    }
    return PassEnd::Normal;
}

const char* passStopName(PassStop stop) {
    switch (stop) {
        case PassStop::Finished:
            return "finished";
        case PassStop::Cancelled:
            return "cancelled";
        case PassStop::Stopped:
            break;
    }
    return "stopped";
}

PassStop passStopOf(const std::string& name) {
    for (PassStop stop : {PassStop::Cancelled, PassStop::Stopped}) {
        if (name == passStopName(stop)) {
            return stop;
        }
    }
    return PassStop::Finished;
}

StoredRow storedRowOf(Engine engine, int row, const Text& segment, const SegmentResult& result) {
    StoredRow stored;
    stored.number = row;
    stored.text = utf8FromGbk(segment);
    stored.status = result.status;
    stored.reason = utf8FromGbk(result.reason);
    stored.hits = result.hits;
    stored.url = utf8FromGbk(result.url);
    stored.source = result.source;
    stored.coverage = result.coverage;
    stored.origin = engine == Engine::Local ? RowOrigin::Local
                    : result.cached         ? RowOrigin::Cached
                                            : RowOrigin::Queried;
    stored.checkedAt = storeTimeNow();
    if (engine != Engine::Local) {
        stored.verifiedAt = result.verifiedAt;
    }
    return stored;
}

SegmentResult resultOf(const StoredRow& row) {
    SegmentResult result;
    result.status = row.status;
    result.reason = gbkFromUtf8(row.reason);
    result.hits = row.hits;
    result.url = gbkFromUtf8(row.url);
    result.source = row.source;
    result.coverage = row.coverage;
    result.cached = row.origin == RowOrigin::Cached;
    result.verifiedAt = row.verifiedAt;
    return result;
}

StoreRecorder::StoreRecorder(CheckStore& store, std::string origin, std::string extra)
    : store_(store), origin_(std::move(origin)), extra_(std::move(extra)) {}

void StoreRecorder::setExtra(std::string extra) {
    std::lock_guard lock(mutex_);
    extra_ = std::move(extra);
}

std::optional<CheckId> StoreRecorder::checkId() const {
    std::lock_guard lock(mutex_);
    return id_;
}

void StoreRecorder::continueCheck(CheckId id) {
    std::lock_guard lock(mutex_);
    id_ = id;
}

void StoreRecorder::runStarted(const CheckRequest& request, RunKind kind) {
    std::lock_guard lock(mutex_);
    kind_ = kind;
    if (kind == RunKind::Recheck) {
        keeping_ = id_ && store_.resumeCheck(*id_);
        return;
    }
    CheckStart start;
    start.startedAt = storeTimeOf(request.startedAt);
    start.article = utf8FromGbk(request.article);
    start.title = checkTitle(start.article);
    start.chars = articleCharsOf(request);
    start.settings = reportSettings(request.settings);
    start.origin = origin_;
    start.extra = extra_;
    id_ = store_.beginCheck(start);
    keeping_ = id_.has_value();
}

void StoreRecorder::passStarted(Engine engine, int segments) {
    std::lock_guard lock(mutex_);
    if (keeping_ && kind_ == RunKind::Check) {
        store_.writePass(*id_, {engine, "running", "", "", "", "", segments});
    }
}

void StoreRecorder::segmentChecked(Engine engine, const CheckedSegment& segment) {
    std::optional<CheckId> id;
    {
        std::lock_guard lock(mutex_);
        if (!keeping_) {
            return;
        }
        id = id_;
    }
    store_.writeRow(*id, engine, storedRowOf(engine, segment.row, segment.text, segment.result));
}

void StoreRecorder::passEnded(Engine engine, const PassOutcome& outcome, const PassSummary& summary,
                              PassEnd end) {
    std::lock_guard lock(mutex_);
    if (!keeping_) {
        return;
    }
    store_.writePass(
        *id_, {engine, passEndName(end), passStopName(outcome.stop), utf8FromGbk(summary.value),
               utf8FromGbk(summary.coverage), utf8FromGbk(summary.verdict), summary.total});
}

void StoreRecorder::runEnded(const std::vector<PassRecord>& passes) {
    (void)passes;
    std::lock_guard lock(mutex_);
    if (keeping_) {
        store_.endCheck(*id_, storeTimeNow());
    }
    keeping_ = false;
}

}  // namespace oc
