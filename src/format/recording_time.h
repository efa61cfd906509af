// The recording clock: time stamps with the recorder's two-digit year, their validity, their
// conversion to seconds since 2000-01-01 00:00:00, and the steps by which data sectors advance the
// clock. Start sectors, event tables and the recording summary use them.
#pragma once

#include <cstdint>
#include <span>
#include <string>

struct RecordingTime {
    uint8_t year = 0;  // two-digit: 99 is 1999, any other y is 2000 + y
    uint8_t month = 1;
    uint8_t day = 1;
    uint8_t hour = 0;
    uint8_t minute = 0;
    uint8_t second = 0;
    uint8_t hundredths = 0;

    bool operator==(const RecordingTime&) const = default;
};

// From the six bytes of a start sector or record: second, minute, hour, day, month, year.
RecordingTime time_from_sector_bytes(std::span<const uint8_t, 6> bytes);

bool time_is_valid(const RecordingTime& time);

// Whole seconds since 2000-01-01 00:00:00, rounded half away from zero. Defined for every input,
// also invalid ones, because start sectors are converted without a validity test.
int64_t time_to_seconds(const RecordingTime& time);

// One second later, carried through minute, hour, day, month and year; the two-digit year 99
// (1999) rolls over to 0 (2000).
void time_add_second(RecordingTime& time);

// Some sectors span a fraction of a second: 50 hundredths for the 1.5 s sectors, 23 for 12-lead
// sectors.
void time_add_hundredths(RecordingTime& time, unsigned hundredths);

// "%d/%m/%Y %H:%M:%S", as the summary and the dialogs show a time.
std::string time_display_text(const RecordingTime& time);

// The same text for a count of seconds since 2000-01-01 00:00:00, any year: a time moved back
// by a calibration preamble may fall before the recorder's 1999.
std::string seconds_display_text(int64_t seconds);
