#include "cardsim/lib/civil_time.h"

#include <cstdio>
#include <ctime>

namespace cardsim {
namespace {

constexpr int64_t kSecondsPerDay = 86400;

// Days since 1970-01-01 of a Gregorian date, and the inverse (H. Hinnant's algorithms).
int64_t days_from_civil(int64_t y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civil_from_days(int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

const int64_t kEpoch2000 = days_from_civil(2000, 1, 1);

int days_in_month(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

int64_t seconds_since_2000(const CivilTime& time) {
    const int64_t days = days_from_civil(time.year, time.month, time.day) - kEpoch2000;
    return days * kSecondsPerDay + time.hour * 3600 + time.minute * 60 + time.second;
}

CivilTime civil_time_at(int64_t seconds) {
    int64_t days = seconds / kSecondsPerDay;
    int64_t rest = seconds % kSecondsPerDay;
    if (rest < 0) {
        rest += kSecondsPerDay;
        --days;
    }
    CivilTime out;
    civil_from_days(days + kEpoch2000, out.year, out.month, out.day);
    out.hour = static_cast<int>(rest / 3600);
    out.minute = static_cast<int>(rest / 60 % 60);
    out.second = static_cast<int>(rest % 60);
    return out;
}

std::optional<CivilTime> parse_civil_time(const std::string& text) {
    CivilTime t;
    char separator = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%d-%d-%d%c%d:%d:%d%c", &t.year, &t.month, &t.day, &separator,
                    &t.hour, &t.minute, &t.second, &tail) != 7 ||
        (separator != ' ' && separator != 'T')) {
        return std::nullopt;
    }
    if (t.year < 1999 || t.year > 2098 || t.month < 1 || t.month > 12 || t.day < 1 ||
        t.day > days_in_month(t.year, t.month) || t.hour < 0 || t.hour > 23 || t.minute < 0 ||
        t.minute > 59 || t.second < 0 || t.second > 59) {
        return std::nullopt;
    }
    return t;
}

TimeField time_bytes(const CivilTime& time) {
    std::tm fields{};
    fields.tm_sec = time.second;
    fields.tm_min = time.minute;
    fields.tm_hour = time.hour;
    fields.tm_mday = time.day;
    fields.tm_mon = time.month - 1;
    fields.tm_year = time.year - 1900;
    return time_field_of(fields);
}

}  // namespace cardsim
