#include "format/recording_time.h"

#include <cstdio>

#include "format/time_field.h"
#include "support/civil_date.h"

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
    const CivilDateTime t = civil_time_since_2000(seconds);
    char text[48];
    std::snprintf(text, sizeof text, "%02u/%02u/%04lld %02u:%02u:%02u", t.day, t.month,
                  static_cast<long long>(t.year), t.hour, t.minute, t.second);
    return text;
}
