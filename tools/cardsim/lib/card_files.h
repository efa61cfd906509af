// The side of a simulated card that is not ecg.dat: the configuration record with the counters
// that make the card unread, read, inconsistent or without a valid ECG; cnav.dat; patient.wav
// with or without a speech recording; and the whole file set of a freshly conditioned card.
#pragma once

#include <string>

#include "card/config_record.h"
#include "cardsim/lib/recording_spec.h"

namespace cardsim {

inline constexpr char kCardLabel[] = "VNT_CFR";

// The record the recorder leaves after making the recording of description.
ConfigRecord recorded_config_record(const RecordingSpec& description);
// The record conditioning creates, before any recording.
ConfigRecord conditioned_config_record(const RecordingSpec& description);

bool write_config_file(const std::string& folder, const ConfigRecord& record);
// cnav.dat: a copy of description.cnav_file, else the empty form.
bool write_cnav_file(const std::string& folder, const RecordingSpec& description);
// patient.wav: the empty form, or a speech recording of the same size.
bool write_wav_file(const std::string& folder, bool with_speech);
// ecg.dat of a conditioned card: the empty start sector of recording 1, then empty sectors up to
// description.card_size.
bool write_conditioned_ecg_file(const std::string& folder, const RecordingSpec& description);

std::string card_path(const std::string& folder, const char* name);

}  // namespace cardsim
