// The card reader's read settings that the command line and the environment hand over: where the
// read starts, how long it may run and the calibration preamble.
#pragma once

#include <algorithm>
#include <cstdint>

#include "format/recording_constants.h"

// The longest calibration a caller may ask for. The preamble is written before the recording and
// cannot be stopped by the terminator event, so an unbounded one could fill the disk for hours.
inline constexpr int32_t kMaxCalibrationSeconds = 3600;
// Decoding threads beside the reading thread: as many as the machine has further cores.
inline constexpr int32_t kAutomaticDecodeWorkers = -1;

struct ReadSettings {
    int32_t skip_hours = 0;
    // 0 means no limit was handed over; the pipeline decides what that means per output format.
    int32_t record_length_hours = 0;
    // Seconds of calibration signal ahead of the recording; 0 writes no preamble.
    int32_t calibration_seconds = 60;
    // A damaged sector costs its own seconds instead of the rest of the read, and the read
    // leaves salvage.txt beside its output.
    bool salvage = false;
    // Threads that decode a compressed recording ahead of the read between the seek points of its
    // event table; 0 decodes on the reading thread alone (KADO_DECODE_THREADS=0).
    int32_t decode_workers = kAutomaticDecodeWorkers;
    // The read waits for the workers' spans instead of decoding a span itself when it gets there
    // first, so that every span whose seek point holds is replayed (tests and diagnosis).
    bool decode_ahead_waits = false;

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
