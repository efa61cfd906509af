// The input of the sector-stream target, shared with the seed generator: three bytes that choose
// how the read runs, then ecg.dat. The sectors are given plain and the target seals them, so that
// mutations reach the unpackers instead of dying at the checksum; a flag leaves them as given.
#pragma once

#include <array>
#include <cstdint>

#include "support/run_mode.h"

namespace fuzz {

inline constexpr size_t kStreamHeaderSize = 3;

// How config.dat's counters relate to the first start sector's recording number.
enum class CardState : uint8_t { unread, already_read, record_behind, speech_older };

struct StreamChoice {
    OutputFormat output = kFormatArchive;  // archive, pn12arch, mmf or path
    bool seal = true;
    CardState state = CardState::unread;
    bool calibration = false;  // 60 s of calibration ahead of the recording
    int skip_hours = 0;        // 0..3
    int duration_hours = 0;    // 1..15, or 0 for the output format's default
    bool salvage = false;      // damaged sectors become gaps
    uint8_t format = 0;        // the first start sector's recording format; 0 keeps the input's
};

inline constexpr std::array<OutputFormat, 4> kStreamOutputs = {kFormatArchive, kFormatPn12Arch,
                                                               kFormatMmf, kFormatPath};

inline StreamChoice decode_stream_choice(const uint8_t* header) {
    StreamChoice choice;
    choice.output = kStreamOutputs[header[0] & 3];
    choice.seal = (header[0] & 4) == 0;
    choice.state = static_cast<CardState>((header[0] >> 3) & 3);
    choice.calibration = (header[0] & 0x20) != 0;
    choice.skip_hours = header[1] & 3;
    choice.salvage = (header[1] & 4) != 0;
    choice.duration_hours = header[1] >> 4;
    choice.format = header[2];
    return choice;
}

inline std::array<uint8_t, kStreamHeaderSize> encode_stream_choice(const StreamChoice& choice) {
    uint8_t output = 0;
    while (output < 3 && kStreamOutputs[output] != choice.output)
        ++output;
    const auto flags = static_cast<uint8_t>(output | (choice.seal ? 0 : 4) |
                                            (static_cast<uint8_t>(choice.state) << 3) |
                                            (choice.calibration ? 0x20 : 0));
    const auto window = static_cast<uint8_t>((choice.skip_hours & 3) | (choice.salvage ? 4 : 0) |
                                             (choice.duration_hours << 4));
    return {flags, window, choice.format};
}

}  // namespace fuzz
