// The steps the passes of every engine share.
#pragma once

#include <optional>
#include <string_view>

#include "check/check_pass.h"
#include "check/ignore_list.h"
#include "check/segmentation.h"
#include "settings/settings.h"

namespace oc {

struct PreparedPass {
    SegmentList segments;  // those to check
    int total = 0;         // how many
    // In 经典, the last segment when it is shorter than 最后段字数 (and not the
    // only one): shown as 不计 after the others, never checked.
    std::optional<Text> skippedLast;
};

// Empties the engine's labels and grid (its header row stays).
void clearEngineResults(WindowPort& window, const EngineIdentity& shown);

// Empties the value label, disables the check button, shows the character
// count of the request's article, cuts its segments by the request's settings
// and empties the grid. Nothing when the article is empty: then the message
// has been shown and the button enabled again.
std::optional<PreparedPass> beginPass(const CheckRequest& request, const PassEnvironment& env,
                                      const EngineIdentity& shown);

// Appends the row of a segment (title = its index) and returns that index.
int appendSegmentRow(WindowPort& window, std::string_view grid, const Text& segment);

// The tip of a row's status: why it is unverified, and that its pages were
// analysed only in part (页面过大，…), joined by "；"; empty otherwise.
Text statusTip(const SegmentResult& result);

// Writes a segment's result into its row: hits (empty unless verified), the
// query URL in blue, the status with the reason as tooltip, the background.
void writeSegmentRow(WindowPort& window, std::string_view grid, int row,
                     const SegmentResult& result);

// Records the result of segment `index` of `outcome` (appended when it is the
// next one), writes its row and tells the listener.
void recordSegment(const PassEnvironment& env, Engine engine, PassOutcome& outcome,
                   std::size_t index, SegmentResult result);

// Appends the row of the pass's 不计 last segment, when it has one.
void recordSkippedLast(const PassEnvironment& env, Engine engine, PassOutcome& outcome,
                       PreparedPass& pass);

// Shows value, coverage and verdict of the outcome ended by `stop` (none but
// the coverage, "已取消 a/b" or "已停止 a/b", for a pass that did not finish);
// the check button is enabled again when the environment says so.
void finishPass(const PassEnvironment& env, const EngineIdentity& shown, PassOutcome& outcome,
                PassStop stop);

// The memory a pass keeps from one result page to the next.
struct PageBuffers {
    ByteSet body;  // the page as it arrived
    Text text;     // the page decoded
};

// The base URL of a web engine in the request's settings. Nothing when the
// settings file's address is no base URL: then the message naming key and
// value has been shown, and the pass must not query anything.
std::optional<Text> engineBaseUrl(const CheckRequest& request, const PassEnvironment& env,
                                  Engine engine);

// The fetch limits of the environment with the request's user agent and page
// deadline (页面超时, or the override).
FetchLimits passFetchLimits(const CheckRequest& request, const PassEnvironment& env);

// A text from a page (UTF-8) as a cell holds it: GB18030, so characters GBK
// lacks survive to the window and the reports.
Text cellTextOf(const std::string& utf8);

}  // namespace oc
