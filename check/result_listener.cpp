#include "check/result_listener.h"

#include <algorithm>

namespace oc {

void ResultFanOut::add(ResultListener& listener) {
    std::lock_guard lock(mutex_);
    listeners_.push_back(&listener);
}

void ResultFanOut::remove(ResultListener& listener) {
    std::lock_guard lock(mutex_);
    std::erase(listeners_, &listener);
}

std::vector<ResultListener*> ResultFanOut::listeners() const {
    std::lock_guard lock(mutex_);
    return listeners_;
}

void ResultFanOut::runStarted(const CheckRequest& request, RunKind kind) {
    for (ResultListener* listener : listeners()) {
        listener->runStarted(request, kind);
    }
}

void ResultFanOut::passStarted(Engine engine, int segments) {
    for (ResultListener* listener : listeners()) {
        listener->passStarted(engine, segments);
    }
}

void ResultFanOut::segmentChecked(Engine engine, const CheckedSegment& segment) {
    for (ResultListener* listener : listeners()) {
        listener->segmentChecked(engine, segment);
    }
}

void ResultFanOut::passEnded(Engine engine, const PassOutcome& outcome, const PassSummary& summary,
                             PassEnd end) {
    for (ResultListener* listener : listeners()) {
        listener->passEnded(engine, outcome, summary, end);
    }
}

void ResultFanOut::runEnded(const std::vector<PassRecord>& passes) {
    for (ResultListener* listener : listeners()) {
        listener->runEnded(passes);
    }
}

}  // namespace oc
