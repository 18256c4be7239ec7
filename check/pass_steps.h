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
    CheckSettings settings;
    SegmentList segments;
    int total = 0;
};

// The components that show one engine's pass.
struct PassComponents {
    std::string_view grid;
    std::string_view valueLabel;
    std::string_view coverageLabel;
    std::string_view verdictLabel;  // empty: the engine has none
};
PassComponents componentsOf(Engine engine);

// Empties the value label, disables the check button, reads the article and
// the settings, shows the character count, cuts the segments and empties the
// grid. Nothing when the article is empty: then the message has been shown and
// the button enabled again.
std::optional<PreparedPass> beginPass(const PassEnvironment& env, const PassComponents& shown);

// Appends the row of a segment (title = its index) and returns that index.
int appendSegmentRow(WindowPort& window, std::string_view grid, const Text& segment);

// Writes a segment's result into its row: hits (empty unless verified), the
// query URL in blue, the status with the reason as tooltip, the background.
void writeSegmentRow(WindowPort& window, std::string_view grid, int row,
                     const SegmentResult& result);

// How a pass ended: every segment checked, 取消 answered at a prompt, or
// stopped by the user.
enum class PassStop { Finished, Cancelled, Stopped };

// Value, coverage and verdict of the outcome (none but the coverage, "已取消
// a/b" or "已停止 a/b", for a pass that did not finish); the check button is
// enabled again.
void finishPass(WindowPort& window, const PassComponents& shown, const PassOutcome& outcome,
                PassStop end);

// The memory a pass keeps from one result page to the next.
struct PageBuffers {
    ByteSet body;  // the page as it arrived
    Text text;     // the page decoded
};

// Fetches a page's bytes (through env.fetch when set) and appends it to
// `text`, decoded from UTF-8 (or the charset its meta tag declares) and ending
// before its first zero byte; nothing when that fails.
void appendPageText(const PassEnvironment& env, const Text& url, PageBuffers& buffers, Text& text);

// The base URL of an engine: the environment's override, else the settings
// file's. Nothing when the file's address is no base URL: then the message
// naming key and value has been shown, and the pass must not query anything.
std::optional<Text> engineBaseUrl(const PassEnvironment& env, Engine engine);

// The fetch limits with the user agent of the environment or the settings file.
FetchLimits passFetchLimits(const PassEnvironment& env);

// The settings file's check settings with the environment's overrides.
CheckSettings passSettings(const PassEnvironment& env);

// The wait between two requests: the environment's, else 查询间隔.
std::chrono::milliseconds passInterval(const PassEnvironment& env, const CheckSettings& settings);

// The own sites: 忽略网站 of the settings file and those of the environment.
IgnoreList passIgnoreList(const PassEnvironment& env);

// A text from a page (UTF-8) as a cell holds it: GB18030, so characters GBK
// lacks survive to the window and the reports.
Text cellTextOf(const std::string& utf8);

}  // namespace oc
