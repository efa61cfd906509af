#include "extract/recording_time.h"

#include <cstdio>

#include "card/time_field.h"

namespace {

bool is_leap(uint8_t two_digit_year) {
    // Leap years by the two-digit year alone: 2000 is one, 1999 (99) is not, and no year the
    // recorder can express is a century exception.
    return two_digit_year % 4 == 0;
}

unsigned days_in_month(uint8_t month, uint8_t year) {
    switch (month) {
        case 4:
        case 6:
        case 9:
        case 11:
            return 30;
        case 2:
            return is_leap(year) ? 29 : 28;
        default:
            return 31;
    }
}

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's days_from_civil). Plain
// integer arithmetic, so out-of-range months and days give a number rather than a fault.
int64_t days_from_civil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2 ? 1 : 0;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

// The proleptic Gregorian date of a day count since 1970-01-01 (H. Hinnant's civil_from_days).
void civil_from_days(int64_t z, int64_t& y, unsigned& m, unsigned& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<unsigned>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<unsigned>(mp < 10 ? mp + 3 : mp - 9);
    y = yoe + era * 400 + (m <= 2 ? 1 : 0);
}

}  // namespace

RecordingTime time_from_sector_bytes(std::span<const uint8_t, 6> bytes) {
    RecordingTime t;
    t.second = bytes[kTimeFieldSecond];
    t.minute = bytes[kTimeFieldMinute];
    t.hour = bytes[kTimeFieldHour];
    t.day = bytes[kTimeFieldDay];
    t.month = bytes[kTimeFieldMonth];
    t.year = bytes[kTimeFieldYear];
    t.hundredths = 0;
    return t;
}

bool time_is_valid(const RecordingTime& t) {
    return t.hundredths <= 99 && t.second < 60 && t.minute < 60 && t.hour < 24 && t.year < 100 &&
           t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= days_in_month(t.month, t.year);
}

int64_t time_to_seconds(const RecordingTime& t) {
    // Counted exactly in hundredths and rounded half away from zero. The same rounding done on a
    // day difference held as a double (adding or subtracting half a second before truncating)
    // lands on either side of an exact half second, and 1.5 s sectors make exact halves common.
    const int64_t whole_days =
        days_from_civil(calendar_year(t.year), t.month, t.day) - days_from_civil(2000, 1, 1);
    const int64_t hundredths =
        whole_days * 8640000 + t.hour * 360000 + t.minute * 6000 + t.second * 100 + t.hundredths;
    return (hundredths >= 0 ? hundredths + 50 : hundredths - 50) / 100;
}

void time_add_second(RecordingTime& t) {
    if (++t.second < 60) return;
    t.second = 0;
    if (++t.minute < 60) return;
    t.minute = 0;
    if (++t.hour < 24) return;
    t.hour = 0;
    if (++t.day <= days_in_month(t.month, t.year)) return;
    t.day = 1;
    if (++t.month <= 12) return;
    t.month = 1;
    t.year = t.year >= 99 ? 0 : static_cast<uint8_t>(t.year + 1);
}

void time_add_hundredths(RecordingTime& t, unsigned hundredths) {
    unsigned total = t.hundredths + hundredths;
    while (total >= 100) {
        total -= 100;
        time_add_second(t);
    }
    t.hundredths = static_cast<uint8_t>(total);
}

std::string time_display_text(const RecordingTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%02u/%02u/%04d %02u:%02u:%02u", unsigned{t.day},
                  unsigned{t.month}, calendar_year(t.year), unsigned{t.hour}, unsigned{t.minute},
                  unsigned{t.second});
    return text;
}

std::string seconds_display_text(int64_t seconds) {
    constexpr int64_t kSecondsPerDay = 86400;
    const int64_t days = (seconds >= 0 ? seconds : seconds - (kSecondsPerDay - 1)) / kSecondsPerDay;
    const int64_t of_day = seconds - days * kSecondsPerDay;
    int64_t year = 0;
    unsigned month = 0;
    unsigned day = 0;
    civil_from_days(days + days_from_civil(2000, 1, 1), year, month, day);
    char text[48];
    std::snprintf(text, sizeof text, "%02u/%02u/%04lld %02lld:%02lld:%02lld", day, month,
                  static_cast<long long>(year), static_cast<long long>(of_day / 3600),
                  static_cast<long long>(of_day / 60 % 60), static_cast<long long>(of_day % 60));
    return text;
}
