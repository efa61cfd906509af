// The card reader's read settings that the command line and the environment hand over: where the
// read starts, how long it may run and the calibration preamble.
#pragma once

#include <algorithm>
#include <cstdint>

#include "format/recording_constants.h"

// The longest calibration a caller may ask for. The preamble is written before the recording and
// cannot be stopped by the terminator event, so an unbounded one could fill the disk for hours.
inline constexpr int32_t kMaxCalibrationSeconds = 3600;

struct ReadSettings {
    int32_t skip_hours = 0;
    // 0 means no limit was handed over; the pipeline decides what that means per output format.
    int32_t record_length_hours = 0;
    // Seconds of calibration signal ahead of the recording; 0 writes no preamble.
    int32_t calibration_seconds = 60;
    // A damaged sector costs its own seconds instead of the rest of the read, and the read
    // leaves salvage.txt beside its output.
    bool salvage = false;

    // The record-length limit in time points; 0 when none was handed over.
    int64_t limit_time_points() const {
        return int64_t{std::max(record_length_hours, 0)} * kTimePointsPerHour;
    }

    // A negative value leaves the calibration unchanged (KADO_CAL may hold anything); so does a
    // value above kMaxCalibrationSeconds, which is refused with false.
    bool set_calibration_seconds(int32_t seconds) {
        if (seconds > kMaxCalibrationSeconds) return false;
        if (seconds >= 0) calibration_seconds = seconds;
        return true;
    }

    // Seconds of preamble ahead of a recording whose start time has this second field: the
    // calibration runs to the end of the recorder's started minute and then its own length.
    int64_t preamble_seconds(uint8_t start_second) const {
        return calibration_seconds > 0 ? int64_t{start_second} + calibration_seconds : 0;
    }
};
