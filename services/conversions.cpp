#include "services/conversions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "services/date_time.h"
#include "services/text_ops.h"

namespace oc {
namespace {

bool isCSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

int saturate(long long value) {
    if (value > std::numeric_limits<int>::max()) {
        return std::numeric_limits<int>::max();
    }
    if (value < std::numeric_limits<int>::min()) {
        return std::numeric_limits<int>::min();
    }
    return static_cast<int>(value);
}

Text formatWith(const char* format, double value) {
    char buffer[64];
    int written = std::snprintf(buffer, sizeof buffer, format, value);
    if (written < 0) {
        return {};
    }
    Text text(buffer, std::min(static_cast<std::size_t>(written), sizeof buffer - 1));
    // A locale with a decimal comma must not leak into our texts.
    std::replace(text.begin(), text.end(), ',', '.');
    return text;
}

// GBK forms of the date and time unit characters.
constexpr const char* kYear = "\xC4\xEA";    // 年
constexpr const char* kMonth = "\xD4\xC2";   // 月
constexpr const char* kDay = "\xC8\xD5";     // 日
constexpr const char* kHour = "\xCA\xB1";    // 时
constexpr const char* kMinute = "\xB7\xD6";  // 分
constexpr const char* kSecond = "\xC3\xEB";  // 秒

}  // namespace

int toInteger(const Text& text) {
    Text half = toHalfWidth(text);
    std::size_t i = 0;
    while (i < half.size() && isCSpace(half[i])) {
        ++i;
    }
    bool negative = false;
    if (i < half.size() && (half[i] == '+' || half[i] == '-')) {
        negative = half[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < half.size() && half[i] >= '0' && half[i] <= '9'; ++i) {
        if (value < (1LL << 40)) {
            value = value * 10 + (half[i] - '0');
        }
    }
    return saturate(negative ? -value : value);
}

int toInteger(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    double t = std::trunc(value);
    if (t >= 2147483647.0) {
        return std::numeric_limits<int>::max();
    }
    if (t <= -2147483648.0) {
        return std::numeric_limits<int>::min();
    }
    return static_cast<int>(t);
}
int toInteger(float value) {
    return toInteger(static_cast<double>(value));
}
int toInteger(std::int64_t value) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}
int toInteger(std::int32_t value) {
    return value;
}
int toInteger(std::int16_t value) {
    return value;
}
int toInteger(std::uint8_t value) {
    return value;
}
int toInteger(bool value) {
    return value ? 1 : 0;
}

double toNumber(const Text& text) {
    Text half = toHalfWidth(text);
    std::size_t i = 0;
    while (i < half.size() && isCSpace(half[i])) {
        ++i;
    }
    bool negative = false;
    if (i < half.size() && (half[i] == '+' || half[i] == '-')) {
        negative = half[i] == '-';
        ++i;
    }
    double value = 0.0;
    auto result = std::from_chars(half.data() + i, half.data() + half.size(), value,
                                  std::chars_format::general);
    if (result.ec != std::errc()) {
        return 0.0;
    }
    return negative ? -value : value;
}
double toNumber(std::int32_t value) {
    return value;
}
double toNumber(std::int64_t value) {
    return static_cast<double>(value);
}
double toNumber(double value) {
    return value;
}
double toNumber(bool value) {
    return value ? 1.0 : 0.0;
}

Text toText(const ByteSet& bytes) {
    const std::string& raw = bytes.bytes();
    return raw.substr(0, std::min(raw.size(), std::strlen(raw.c_str())));
}
Text toText(std::int32_t value) {
    return std::to_string(value);
}
Text toText(std::int64_t value) {
    return std::to_string(value);
}
Text toText(std::int16_t value) {
    return std::to_string(value);
}
Text toText(std::uint8_t value) {
    return std::to_string(static_cast<unsigned>(value));
}
Text toText(double value) {
    return formatWith("%.13g", value);
}
Text toText(float value) {
    return formatWith("%.6g", static_cast<double>(value));
}
Text toText(bool value) {
    return value ? "\xD5\xE6" : "\xBC\xD9";
}  // 真 / 假

Text toText(DateTime value) {
    CivilDateTime c = civilFromDateTime(value);
    Text out = std::to_string(c.year) + kYear + std::to_string(c.month) + kMonth +
               std::to_string(c.day) + kDay;
    if (c.second != 0) {
        out += std::to_string(c.hour) + kHour + std::to_string(c.minute) + kMinute +
               std::to_string(c.second) + kSecond;
    } else if (c.minute != 0) {
        out += std::to_string(c.hour) + kHour + std::to_string(c.minute) + kMinute;
    } else if (c.hour != 0) {
        out += std::to_string(c.hour) + kHour;
    }
    return out;
}

ByteSet toBytes(const Text& text) {
    return ByteSet(text);
}

ByteSet toBytes(std::int32_t value) {
    auto u = static_cast<std::uint32_t>(value);
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) {
        bytes[static_cast<std::size_t>(i)] = static_cast<char>((u >> (8 * i)) & 0xFF);
    }
    return ByteSet(std::move(bytes));
}

ByteSet toBytes(double value) {
    std::string bytes(sizeof value, '\0');
    std::memcpy(bytes.data(), &value, sizeof value);
    return ByteSet(std::move(bytes));
}

}  // namespace oc
