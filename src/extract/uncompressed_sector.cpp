#include "extract/uncompressed_sector.h"

#include <algorithm>
#include <array>

#include "extract/delta_decoder.h"
#include "support/byte_order.h"

namespace {

// Field k of the payload's little-endian bit string occupies bits 10k..10k+9; the two bytes read
// for the last field are the sector's last two.
uint16_t payload_field(std::span<const uint8_t, kSectorSize> sector, int k) {
    const size_t bit = static_cast<size_t>(k) * 10;
    const unsigned pair = get_u16le(sector.data() + kPayloadOffset + bit / 8);
    return static_cast<uint16_t>((pair >> (bit % 8)) & 0x3FFu);
}

}  // namespace

bool unpack_uncompressed_sector(std::span<const uint8_t, kSectorSize> sector,
                                TimePointBlock& block) {
    const std::optional<UncompressedLayout> layout = uncompressed_layout(sector[kSectorTypeOffset]);
    if (!layout) return false;
    block.channels = layout->channels;
    block.count = layout->time_points;
    block.group = layout->group_time_points;
    block.scale = layout->delta_coded ? SampleScale::twelve_bit : SampleScale::ten_bit;
    block.marks.fill(0);
    // Entries naming a time point past the sector mark nothing.
    const int entries = std::min<int>(sector[kPaceCountOffset], kMaxPaceEntries);
    for (int i = 0; i < entries; ++i) {
        const uint8_t t = sector[kSideAreaOffset + 2 * static_cast<size_t>(i)];
        if (t < block.count) block.marks[t] = kPaceMark;
    }
    DeltaDecoder delta(sector);
    int k = 0;
    for (size_t t = 0; t < static_cast<size_t>(block.count); ++t) {
        for (int c = 0; c < block.channels; ++c) {
            const uint16_t field = payload_field(sector, k++);
            block.values[static_cast<size_t>(c)][t] =
                layout->delta_coded ? delta.decode(c, field) : field;
        }
    }
    return true;
}
