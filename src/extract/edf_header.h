// The header of an EDF+ file (the fixed 256-byte part and one 256-byte block per signal) and the
// texts EDF+ restricts: the patient and recording identification and the annotations' onsets.
// The EDF output builds its header here when a read ends.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct EdfSignal {
    std::string label;
    std::string physical_dimension;
    double physical_min = 0;
    double physical_max = 0;
    int digital_min = 0;
    int digital_max = 0;
    int samples_per_record = 0;
};

struct EdfHeader {
    std::string patient;        // built by edf_patient_field
    std::string recording;      // built by edf_recording_field
    int64_t start_seconds = 0;  // seconds since 2000-01-01
    bool discontinuous = false;
    int64_t records = 0;
    std::vector<EdfSignal> signals;  // the annotation signal included
};

// EDF+ allows only printable US-ASCII in the header and uses blanks to separate subfields: a
// blank becomes '_', a Latin letter with a diacritic its base letter (ß "ss", Æ "AE"), and any
// other character '?'. Text that is valid UTF-8 is read as UTF-8, other text as Windows-1252.
// An empty text is "X", the EDF+ word for unknown.
std::string edf_subfield(std::string_view text);

// "code sex birthdate name": sex and birthdate are not on the card and stay "X".
std::string edf_patient_field(std::string_view patient_id, std::string_view patient_name);
// "Startdate dd-MMM-yyyy admincode technician equipment", the recorder as the equipment.
std::string edf_recording_field(int64_t start_seconds, std::string_view recorder_serial);

// The whole header: 256 bytes per signal plus 256, as the file begins.
std::vector<uint8_t> encode_edf_header(const EdfHeader& header);

// An onset of `time_points` at 128 per second in the annotations' notation: "+12",
// "+12.0078125".
std::string edf_onset_text(int64_t time_points);
