// Writes a whole simulated card into a folder (a card root or a copy of a card's files):
// config.dat, ecg.dat, cnav.dat and patient.wav, with the deliberate faults of the description
// applied to ecg.dat last, and the intended output beside it. The command-line tool and the
// tests call this.
#pragma once

#include <string>

#include "cardsim/lib/recording_spec.h"
#include "cardsim/lib/recording_writer.h"

namespace cardsim {

// intended_folder may be empty for none. On failure `error` says what could not be written.
bool write_card(const RecordingSpec& description, const std::string& folder,
                const std::string& intended_folder, RecordingResult& result, std::string& error);

}  // namespace cardsim
