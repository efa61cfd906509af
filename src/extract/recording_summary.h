// The details of the recording on a card that the Read dialog shows and the patient summary file
// hands on: whose recording it is, when its output starts, how long it is and which recorder made
// it. Filled in one call before a read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

class CCFDisk;

struct RecordingDetails {
    std::string patient_name;
    std::string patient_id;
    std::string recording_start;    // the output's first second, calibration preamble included
    std::string recorder_text;      // the recorder's serial number
    int32_t recording_format = 0;   // the recording's channel count
    int32_t recording_length = -1;  // whole hours; -1 when none was recorded
    std::string date_text_1;        // when the card was last conditioned or initialised
    std::string date_text_2;        // when the patient details were last changed; empty if never
};

// Reads config.dat and the first start sector of the card in the disk's card path. False when
// either cannot be read. With patient_only the recording start stays empty and the length -1.
bool recording_summary(CCFDisk& disk, bool patient_only, RecordingDetails& details);

// A length limited by the KADO_RECLEN_LIMIT value: only lengths of at least one hour are limited.
int32_t limit_recording_length(int32_t hours, std::optional<int32_t> limit);
