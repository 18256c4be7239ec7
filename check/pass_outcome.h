// What a pass leaves behind: every segment with its row and result, how the
// pass ended, and the value, coverage and verdict computed from that, once,
// for the window, the command-line checker, the reports and the store alike.
#pragma once

#include <vector>

#include "check/engine_tables.h"
#include "check/segment_status.h"
#include "services/text_types.h"

namespace oc {

// How the segments of a pass were gone through: every segment checked, 取消
// answered at a prompt (or the engine's address unusable), or stopped by the user.
enum class PassStop { Finished, Cancelled, Stopped };

// How a pass function returned. Cancelled also ends a pass whose engine
// address in the settings is invalid: its message was shown, nothing queried
// and no value written, and a pass the user stopped: its rows say 已停止.
// EmptyArticle: the article was empty; its message has been shown and nothing
// written. NoDocuments: the local engine had no folder or no document in it;
// its message has been shown and no row written.
enum class PassEnd { Normal, Cancelled, EmptyArticle, NoDocuments };

// One engine's pass of a run and how it ended.
struct PassRecord {
    Engine engine;
    PassEnd end;
};

// Each segment of a pass with the grid row that shows it and its result, in
// the order of the grid. A recheck updates `results` (and `stop`) in place.
struct PassOutcome {
    TextList segments;                   // GBK, as the pass cut them
    std::vector<int> rows;               // the grid row (and row number) of each segment
    std::vector<SegmentResult> results;  // the result of each segment
    PassStop stop = PassStop::Finished;  // how the last pass over these segments ended

    int count(SegmentStatus status) const;
    int verified() const { return count(SegmentStatus::Original) + count(SegmentStatus::Hit); }
    // The segments that count: all but a 不计 one.
    int total() const { return static_cast<int>(results.size()) - count(SegmentStatus::Skipped); }
    bool hasUnverified() const { return verified() < total(); }
};

// The figures of a pass, as every output states them (GBK texts).
struct PassSummary {
    int total = 0;     // segments of the pass
    int verified = 0;  // 命中 and 原创 segments
    int original = 0;  // 原创 segments
    // "84.21%": the share of original segments among the verified ones; empty
    // when the pass did not finish or nothing was verified.
    Text value;
    // "已核实 a/b", "已取消 a/b" or "已停止 a/b" (a verified of b segments);
    // empty for a pass without segments.
    Text coverage;
    // The comment for the value, with "（n段未核实）" when some segments are
    // unverified; empty without a value. "核实不足（n段未核实）" instead when
    // too few are verified. Computed for every engine; an engine without a
    // verdict label (Baidu) does not show it.
    Text verdict;
    // A finished pass verified fewer than half its segments: no verdict, the
    // value shown grey, and Baidu says "核实不足" after its coverage.
    bool tooFewVerified = false;

    // Some segments are unverified: the window shows the coverage in red.
    bool incomplete() const { return verified < total; }
};

// "核实不足" (GBK).
const Text& tooFewVerifiedWord();

// The one place value, coverage and verdict are computed.
PassSummary summarizePass(const PassOutcome& outcome);

}  // namespace oc
