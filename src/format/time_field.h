// The six-byte local time fields of the card (init_time and change_time in config.dat, the
// recording start time in a start sector): second, minute, hour, day, month 1-12, two-digit year.
#pragma once

#include <array>
#include <cstdint>
#include <ctime>

using TimeField = std::array<uint8_t, 6>;

inline constexpr size_t kTimeFieldSecond = 0;
inline constexpr size_t kTimeFieldMinute = 1;
inline constexpr size_t kTimeFieldHour = 2;
inline constexpr size_t kTimeFieldDay = 3;
inline constexpr size_t kTimeFieldMonth = 4;
inline constexpr size_t kTimeFieldYear = 5;

// The recorder keeps years in one byte: 1999 as 99, every later year as its offset from 2000.
uint8_t two_digit_year(int calendar_year);
int calendar_year(uint8_t two_digit);

// The field for a broken-down local time.
TimeField time_field_of(const std::tm& local);

// Stores the current local time in the field.
void stamp_time(TimeField& field);
