// The steps the Baidu and the 360 pass share.
#pragma once

#include <optional>
#include <string_view>

#include "check/check_pass.h"
#include "check/segmentation.h"
#include "settings/settings.h"

namespace oc {

struct PreparedPass {
    CheckSettings settings;
    SegmentList segments;
    int total = 0;
};

// Empties the value label, disables the check button, reads the article and
// the settings, shows the character count, cuts the segments and empties the
// grid. Nothing when the article is empty: then the message has been shown and
// the button enabled again.
std::optional<PreparedPass> beginPass(const PassEnvironment& env, std::string_view valueLabel,
                                      std::string_view grid);

// Appends the row of a segment (title = its index) and returns that index.
int appendSegmentRow(WindowPort& window, std::string_view grid, const Text& segment);

// Writes the hit count and the query URL (in blue) into the segment's row.
void writeRowResult(WindowPort& window, std::string_view grid, int row, int hits, const Text& url);

// The memory a pass keeps from one result page to the next.
struct PageBuffers {
    ByteSet body;  // the page as it arrived
};

// Fetches a result page and appends it to `text`, decoded from UTF-8 and
// ending before its first zero byte; nothing when that fails.
void appendPageText(const PassEnvironment& env, const Text& url, PageBuffers& buffers, Text& text);

// The block prompt for an empty page: true to go on (OK), false to give up.
bool continueAfterEmptyPage(const PassEnvironment& env, const Text& prompt);

// The percentage at the normal end (empty when there were no segments); the
// button is enabled again.
Text finishPass(WindowPort& window, std::string_view valueLabel, int unmatched, int total);

// Ends a pass given up at a prompt: only the button is enabled again.
void endCancelledPass(WindowPort& window);

// The base URL of an engine: the environment's override, else the settings file.
Text baiduBaseUrl(const PassEnvironment& env);
Text baseUrl360(const PassEnvironment& env);

}  // namespace oc
