#include "cardsim/lib/uncompressed_encoder.h"

#include <algorithm>
#include <cstddef>

#include "cardsim/lib/delta_encoder.h"

namespace cardsim {
namespace {

constexpr size_t kEventOffset = 6;
constexpr size_t kPaceCountOffset = 11;
constexpr size_t kSideAreaOffset = 12;
constexpr size_t kPayloadOffset = 32;
constexpr int kFieldBits = 10;

// Field k of the payload occupies bits 10k..10k+9, least significant bit first.
void put_field(SectorBytes& sector, int k, uint16_t field) {
    const int first_bit = k * kFieldBits;
    for (int b = 0; b < kFieldBits; ++b) {
        if ((field >> b) & 1) {
            const int bit = first_bit + b;
            sector[kPayloadOffset + static_cast<size_t>(bit / 8)] |=
                static_cast<uint8_t>(1 << (bit % 8));
        }
    }
}

uint16_t ten_bit_of(uint16_t value) {
    return static_cast<uint16_t>(std::min((value + 2) >> 2, 1023));
}

}  // namespace

UncompressedLayout uncompressed_layout_of(uint8_t type) {
    switch (type) {
        case 0x01:
            return {2, 192, false};
        case 0x04:
            return {2, 192, true};
        case 0x05:
            return {3, 128, true};
        default:  // 0x02, 0x30
            return {3, 128, false};
    }
}

void encode_uncompressed_sector(uint8_t type, uint16_t recording_num,
                                const UncompressedInput& input, SectorBytes& sector,
                                UncompressedResult& result) {
    const UncompressedLayout layout = uncompressed_layout_of(type);
    sector.fill(0);
    put_sector_header(sector, type, recording_num);
    sector[kEventOffset] = input.patient_event ? 1 : 0;

    const size_t kept = std::min(input.pulses.size(), static_cast<size_t>(kMaxPaceEntries));
    result.pulses.assign(input.pulses.begin(),
                         input.pulses.begin() + static_cast<std::ptrdiff_t>(kept));
    sector[kPaceCountOffset] = static_cast<uint8_t>(kept);
    for (size_t i = 0; i < kept; ++i)
        sector[kSideAreaOffset + 2 * i] = result.pulses[i];

    DeltaEncoder delta(sector, static_cast<int>(kept));
    int k = 0;
    for (int t = 0; t < layout.time_points; ++t) {
        for (int ch = 0; ch < layout.channels; ++ch, ++k) {
            const size_t c = static_cast<size_t>(ch);
            const size_t tp = static_cast<size_t>(t);
            const uint16_t target = input.targets[c][tp];
            uint16_t field;
            uint16_t value;
            if (layout.delta_coded) {
                const DeltaCode code = t == 0 ? delta.first(ch, target) : delta.next(ch, target);
                field = code.field;
                value = code.output;
            } else {
                field = ten_bit_of(target);
                value = static_cast<uint16_t>(field * 4);
            }
            put_field(sector, k, field);
            result.samples[c][tp] = std::max<uint16_t>(value, layout.delta_coded ? 1 : 4);
        }
    }
}

}  // namespace cardsim
