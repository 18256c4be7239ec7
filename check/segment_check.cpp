#include "check/segment_check.h"

#include <algorithm>
#include <thread>

#include "check/highlight.h"
#include "check/hit_rule.h"
#include "check/page_class.h"
#include "check/page_evidence.h"
#include "check/page_memory.h"
#include "check/pass_texts.h"
#include "check/segment_source.h"
#include "services/boundary_text.h"
#include "services/page_decoding.h"

namespace oc {
namespace {

constexpr std::chrono::milliseconds kPacingStep{50};

// The prompt after a page that was blocked, failed or never arrived: 确定
// (go on), 取消 (give up the pass), and with `offerWait` 不再询问.
int promptAfterPage(const SegmentContext& context, const ClassifiedPage& page, bool offerWait) {
    static const Text cannotConnect = gbkFromUtf8("无法连接");
    static const Text unusable = gbkFromUtf8("的应答无法使用");
    static const Text colon = gbkFromUtf8("：");
    Text prompt = page.arrived    ? context.table.blockedPrompt
                  : page.answered ? context.table.name + unusable + colon + page.failure
                                  : cannotConnect + context.table.name + colon + page.failure;
    if (offerWait) {
        prompt += pass_texts::noMoreAskHint();
    }
    return context.env.platform->messageBox(prompt, offerWait ? kMbOkCancelNoMoreAsk : kMbOkCancel,
                                            context.table.promptTitle);
}

enum class AfterPage { GoOn, AskAgain, GiveUp, StopEngine };

// What follows a page that was not verified, its `tries`-th try: with
// 询问 the prompt (only while no page of the segment was verified); with
// 自动等待 a pause of the engine and the page asked again (a block), or
// going on (a failure), until failures in a row stop the engine.
AfterPage afterUnverifiedPage(const SegmentContext& context, const ClassifiedPage& page, int tries,
                              bool anyVerified) {
    BlockPolicy* policy = context.env.blocks.get();
    EngineBackOff* backOff = context.backOff;
    if (policy == nullptr || backOff == nullptr) {
        return anyVerified || promptAfterPage(context, page, false) != kAnswerCancel
                   ? AfterPage::GoOn
                   : AfterPage::GiveUp;
    }
    if (policy->answer() == BlockAnswer::Ask) {
        if (anyVerified) {
            return AfterPage::GoOn;
        }
        const int answer = promptAfterPage(context, page, true);
        if (answer == kAnswerCancel) {
            return AfterPage::GiveUp;
        }
        if (answer != kAnswerNoMoreAsk) {
            return AfterPage::GoOn;
        }
        policy->stopAsking();
    }
    if (!page.arrived) {
        return backOff->failedInARow() ? AfterPage::StopEngine : AfterPage::GoOn;
    }
    backOff->pageArrived();
    if (tries >= kTriesPerPage) {
        return AfterPage::GoOn;
    }
    const std::string_view grid = engineIdentity(context.table.engine).grid;
    const bool waited = waitOutPause(
        backOff->pauseForBlock(),
        [&context] { return context.env.stopRequested() || fetchesAborted(); },
        [&context, grid](int secondsLeft) { context.env.window->enginePaused(grid, secondsLeft); });
    return waited ? AfterPage::AskAgain : AfterPage::GiveUp;
}

}  // namespace

void Pacer::beforeRequest() {
    using Clock = std::chrono::steady_clock;
    if (first_ && shared_ != nullptr) {
        std::lock_guard lock(shared_->mutex);
        if (auto last = shared_->last.find(engine_); last != shared_->last.end()) {
            last_ = last->second;
            first_ = false;
        }
    }
    if (!first_ && interval_.count() > 0) {
        const Clock::time_point due = last_ + interval_;
        while (Clock::now() < due && !fetchesAborted()) {
            std::this_thread::sleep_for(std::min<Clock::duration>(kPacingStep, due - Clock::now()));
        }
    }
    first_ = false;
    last_ = Clock::now();
    if (shared_ != nullptr) {
        std::lock_guard lock(shared_->mutex);
        shared_->last[engine_] = last_;
    }
}

SegmentResult checkSegment(const SegmentContext& context, const Text& segment) {
    const EngineTable& table = context.table;
    SegmentResult result;
    bool anyVerified = false;  // a page of the segment was verified so far
    bool allVerified = true;
    bool highlightsCut = false;  // a page held more highlights than are analysed
    // What each verified page shows for the segment, judged once all are in.
    const HitRule rule{context.thresholdBytes,
                       context.settings.mode == CheckMode::Sentence
                           ? std::optional<int>(context.settings.coveragePercent)
                           : std::nullopt};
    const SegmentForms forms(segment);
    std::vector<PageEvidence> evidence;
    std::vector<Text> evidenceUrls;  // the query URL of each
    // Whether every page came from the results store, and when the oldest
    // page used was fetched.
    bool allRecalled = true;
    std::optional<StoreTime> oldestPage;
    auto usedPageOf = [&oldestPage](StoreTime fetchedAt) {
        oldestPage = oldestPage ? std::min(*oldestPage, fetchedAt) : fetchedAt;
    };
    auto followRedirect = [&table](const std::string& target) {
        return !isVerificationRedirect(table, target);
    };
    // The body and the text of each page go into the memory of the one before.
    PageBuffers ownBuffers;
    PageBuffers& buffers = context.buffers ? *context.buffers : ownBuffers;
    FetchReport report;
    report.body = std::move(buffers.body);
    ClassifiedPage page;
    page.text = std::move(buffers.text);
    auto keepBuffers = [&] {
        buffers.body = std::move(report.body);
        buffers.text = std::move(page.text);
    };
    // The user gave up: by stopping the check (已停止), or at a prompt: the
    // row keeps the reason of the page that prompted (验证码, HTTP 429 …), else
    // 已取消.
    auto givenUp = [&] {
        result.status = SegmentStatus::Unverified;
        if (context.env.stopRequested()) {
            result.reason = stoppedReason();
        } else if (result.reason.empty()) {
            result.reason = unverified_reason::cancelled();
        }
        result.hits = 0;
        result.source.reset();
        result.cancelled = true;
        keepBuffers();
        return result;
    };
    int tries = 1;  // of the current page
    for (int pageNumber = 1; pageNumber <= table.pagesPerSegment; ++pageNumber) {
        result.url = table.queryUrl(context.baseUrl, segment, pageNumber);
        if (context.env.stopRequested()) {
            return givenUp();
        }
        // A page verified before is not asked again, and costs no wait.
        if (std::optional<RecalledPage> recalled = recallPage(context, result.url, forms, rule)) {
            anyVerified = true;
            highlightsCut = highlightsCut || recalled->highlightsCut;
            usedPageOf(recalled->verifiedAt);
            evidence.push_back(std::move(recalled->evidence));
            evidenceUrls.push_back(result.url);
            continue;
        }
        allRecalled = false;
        context.pacer.beforeRequest();
        const StoreTime fetchedAt = storeTimeNow();
        report = fetchPage(result.url, context.limits, followRedirect, std::move(report.body));
        page = classifyPage(table, report, std::move(page.text));
        if (context.env.stopRequested()) {
            return givenUp();
        }
        if (!page.verified()) {
            switch (afterUnverifiedPage(context, page, tries, anyVerified)) {
                case AfterPage::AskAgain:
                    ++tries;
                    --pageNumber;
                    continue;
                case AfterPage::GiveUp:
                    if (result.reason.empty()) {
                        result.reason = page.reason;  // the row keeps why it was given up
                    }
                    return givenUp();
                case AfterPage::StopEngine:
                    result.status = SegmentStatus::Unverified;
                    result.reason = pass_texts::engineStopped(context.table.name);
                    result.hits = 0;
                    result.engineStopped = true;
                    keepBuffers();
                    return result;
                case AfterPage::GoOn:
                    break;
            }
            tries = 1;
            allVerified = false;
            if (result.reason.empty()) {
                result.reason = page.reason;
            }
            continue;
        }
        tries = 1;
        if (context.backOff != nullptr) {
            context.backOff->pageArrived();
        }
        anyVerified = true;
        highlightsCut = highlightsCut || page.highlightsCut;
        // A page that arrived cut may still show a run in what came, but its
        // missing part may hold one: it never proves the segment original,
        // and it is not kept.
        Text cut = cutReason(report);
        const bool pageCut = !cut.empty();
        if (pageCut) {
            allVerified = false;
            if (result.reason.empty()) {
                result.reason = std::move(cut);
            }
        }
        if (page.pageClass == PageClass::ResultPage && page.highlights.empty() &&
            table.pageWithoutHighlightUnverified) {
            allVerified = false;
            if (result.reason.empty()) {
                result.reason = unverified_reason::noHighlight();
            }
            continue;
        }
        evidence.push_back(pageEvidence(table, page, result.url, forms, rule));
        evidenceUrls.push_back(result.url);
        if (!pageCut) {
            keepPage(context, result.url, page.pageClass, evidence.back(), page.highlightsCut,
                     fetchedAt);
            usedPageOf(fetchedAt);
        }
    }
    keepBuffers();
    const HitOutcome judged = judgeSegment(segment, evidence, rule, context.ignore);
    // A row links to the result page that shows the copy, else to the first.
    result.url = judged.sourcePage >= 0 ? evidenceUrls[static_cast<std::size_t>(judged.sourcePage)]
                                        : table.queryUrl(context.baseUrl, segment, 1);
    result.hits = judged.hits;
    if (allVerified) {
        result.coverage = judged.coverage;
    }
    const bool blocksCut = std::any_of(evidence.begin(), evidence.end(),
                                       [](const PageEvidence& page) { return page.blocksCut; });
    if (highlightsCut || blocksCut) {
        result.note = pass_texts::pageCutNote(highlightsCut, blocksCut);
    }
    if (result.hits > 0) {
        result.status = SegmentStatus::Hit;
        result.reason.clear();
        result.coverage = judged.coverage;
        result.source = judged.source;
    } else if (allVerified) {
        result.status = SegmentStatus::Original;
    } else {
        result.status = SegmentStatus::Unverified;
    }
    if (result.status != SegmentStatus::Unverified && context.store != nullptr) {
        result.cached = allRecalled;
        result.verifiedAt = oldestPage;
    }
    return result;
}

}  // namespace oc
