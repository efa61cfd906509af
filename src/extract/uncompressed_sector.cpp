#include "extract/uncompressed_sector.h"

#include <algorithm>
#include <array>
#include <bitset>

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

// Time points (0..255) named by the sector's pace entries; indices past the sector never match.
std::bitset<256> pace_pulses(std::span<const uint8_t, kSectorSize> sector) {
    std::bitset<256> pulses;
    const int entries = std::min<int>(sector[kPaceCountOffset], kMaxPaceEntries);
    for (int i = 0; i < entries; ++i)
        pulses.set(sector[kSideAreaOffset + 2 * static_cast<size_t>(i)]);
    return pulses;
}

}  // namespace

bool unpack_uncompressed_sector(std::span<const uint8_t, kSectorSize> sector, TimePointSink& sink) {
    const std::optional<UncompressedLayout> layout = uncompressed_layout(sector[kSectorTypeOffset]);
    if (!layout) return false;
    const std::bitset<256> pulses = pace_pulses(sector);
    DeltaDecoder delta(sector);
    std::array<uint16_t, 3> values{};
    const std::span<const uint16_t> point(values.data(), static_cast<size_t>(layout->channels));
    int k = 0;
    for (int t = 0; t < layout->time_points; ++t) {
        if (t % layout->group_time_points == 0 && !sink.begin_group()) break;
        for (int c = 0; c < layout->channels; ++c) {
            const uint16_t field = payload_field(sector, k++);
            values[static_cast<size_t>(c)] = layout->delta_coded ? delta.decode(c, field) : field;
        }
        sink.time_point(point, pulses.test(static_cast<size_t>(t)));
    }
    return true;
}
