#include "cardsim/lib/civil_time.h"

#include <cstdio>
#include <ctime>

#include "support/civil_date.h"

namespace cardsim {
namespace {

constexpr int64_t kSecondsPerDay = 86400;

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
    const CivilDateTime t = civil_time_since_2000(seconds);
    return {static_cast<int>(t.year), static_cast<int>(t.month),  static_cast<int>(t.day),
            static_cast<int>(t.hour), static_cast<int>(t.minute), static_cast<int>(t.second)};
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
