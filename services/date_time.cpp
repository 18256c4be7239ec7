#include "services/date_time.h"

#include <cmath>
#include <ctime>

namespace oc {
namespace {

// Days from 1970-01-01 for a proleptic Gregorian date (H. Hinnant's algorithm).
long long daysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void civilFromDays(long long z, int& year, int& month, int& day) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(static_cast<long long>(yoe) + era * 400 + (month <= 2));
}

constexpr long long kOleEpochFromUnixDays = -25569;  // 1899-12-30 relative to 1970-01-01

}  // namespace

DateTime makeDateTime(const CivilDateTime& c) {
    long long days =
        daysFromCivil(c.year, static_cast<unsigned>(c.month), static_cast<unsigned>(c.day)) -
        kOleEpochFromUnixDays;
    double fraction = (c.hour * 3600.0 + c.minute * 60.0 + c.second) / 86400.0;
    // Before the epoch the fraction still counts forward from midnight.
    return DateTime{days >= 0 ? days + fraction : days - fraction};
}

CivilDateTime civilFromDateTime(DateTime value) {
    CivilDateTime c;
    if (!std::isfinite(value.days) || std::fabs(value.days) > 3.0e6) {
        return c;
    }
    double whole = std::trunc(value.days);
    double fraction = std::fabs(value.days - whole);
    long long seconds = std::llround(fraction * 86400.0);
    long long days = static_cast<long long>(whole);
    if (seconds >= 86400) {
        seconds -= 86400;
        days += value.days < 0 ? -1 : 1;
    }
    civilFromDays(days + kOleEpochFromUnixDays, c.year, c.month, c.day);
    c.hour = static_cast<int>(seconds / 3600);
    c.minute = static_cast<int>(seconds / 60 % 60);
    c.second = static_cast<int>(seconds % 60);
    return c;
}

DateTime currentDateTime() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return makeDateTime(CivilDateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                      local.tm_hour, local.tm_min, local.tm_sec});
}

}  // namespace oc
