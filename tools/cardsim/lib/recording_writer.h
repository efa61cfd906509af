// Writes ecg.dat of a simulated recording as the recorder would: the start sector, the data
// sectors of each segment with a resuming start sector after every pause, the event table of
// the event-table formats, and an empty sector that ends the recording. Beside it, what a
// correct reader recovers (intended_output.h). Called by the card writer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cardsim/lib/intended_output.h"
#include "cardsim/lib/recording_spec.h"
#include "cardsim/lib/signal_source.h"

namespace cardsim {

struct RecordingResult {
    uint64_t sectors = 0;        // sectors of ecg.dat before any padding
    int64_t time_points = 0;     // length of the reader's time axis, pauses included
    std::vector<double> events;  // patient events as recorded, seconds from the start
};

// `intended` may be null. False when ecg.dat cannot be written.
bool write_recording(const RecordingSpec& description, SignalSource& source,
                     const std::string& ecg_path, IntendedOutput* intended,
                     RecordingResult& result);

}  // namespace cardsim
