// The pace list that opens every block of the compressed stream: the pacemaker pulses of that
// second, or a command that declares a channel absent. Read by the decoder at each block start.
#pragma once

#include <array>

#include "extract/bit_reader.h"
#include "extract/decoded_block.h"

// A pulse marks its own sample and the 22 after it as the pacing window.
inline constexpr int kPacingWindow = 23;

struct PaceList {
    int pace_count = 0;
    // An explicit list holds up to seven positions; a regular series keeps its first position in
    // slot 0 and its last in slot 6.
    std::array<int, 7> pace_positions{};
    // Window samples of the last pulse that did not fit into its block.
    int window_carry = 0;
};

using ChannelPresence = std::array<bool, kMaxStreamChannels>;

enum class PaceListKind { kPulses, kChannelAbsent };

// Starts a block's marks: the window carried over from the previous block, then zeros.
void prefill_marks(PaceList& pace, BlockSamples& marks);

// Reads one pace list and marks its pulses. After kChannelAbsent (one flag of `present` may have
// been cleared) the stream holds another pace list for the same block.
PaceListKind read_pace_list(BitReader& reader, PaceList& pace, ChannelPresence& present,
                            BlockSamples& marks);
