// The codes of a channel's samples 1..127. Each channel of a block names one of eight codings (its
// nibble type); a code gives a signed step, and the coding's step factor turns it into the change
// of the channel's level. Used by the decoder for every sample after the first.
#pragma once

#include "extract/bit_reader.h"

// Reads one code and returns the level change through `level_change`. `previous_magnitude` is the
// size of the last step: type 3 chooses its coding by it, and types 0 to 3 store their step in it.
// False for a nibble type outside 0..7.
bool read_sample_step(BitReader& reader, int nibble_type, int& previous_magnitude,
                      int& level_change);
