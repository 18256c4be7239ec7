// The settings file beside the program: the three check parameters and the
// search engine endpoints. Nothing is cached: every use reads the file afresh.
#pragma once

#include "services/text_types.h"

namespace oc {

struct CheckSettings {
    int segmentChars = 38;     // 段落字数, bounded to 1..38 (0 or below counts as 38)
    int minRunChars = 30;      // 飘红检测数, at least 12
    int lastSegmentChars = 5;  // 最后段字数, read and not applied
    int intervalSeconds = 0;   // 查询间隔: seconds between two requests of one engine, 0..120
};

struct EngineEndpoints {
    Text baidu;  // scheme://host[:port], no trailing slash
    Text engine360;
};

struct ParameterTexts {
    Text segmentChars;
    Text minRunChars;
    Text lastSegmentChars;
    Text intervalSeconds;  // 查询间隔
};

// programDirectory + "/配置.ini".
Text settingsPath();

// The three reads of a check pass, with defaults "38", "30", "5", toInteger and the bounds.
CheckSettings loadCheckSettings(const Text& path);
// The parameter window's load: no defaults, a missing key gives empty text.
ParameterTexts loadParameterTexts(const Text& path);
// The parameter window's save: the keys in order, values unchanged, in one save.
bool saveParameterTexts(const Text& path, const ParameterTexts& texts);

// Section "搜索引擎", keys "百度" and "360"; a value that is not an http(s) URL
// is ignored in favour of the built-in default.
EngineEndpoints loadEngineEndpoints(const Text& path);
EngineEndpoints defaultEngineEndpoints();

}  // namespace oc
