// The pace list that opens every block of the compressed stream: where in the second the
// recorder detected pacemaker pulses, or a command that declares a channel absent. Written by the
// block encoder before the block's samples.
#pragma once

#include <cstdint>
#include <span>

#include "cardsim/lib/bit_writer.h"

namespace cardsim {

inline constexpr int kMaxExplicitPulses = 7;
inline constexpr int kMinSeriesPulses = 8;
inline constexpr int kMaxSeriesPulses = 39;

// A command that changes nothing (an absent-channel command for no channel), first bit in bit 0.
// The stream is padded with it after a segment's last block: the decoder reads such commands
// without ever completing a block, so padding can never turn into a phantom second.
inline constexpr uint32_t kIdleCommandBits = 0x0001;
inline constexpr int kIdleCommandWidth = 16;

// Writes the list for pulses at ascending positions 0..127 and returns how many of them it holds:
// all of them, except that more than 7 pulses that do not form a regular series the stream can
// express keep only the first 7.
int put_pace_list(std::span<const uint8_t> pulses, BitWriter& writer);

// Declares channel 0..2 absent for this block; the pace list proper follows it.
void put_channel_absent(int channel, BitWriter& writer);

// Width of the next gap field of an explicit list: shrunk from `width` until it is the narrowest
// that still holds the largest gap possible after a pulse at `previous`.
int pace_gap_width(int width, int previous);

}  // namespace cardsim
