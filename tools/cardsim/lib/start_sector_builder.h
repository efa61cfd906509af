// The start sectors of a simulated recording, from its description: the first one and the
// resuming ones after pauses, as plain sectors ready for sealing.
#pragma once

#include <cstdint>

#include "cardsim/lib/recording_spec.h"
#include "cardsim/lib/sector_sink.h"

namespace cardsim {

// 0x81 for the formats with variant-A sectors (1 and 2), 0x82 for the others.
uint8_t first_start_sector_type(int format);

// `first`: the start sector of the recording (a damaged format applies to it only).
void build_start_sector(const RecordingSpec& description, uint8_t type, const CivilTime& time,
                        bool first, SectorBytes& sector);

}  // namespace cardsim
