#include "settings/settings.h"

#include "services/conversions.h"
#include "services/files.h"
#include "services/ini_file.h"
#include "settings/endpoint_url.h"

namespace oc {
namespace {

const Text kSettingsFileName = "\xC5\xE4\xD6\xC3.ini";                          // 配置.ini
const Text kCheckSection = "\xD4\xAD\xB4\xB4\xBC\xEC\xB2\xE2\xC5\xE4\xD6\xC3";  // 原创检测配置
const Text kSegmentCharsKey = "\xB6\xCE\xC2\xE4\xD7\xD6\xCA\xFD";               // 段落字数
const Text kMinRunCharsKey = "\xC6\xAE\xBA\xEC\xBC\xEC\xB2\xE2\xCA\xFD";        // 飘红检测数
const Text kLastSegmentCharsKey = "\xD7\xEE\xBA\xF3\xB6\xCE\xD7\xD6\xCA\xFD";   // 最后段字数
const Text kEngineSection = "\xCB\xD1\xCB\xF7\xD2\xFD\xC7\xE6";                 // 搜索引擎
const Text kBaiduKey = "\xB0\xD9\xB6\xC8";                                      // 百度
const Text k360Key = "360";

constexpr int kMaxSegmentChars = 38;
constexpr int kMinMinRunChars = 12;

// The three keys in the order they are read and written.
ParameterTexts readParameters(const Text& path, const ParameterTexts& defaults) {
    ParameterTexts texts;
    texts.segmentChars = readIniItem(path, kCheckSection, kSegmentCharsKey, defaults.segmentChars);
    texts.minRunChars = readIniItem(path, kCheckSection, kMinRunCharsKey, defaults.minRunChars);
    texts.lastSegmentChars =
        readIniItem(path, kCheckSection, kLastSegmentCharsKey, defaults.lastSegmentChars);
    return texts;
}

Text endpointOrDefault(const Text& path, const Text& key, const Text& fallback) {
    Text base = baseUrlOrEmpty(readIniItem(path, kEngineSection, key));
    return base.empty() ? fallback : base;
}

}  // namespace

Text settingsPath() {
    return programDirectory() + kPathSeparator + kSettingsFileName;
}

CheckSettings loadCheckSettings(const Text& path) {
    ParameterTexts texts = readParameters(path, ParameterTexts{"38", "30", "5"});
    CheckSettings settings;
    settings.segmentChars = toInteger(texts.segmentChars);
    settings.minRunChars = toInteger(texts.minRunChars);
    settings.lastSegmentChars = toInteger(texts.lastSegmentChars);
    // A segment of no characters would cut nothing; it counts as the longest.
    if (settings.segmentChars > kMaxSegmentChars || settings.segmentChars <= 0) {
        settings.segmentChars = kMaxSegmentChars;
    }
    if (settings.minRunChars < kMinMinRunChars) {
        settings.minRunChars = kMinMinRunChars;
    }
    return settings;
}

ParameterTexts loadParameterTexts(const Text& path) {
    return readParameters(path, {});
}

bool saveParameterTexts(const Text& path, const ParameterTexts& texts) {
    // One save, so that two windows saving at once leave one set or the other, never a mix.
    return writeIniItems(path, kCheckSection,
                         {{kSegmentCharsKey, texts.segmentChars},
                          {kMinRunCharsKey, texts.minRunChars},
                          {kLastSegmentCharsKey, texts.lastSegmentChars}});
}

EngineEndpoints loadEngineEndpoints(const Text& path) {
    EngineEndpoints defaults = defaultEngineEndpoints();
    EngineEndpoints endpoints;
    endpoints.baidu = endpointOrDefault(path, kBaiduKey, defaults.baidu);
    endpoints.engine360 = endpointOrDefault(path, k360Key, defaults.engine360);
    return endpoints;
}

EngineEndpoints defaultEngineEndpoints() {
    return {"http://www.baidu.com", "http://www.so.com"};
}

}  // namespace oc
