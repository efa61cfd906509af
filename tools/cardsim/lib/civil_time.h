// Calendar times of the simulated recording: its start and every time stamp written from it
// (start sectors, event records), computed by whole seconds on the proleptic Gregorian calendar.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "format/time_field.h"

namespace cardsim {

struct CivilTime {
    int year = 2013;
    int month = 5;
    int day = 14;
    int hour = 10;
    int minute = 15;
    int second = 20;
};

// Seconds since 2000-01-01 00:00:00, and back.
int64_t seconds_since_2000(const CivilTime& time);
CivilTime civil_time_at(int64_t seconds_since_2000);

// "YYYY-MM-DD HH:MM:SS" (a 'T' also separates date and time); empty when malformed or when the
// year cannot be stored (1999..2098).
std::optional<CivilTime> parse_civil_time(const std::string& text);

// The recorder's six time bytes: second, minute, hour, day, month, two-digit year.
TimeField time_bytes(const CivilTime& time);

}  // namespace cardsim
