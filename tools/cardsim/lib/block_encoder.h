// Encoder of one block of the compressed stream (sector types 0x21..0x23): one second of one to
// three channels at 128 samples per second with the second's pace list. It chooses the nibble
// type per channel and block and returns the samples exactly as the decoder will rebuild them,
// which is what the simulator records as the intended output.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "cardsim/lib/bit_writer.h"

namespace cardsim {

inline constexpr int kBlockSamples = 128;
inline constexpr int kMaxBlockChannels = 3;

using BlockChannel = std::array<uint16_t, kBlockSamples>;

// How the nibble type of each channel and block is chosen: the cheapest in bits and error
// (automatic), a rotation through all eight (cycle, for tests), or always one type.
struct NibblePolicy {
    enum class Choice { automatic, cycle, fixed };
    Choice choice = Choice::automatic;
    int fixed_type = 0;
};

struct BlockInput {
    int channels = 3;
    // 12-bit sample values 0..4095 the recorder measured.
    std::array<BlockChannel, kMaxBlockChannels> targets{};
    std::array<bool, kMaxBlockChannels> present{true, true, true};
    // Ascending positions 0..127 of the pacemaker pulses detected in this second.
    std::vector<uint8_t> pulses;
};

struct BlockResult {
    // Samples 1..4095 as the decoder rebuilds them; all 0 for an absent channel.
    std::array<BlockChannel, kMaxBlockChannels> samples{};
    // The pulses the pace list holds.
    std::vector<uint8_t> pulses;
    std::array<int, kMaxBlockChannels> nibble_types{};
};

class BlockEncoder {
  public:
    explicit BlockEncoder(NibblePolicy policy) : m_policy(policy) {}

    void encode(const BlockInput& input, BitWriter& writer, BlockResult& result);

  private:
    int choose_nibble_type(const BlockChannel& target, int first_level, int channel);

    NibblePolicy m_policy;
    uint64_t m_blocks = 0;
};

}  // namespace cardsim
