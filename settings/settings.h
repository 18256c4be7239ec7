// The settings file beside the program: the check parameters (the search
// engines' section is in engine_settings.h). Nothing is cached: every use reads the file afresh.
#pragma once

#include <optional>

#include "services/text_types.h"
#include "settings/engine_settings.h"

namespace oc {

// 检测方式: how the article is cut and asked for. 整句 (the default): whole
// sentences as written, a segment copied when one long highlight or the
// highlights of one result covering 飘红覆盖率 of it show up; 经典: fixed
// windows of the characters outside ASCII, one long highlight only.
enum class CheckMode { Sentence, Classic };

struct CheckSettings {
    int segmentChars = 38;     // 段落字数, bounded to 1..38 (0 or below counts as 38)
    int minRunChars = 30;      // 飘红检测数, at least 12
    int lastSegmentChars = 5;  // 最后段字数
    int intervalSeconds = 0;   // 查询间隔: seconds between two requests of one engine, 0..120
    // 页面超时: seconds one result page may take from connect to last byte, 1..600
    int pageTimeoutSeconds = 120;
    CheckMode mode = CheckMode::Sentence;  // 检测方式
    int coveragePercent = 80;              // 飘红覆盖率, 50..100 (整句 only)
};

// "整句" / "经典" (GBK), and back: nothing for any other text.
const Text& checkModeText(CheckMode mode);
std::optional<CheckMode> checkModeOf(const Text& text);

// The bounds of 飘红覆盖率.
inline constexpr int kMinCoveragePercent = 50;
inline constexpr int kMaxCoveragePercent = 100;

struct ParameterTexts {
    Text segmentChars;
    Text minRunChars;
    Text lastSegmentChars;
    Text intervalSeconds = {};  // 查询间隔, empty when a caller names only the three
    // 忽略网站 as the file holds it; a save without it leaves the key alone.
    std::optional<Text> ignoredSites = {};
    // 页面超时, empty means 120; last, so that callers naming the fields above
    // in order stay as they were.
    Text pageTimeoutSeconds = {};
    Text mode = {};             // 检测方式; empty: 整句
    Text coveragePercent = {};  // 飘红覆盖率; empty: 80
    Text cacheDays = {};        // 缓存天数; empty: 7 (a save without it leaves the key alone)
};

// The settings file of this process: "配置.ini" in settingsFolder() (beside the
// program, or in the user's configuration folder for an installed or read-only
// program). Callers choose it once and use it for every read and write.
Text settingsPath();

// Why the settings file cannot be used, so that its values give way to the
// defaults (GBK): "设置文件“PATH”无法使用（REASON），本次使用默认设置。" for a
// folder, a pipe or device, a loop of links, a file above the read limit, one
// that cannot be read, or one that is no GBK text. Empty for a usable file, a
// missing one, and a link to a file not made yet (a save creates it).
Text settingsFileProblem(const Text& path);

// The reads of a check pass, with defaults "38", "30", "5", "0", "120", toInteger and
// the bounds of the parameter window: 段落字数 12-38 (0 or below: 38), 飘红检测数
// 12 up to 段落字数 (no run is longer than a segment), 最后段字数 0 up to
// 段落字数, 查询间隔 0-120.
CheckSettings loadCheckSettings(const Text& path);
// The values of a hand-edited file that loadCheckSettings brought into range,
// said once (GBK):
// "配置文件中的参数超出范围，本次检测按范围内的值使用：分段文本字数（段落字数）5→12" with one item
// per value, joined by "；". Empty when every value was in range.
Text parameterRangeNotice(const Text& path);
// The parameter window's load: no defaults, a missing key gives empty text.
ParameterTexts loadParameterTexts(const Text& path);
// The parameter window's save: the five keys in order, values unchanged, and
// 忽略网站 when given (as one line), in one save.
bool saveParameterTexts(const Text& path, const ParameterTexts& texts);

// What the parameter window shows: each value from the file, or the default
// ("38", "30", "5", "0", "120", "整句", "80", "7") of a key the file lacks, marked as such.
struct ShownParameters {
    ParameterTexts texts;
    // 段落字数, 飘红检测数, 最后段字数, 查询间隔, 页面超时, 检测方式, 飘红覆盖率, 缓存天数
    bool defaulted[8] = {};
};
ShownParameters loadShownParameters(const Text& path);

// Why the parameter window must not save these values (GBK), empty when they
// may be saved: 段落字数 12-38 and 飘红检测数 12 up to 段落字数, both required;
// 最后段字数 0 up to 段落字数 and 查询间隔 0-120, where empty text means 0;
// 页面超时 1-600, where empty text means 120.
Text parameterRangeProblem(const ParameterTexts& texts);

// Section "原创检测配置", key "忽略网站": the user's own sites, whose results do not
// count as copies (empty when none). The save writes the list as one line.
Text loadIgnoredSites(const Text& path);
bool saveIgnoredSites(const Text& path, const Text& sites);

// Section "原创检测配置", key "本地文档目录": the folder of the user's own
// documents (native bytes), kept as percent-encoded UTF-8 so that any path
// survives the GBK file. Empty when none is set.
std::string loadLocalFolder(const Text& path);
bool saveLocalFolder(const Text& path, const std::string& folder);

}  // namespace oc
