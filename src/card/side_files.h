// The side files of a card besides config.dat and ecg.dat: the speech recording patient.wav and
// the patient data file cnav.dat. Conditioning writes their empty forms, and a read writes the
// empty patient.wav when the card's speech recording is older than the recording being read.
#pragma once

#include <string>

inline constexpr char kWavFileName[] = "patient.wav";
inline constexpr char kCnavFileName[] = "cnav.dat";

// Create or replace the empty form in the folder, exclusively, flushed to the medium. True when
// every byte was written and the file closed; false also for a path longer than 255 characters.
bool write_empty_wav(const std::string& folder);
bool write_empty_cnav(const std::string& folder);
