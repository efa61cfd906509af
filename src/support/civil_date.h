// Proleptic Gregorian calendar arithmetic on day counts (H. Hinnant's days_from_civil and
// civil_from_days): recording clocks, display texts, 12-lead header times and the simulator's
// time stamps all convert through here. Plain integer arithmetic, so out-of-range months and days
// give a number rather than a fault.
#pragma once

#include <cstdint>

// Days since 1970-01-01.
int64_t days_from_civil(int64_t year, int64_t month, int64_t day);

struct CivilDateTime {
    int64_t year = 2000;
    unsigned month = 1;
    unsigned day = 1;
    unsigned hour = 0;
    unsigned minute = 0;
    unsigned second = 0;
};

// The calendar time of a count of seconds since 2000-01-01 00:00:00 (negative counts too).
CivilDateTime civil_time_since_2000(int64_t seconds);
