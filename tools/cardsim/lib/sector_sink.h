// Where the sector encoders hand their sectors: the card writer numbers them in ecg.dat, seals
// those that carry a checksum and learns where each second begins, for the event table's seek
// points.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace cardsim {

inline constexpr size_t kSectorBytes = 512;
using SectorBytes = std::array<uint8_t, kSectorBytes>;

inline constexpr size_t kTypeOffset = 0;
inline constexpr size_t kRecordingNumOffset = 1;
inline constexpr size_t kCheckOffset = 3;  // checksum, or decompression index
inline constexpr size_t kBodyOffset = 5;
// Bit position of the first body bit, the decompression index of a block at a sector's start.
inline constexpr uint16_t kFirstBodyBit = kBodyOffset * 8;

class SectorSink {
  public:
    virtual ~SectorSink() = default;

    // Takes a plain (unsealed) data sector whose data begins at `position` (time points at 128
    // per second since the recording start) and returns its sector number in ecg.dat.
    virtual uint32_t put_data_sector(SectorBytes& sector, int64_t position) = 0;

    // A unit of samples (a sector, or a block of the compressed stream) that begins at
    // `position` begins in `sector` at bit `bit_index`.
    virtual void unit_begins(int64_t position, uint32_t sector, uint16_t bit_index) = 0;
};

// The three fields every sector starts with.
void put_sector_header(SectorBytes& sector, uint8_t type, uint16_t recording_num);

}  // namespace cardsim
