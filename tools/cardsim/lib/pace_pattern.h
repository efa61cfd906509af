// A pacemaker pulse pattern for tests, in place of the signal's own pulses: second s of the
// recording holds pattern s mod 12, which together exercise every form of pace list (none, a
// single pulse that opens a window carried into the next second, explicit lists of 2 to 7
// pulses, regular series of 8, 12 and 39 pulses, and 9 irregular pulses of which a list keeps 7).
#pragma once

#include <cstdint>
#include <vector>

namespace cardsim {

std::vector<uint8_t> pace_test_pattern(int64_t second);

}  // namespace cardsim
