#include "support/civil_date.h"

int64_t days_from_civil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2 ? 1 : 0;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

CivilDateTime civil_time_since_2000(int64_t seconds) {
    constexpr int64_t kSecondsPerDay = 86400;
    constexpr int64_t kDaysFrom1970To2000 = 10957;
    int64_t days = seconds / kSecondsPerDay;
    int64_t of_day = seconds % kSecondsPerDay;
    if (of_day < 0) {
        of_day += kSecondsPerDay;
        --days;
    }
    const int64_t z = days + kDaysFrom1970To2000 + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    CivilDateTime t;
    t.day = static_cast<unsigned>(doy - (153 * mp + 2) / 5 + 1);
    t.month = static_cast<unsigned>(mp < 10 ? mp + 3 : mp - 9);
    t.year = yoe + era * 400 + (t.month <= 2 ? 1 : 0);
    t.hour = static_cast<unsigned>(of_day / 3600);
    t.minute = static_cast<unsigned>(of_day / 60 % 60);
    t.second = static_cast<unsigned>(of_day % 60);
    return t;
}
