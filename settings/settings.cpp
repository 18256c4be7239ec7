#include "settings/settings.h"

#include "settings/cache_days.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <map>

#include "services/boundary_text.h"

#include "services/conversions.h"
#include "services/encoding.h"
#include "services/file_contents.h"
#include "services/files.h"
#include "services/ini_file.h"
#include "services/line_breaks.h"
#include "services/text_ops.h"
#include "settings/settings_location.h"

namespace oc {
namespace {

const Text& settingsFileName() {
    static const Text name = gbkFromUtf8("配置.ini");
    return name;
}
const Text& checkSection() {
    static const Text name = gbkFromUtf8("原创检测配置");
    return name;
}
// The keys of the check section in the order they are read and written.
const Text& key(const char* utf8Name) {
    static const std::map<std::string, Text, std::less<>> keys = [] {
        std::map<std::string, Text, std::less<>> all;
        for (const char* name :
             {"段落字数", "飘红检测数", "最后段字数", "查询间隔", "页面超时", "检测方式",
              "飘红覆盖率", "缓存天数", "忽略网站", "本地文档目录"}) {
            all.emplace(name, gbkFromUtf8(name));
        }
        return all;
    }();
    return keys.at(utf8Name);
}

constexpr int kMaxSegmentChars = 38;
constexpr int kMinMinRunChars = 12;
constexpr int kMaxIntervalSeconds = 120;
constexpr int kDefaultPageTimeoutSeconds = 120;
constexpr int kMaxPageTimeoutSeconds = 600;
constexpr int kDefaultCoveragePercent = 80;
const ParameterTexts kDefaultParameters{
    "38", "30", "5", "0", std::nullopt, "120", gbkFromUtf8("整句"), "80", "7"};

// An INI value is one line: the lines of a list become spaces.
Text oneLine(Text value) {
    return lineBreaksAsSpaces(std::move(value));
}

ParameterTexts readParameters(const Text& path, const ParameterTexts& defaults) {
    ParameterTexts texts;
    texts.segmentChars = readIniItem(path, checkSection(), key("段落字数"), defaults.segmentChars);
    texts.minRunChars = readIniItem(path, checkSection(), key("飘红检测数"), defaults.minRunChars);
    texts.lastSegmentChars =
        readIniItem(path, checkSection(), key("最后段字数"), defaults.lastSegmentChars);
    texts.intervalSeconds =
        readIniItem(path, checkSection(), key("查询间隔"), defaults.intervalSeconds);
    texts.pageTimeoutSeconds =
        readIniItem(path, checkSection(), key("页面超时"), defaults.pageTimeoutSeconds);
    texts.mode = readIniItem(path, checkSection(), key("检测方式"), defaults.mode);
    texts.coveragePercent =
        readIniItem(path, checkSection(), key("飘红覆盖率"), defaults.coveragePercent);
    texts.cacheDays = readIniItem(path, checkSection(), key("缓存天数"), defaults.cacheDays);
    texts.ignoredSites = readIniItem(path, checkSection(), key("忽略网站"));
    return texts;
}

// Why the file at the native path cannot be read as a settings file (UTF-8),
// empty when it can or is not there.
std::string unusableBecause(const std::string& native) {
    struct stat info {};
    if (::stat(native.c_str(), &info) != 0) {
        switch (errno) {
            case ENOENT:
                return {};
            case ELOOP:
                return "链接层数过多，可能指向自己";
            case ENAMETOOLONG:
                return "路径过长";
            case EACCES:
                return "没有读取权限";
            default:
                return "无法读取";
        }
    }
    if (S_ISDIR(info.st_mode)) {
        return "这是一个文件夹";
    }
    if (!S_ISREG(info.st_mode)) {
        return "不是普通文件";
    }
    if (static_cast<std::uintmax_t>(info.st_size) > kMaxWholeFileBytes) {
        return "文件过大，超过 64 MiB";
    }
    FileBytes file = readWholeFile(native);
    if (file.status == FileReadStatus::Missing) {
        return {};
    }
    if (file.status != FileReadStatus::Ok) {
        return "无法读取";
    }
    std::string utf8;
    if (!appendConverted(file.bytes, "GB18030", "UTF-8", utf8)) {
        return "内容不是 GBK 文本";
    }
    return {};
}

}  // namespace

Text settingsFileProblem(const Text& path) {
    const std::string reason = unusableBecause(nativePath(path));
    if (reason.empty()) {
        return {};
    }
    return gbkFromUtf8("设置文件“") + path +
           gbkFromUtf8("”无法使用（" + reason + "），本次使用默认设置。");
}

Text settingsPath() {
    return gbkFromUtf8(settingsFolder(currentSettingsPlaces())) + kPathSeparator +
           settingsFileName();
}

CheckSettings loadCheckSettings(const Text& path) {
    ParameterTexts texts = readParameters(path, kDefaultParameters);
    CheckSettings settings;
    settings.segmentChars = toInteger(texts.segmentChars);
    settings.minRunChars = toInteger(texts.minRunChars);
    settings.lastSegmentChars = toInteger(texts.lastSegmentChars);
    // A segment of no characters would cut nothing; it counts as the longest.
    if (settings.segmentChars > kMaxSegmentChars || settings.segmentChars <= 0) {
        settings.segmentChars = kMaxSegmentChars;
    }
    // Segments shorter than the shortest highlight that counts could never be copies.
    settings.segmentChars = std::max(settings.segmentChars, kMinMinRunChars);
    if (settings.minRunChars < kMinMinRunChars) {
        settings.minRunChars = kMinMinRunChars;
    }
    // A run longer than a segment cannot occur: every segment would count as original.
    settings.minRunChars = std::min(settings.minRunChars, settings.segmentChars);
    settings.lastSegmentChars = std::clamp(settings.lastSegmentChars, 0, settings.segmentChars);
    settings.intervalSeconds =
        std::clamp(static_cast<int>(toInteger(texts.intervalSeconds)), 0, kMaxIntervalSeconds);
    // No deadline at all would let one page hold the check for ever.
    const int pageTimeout = toInteger(texts.pageTimeoutSeconds);
    settings.pageTimeoutSeconds = pageTimeout <= 0 ? kDefaultPageTimeoutSeconds
                                                   : std::min(pageTimeout, kMaxPageTimeoutSeconds);
    // Any other mode, written by hand, is the default one.
    settings.mode = checkModeOf(trimSpaces(texts.mode)).value_or(CheckMode::Sentence);
    const int coverage = toInteger(texts.coveragePercent);
    settings.coveragePercent = trimSpaces(texts.coveragePercent).empty()
                                   ? kDefaultCoveragePercent
                                   : std::clamp(coverage, kMinCoveragePercent, kMaxCoveragePercent);
    return settings;
}

Text parameterRangeNotice(const Text& path) {
    const ParameterTexts written = readParameters(path, kDefaultParameters);
    const CheckSettings used = loadCheckSettings(path);
    std::string items;
    auto note = [&items](const char* name, const Text& value, int inUse) {
        if (toInteger(value) != inUse) {
            items += (items.empty() ? "" : "；") + std::string(name) +
                     utf8FromGbk(trimSpaces(value)) + "→" + std::to_string(inUse);
        }
    };
    note("分段文本字数（段落字数）", written.segmentChars, used.segmentChars);
    note("飘红计数字数（飘红检测数）", written.minRunChars, used.minRunChars);
    note("最后一段字数（最后段字数）", written.lastSegmentChars, used.lastSegmentChars);
    note("查询间隔", written.intervalSeconds, used.intervalSeconds);
    return items.empty()
               ? Text()
               : gbkFromUtf8("配置文件中的参数超出范围，本次检测按范围内的值使用：" + items);
}

const Text& checkModeText(CheckMode mode) {
    static const Text sentence = gbkFromUtf8("整句");
    static const Text classic = gbkFromUtf8("经典");
    return mode == CheckMode::Classic ? classic : sentence;
}

std::optional<CheckMode> checkModeOf(const Text& text) {
    for (CheckMode mode : {CheckMode::Sentence, CheckMode::Classic}) {
        if (text == checkModeText(mode)) {
            return mode;
        }
    }
    return std::nullopt;
}

ParameterTexts loadParameterTexts(const Text& path) {
    return readParameters(path, {});
}

ShownParameters loadShownParameters(const Text& path) {
    // No value in a file can hold a line break: it marks a missing key.
    const Text missing = "\n";
    const ParameterTexts defaults = kDefaultParameters;
    ShownParameters shown;
    shown.texts = readParameters(path, {missing, missing, missing, missing, std::nullopt, missing,
                                        missing, missing, missing});
    Text* texts[] = {&shown.texts.segmentChars,       &shown.texts.minRunChars,
                     &shown.texts.lastSegmentChars,   &shown.texts.intervalSeconds,
                     &shown.texts.pageTimeoutSeconds, &shown.texts.mode,
                     &shown.texts.coveragePercent,    &shown.texts.cacheDays};
    const Text* fallbacks[] = {&defaults.segmentChars,       &defaults.minRunChars,
                               &defaults.lastSegmentChars,   &defaults.intervalSeconds,
                               &defaults.pageTimeoutSeconds, &defaults.mode,
                               &defaults.coveragePercent,    &defaults.cacheDays};
    for (int i = 0; i < 8; ++i) {
        if (*texts[i] == missing) {
            *texts[i] = *fallbacks[i];
            shown.defaulted[i] = true;
        }
    }
    return shown;
}

Text parameterRangeProblem(const ParameterTexts& texts) {
    const int segment = toInteger(texts.segmentChars);
    const int minRun = toInteger(texts.minRunChars);
    const int last = toInteger(texts.lastSegmentChars);
    const int interval = toInteger(texts.intervalSeconds);
    const int pageTimeout = toInteger(texts.pageTimeoutSeconds);
    const std::string upTo = std::to_string(segment);
    if (trimSpaces(texts.segmentChars).empty()) {
        return gbkFromUtf8("请填写分段文本字数（12～38）。");
    }
    if (segment < kMinMinRunChars || segment > kMaxSegmentChars) {
        return gbkFromUtf8("分段文本字数应在 12～38 之间。");
    }
    if (trimSpaces(texts.minRunChars).empty()) {
        return gbkFromUtf8(std::string("请填写飘红计数字数（12～").append(upTo).append("）。"));
    }
    if (minRun < kMinMinRunChars || minRun > segment) {
        return gbkFromUtf8(std::string("飘红计数字数应在 12～")
                               .append(upTo)
                               .append(" 之间（不能超过分段文本字数）。"));
    }
    if (last < 0 || last > segment) {
        return gbkFromUtf8(std::string("最后一段字数应在 0～")
                               .append(upTo)
                               .append(" 之间（不能超过分段文本字数）。"));
    }
    if (interval < 0 || interval > kMaxIntervalSeconds) {
        return gbkFromUtf8("查询间隔应在 0～120 秒之间。");
    }
    if (!trimSpaces(texts.pageTimeoutSeconds).empty() &&
        (pageTimeout < 1 || pageTimeout > kMaxPageTimeoutSeconds)) {
        return gbkFromUtf8("页面超时应在 1～600 秒之间。");
    }
    const int coverage = toInteger(texts.coveragePercent);
    if (!trimSpaces(texts.coveragePercent).empty() &&
        (coverage < kMinCoveragePercent || coverage > kMaxCoveragePercent)) {
        return gbkFromUtf8("飘红覆盖率应在 50～100 之间。");
    }
    if (!trimSpaces(texts.cacheDays).empty()) {
        return cacheDaysProblem(texts.cacheDays);
    }
    return Text();
}

bool saveParameterTexts(const Text& path, const ParameterTexts& texts) {
    // One save, so that two windows saving at once leave one set or the other, never a mix.
    std::vector<IniItem> items = {{key("段落字数"), texts.segmentChars},
                                  {key("飘红检测数"), texts.minRunChars},
                                  {key("最后段字数"), texts.lastSegmentChars},
                                  {key("查询间隔"), texts.intervalSeconds},
                                  {key("页面超时"), texts.pageTimeoutSeconds}};
    // A caller that names only the numbers leaves the mode keys alone.
    if (!texts.mode.empty()) {
        items.push_back({key("检测方式"), texts.mode});
    }
    if (!texts.coveragePercent.empty()) {
        items.push_back({key("飘红覆盖率"), texts.coveragePercent});
    }
    if (!texts.cacheDays.empty()) {
        items.push_back({key("缓存天数"), trimSpaces(texts.cacheDays)});
    }
    if (texts.ignoredSites) {
        items.push_back({key("忽略网站"), oneLine(*texts.ignoredSites)});
    }
    return writeIniItems(path, checkSection(), items);
}

Text loadIgnoredSites(const Text& path) {
    return readIniItem(path, checkSection(), key("忽略网站"));
}

bool saveIgnoredSites(const Text& path, const Text& sites) {
    return writeIniItem(path, checkSection(), key("忽略网站"), oneLine(sites));
}

std::string loadLocalFolder(const Text& path) {
    return percentDecode(readIniItem(path, checkSection(), key("本地文档目录")));
}

bool saveLocalFolder(const Text& path, const std::string& folder) {
    // Bytes, not GBK text: every byte of the native path is percent-encoded.
    return writeIniItem(path, checkSection(), key("本地文档目录"), urlEncode(folder, true));
}

}  // namespace oc
