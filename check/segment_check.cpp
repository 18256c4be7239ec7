#include "check/segment_check.h"

#include <thread>

#include "check/highlight.h"
#include "check/page_class.h"
#include "check/pass_texts.h"
#include "check/segment_source.h"
#include "services/boundary_text.h"
#include "services/page_decoding.h"

namespace oc {
namespace {

constexpr std::chrono::milliseconds kPacingStep{50};

// The prompt after a page that was blocked, failed or never arrived: true to
// go on (确定), false to give up the pass (取消).
bool continueAfterPage(const SegmentContext& context, const ClassifiedPage& page) {
    static const Text cannotConnect = gbkFromUtf8("无法连接");
    static const Text unusable = gbkFromUtf8("的应答无法使用");
    static const Text colon = gbkFromUtf8("：");
    Text prompt = page.arrived    ? context.table.blockedPrompt()
                  : page.answered ? context.table.name + unusable + colon + page.failure
                                  : cannotConnect + context.table.name + colon + page.failure;
    return context.env.platform->messageBox(prompt, kMbOkCancel, pass_texts::blockedTitle()) !=
           kAnswerCancel;
}

}  // namespace

void Pacer::beforeRequest() {
    using Clock = std::chrono::steady_clock;
    if (!first_ && interval_.count() > 0) {
        const Clock::time_point due = last_ + interval_;
        while (Clock::now() < due && !fetchesAborted()) {
            std::this_thread::sleep_for(std::min<Clock::duration>(kPacingStep, due - Clock::now()));
        }
    }
    first_ = false;
    last_ = Clock::now();
}

SegmentResult checkSegment(const SegmentContext& context, const Text& segment) {
    const EngineTable& table = context.table;
    SegmentResult result;
    bool anyVerified = false;  // a page of the segment was verified so far
    bool allVerified = true;
    // The verified pages holding qualifying runs, attributed once the segment's
    // pages are all in: the block of the longest run may be all that is parsed.
    struct PageWithRuns {
        Text text;
        Text url;
        std::vector<HighlightRun> runs;
        // The page as read (UTF-8) when `text` holds each of its characters:
        // the blocks are then found in it without converting `text` back.
        std::string utf8;
    };
    std::vector<PageWithRuns> withRuns;
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
    // The user gave up: at a prompt (已取消) or by stopping the check (已停止).
    auto givenUp = [&] {
        result.status = SegmentStatus::Unverified;
        result.reason =
            context.env.stopRequested() ? stoppedReason() : unverified_reason::cancelled();
        result.hits = 0;
        result.source.reset();
        result.cancelled = true;
        keepBuffers();
        return result;
    };
    for (int pageNumber = 1; pageNumber <= table.pagesPerSegment; ++pageNumber) {
        result.url = table.queryUrl(context.baseUrl, segment, pageNumber);
        if (context.env.stopRequested()) {
            return givenUp();
        }
        context.pacer.beforeRequest();
        report = fetchPage(result.url, context.limits, followRedirect, std::move(report.body));
        page = classifyPage(table, report, std::move(page.text));
        if (context.env.stopRequested()) {
            return givenUp();
        }
        if (!page.verified()) {
            allVerified = false;
            if (result.reason.empty()) {
                result.reason = page.reason;
            }
            if (!anyVerified && !continueAfterPage(context, page)) {
                return givenUp();
            }
            continue;
        }
        anyVerified = true;
        // A page that arrived cut may still show a run in what came, but its
        // missing part may hold one: it never proves the segment original.
        if (Text cut = cutReason(report); !cut.empty()) {
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
        if (!mayHoldQualifyingRun(segment, page.text, page.highlights, context.thresholdBytes)) {
            continue;
        }
        // Only a page that may hold a run is read as GB18030, where its runs
        // are measured and placed.
        Text gb18030;
        const bool everyCharacter = appendGb18030(page.text, gb18030);
        std::vector<HighlightRun> runs =
            qualifyingRuns(segment, gb18030, highlightsOf(table, gb18030), context.thresholdBytes);
        if (!runs.empty()) {
            withRuns.push_back({std::move(gb18030), result.url, std::move(runs),
                                everyCharacter ? std::move(page.text) : std::string()});
        }
    }
    std::vector<PageRuns> pages;
    for (const PageWithRuns& kept : withRuns) {
        pages.push_back({kept.text, kept.url, kept.runs, kept.utf8});
    }
    const SourceOutcome sources = attributeRuns(pages, table.blocks, context.ignore);
    // The memory of a kept page serves the next page when it is the larger.
    for (PageWithRuns& kept : withRuns) {
        for (std::string* memory : {&kept.utf8, &kept.text}) {
            if (memory->capacity() > page.text.capacity()) {
                page.text = std::move(*memory);
            }
        }
    }
    keepBuffers();
    result.hits = sources.hits;
    if (result.hits > 0) {
        result.status = SegmentStatus::Hit;
        result.reason.clear();
        result.source = sources.source;
    } else if (allVerified) {
        result.status = SegmentStatus::Original;
    } else {
        result.status = SegmentStatus::Unverified;
    }
    return result;
}

}  // namespace oc
