// One decoded second of a compressed recording: what the decoder hands to the per-second sample
// writers after every completed block.
#pragma once

#include <array>
#include <cstdint>

inline constexpr int kSamplesPerBlock = 128;
inline constexpr int kMaxStreamChannels = 3;
// Marker bits of a sample; they apply to every channel of that sample.
inline constexpr uint16_t kPaceMark = 0x1000;
inline constexpr uint16_t kPacingWindowMark = 0x8000;

using BlockSamples = std::array<uint16_t, kSamplesPerBlock>;

struct DecodedBlock {
    // 12-bit samples 1..4095; all 0 for a channel the block declares absent.
    std::array<BlockSamples, kMaxStreamChannels> channels{};
    // kPaceMark where a pulse lies, kPacingWindowMark on every sample of a pacing window.
    BlockSamples marks{};

    bool operator==(const DecodedBlock&) const = default;
};
