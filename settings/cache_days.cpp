#include "settings/cache_days.h"

#include <algorithm>
#include <string>

#include "services/boundary_text.h"
#include "services/conversions.h"
#include "services/ini_file.h"
#include "services/text_ops.h"

namespace oc {
namespace {

constexpr int kDefaultCacheDays = 7;

const Text& section() {
    static const Text name = gbkFromUtf8("原创检测配置");
    return name;
}

const Text& key() {
    static const Text name = gbkFromUtf8("缓存天数");
    return name;
}

}  // namespace

int loadCacheDays(const Text& path) {
    const Text value = trimSpaces(readIniItem(path, section(), key()));
    if (value.empty()) {
        return kDefaultCacheDays;
    }
    return std::clamp(static_cast<int>(toInteger(value)), 0, kMaxCacheDays);
}

Text loadCacheDaysText(const Text& path) {
    return readIniItem(path, section(), key(), Text(std::to_string(kDefaultCacheDays)));
}

Text cacheDaysProblem(const Text& days) {
    const Text value = trimSpaces(days);
    const int number = toInteger(value);
    if (value.empty() || number < 0 || number > kMaxCacheDays ||
        value.find_first_not_of("0123456789") != Text::npos) {
        return gbkFromUtf8("缓存天数应在 0～365 之间（0 表示不使用缓存）。");
    }
    return Text();
}

bool saveCacheDays(const Text& path, const Text& days) {
    return writeIniItem(path, section(), key(), trimSpaces(days));
}

}  // namespace oc
