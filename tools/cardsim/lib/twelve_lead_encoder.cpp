#include "cardsim/lib/twelve_lead_encoder.h"

#include <algorithm>

#include "support/byte_order.h"

namespace cardsim {
namespace {

constexpr size_t kPaceCountOffset = 7;
constexpr size_t kPaceEntriesOffset = 8;
constexpr size_t kSamplesOffset = 32;
constexpr uint8_t kTwelveLeadType = 0x40;
constexpr uint8_t kAuxiliaryType = 0x41;
// Bits 3-7 of a pace entry give the time point; the recorder leaves the low bits 0.
constexpr int kPaceEntryShift = 3;

}  // namespace

int encode_twelve_lead_sector(uint16_t recording_num, const TwelveLeadInput& input,
                              SectorBytes& sector) {
    sector.fill(0);
    put_sector_header(sector, kTwelveLeadType, recording_num);
    const int kept = std::min(static_cast<int>(input.pulses.size()), kMaxTwelveLeadPaceEntries);
    sector[kPaceCountOffset] = static_cast<uint8_t>(kept);
    for (int i = 0; i < kept; ++i) {
        sector[kPaceEntriesOffset + static_cast<size_t>(i)] =
            static_cast<uint8_t>(input.pulses[static_cast<size_t>(i)] << kPaceEntryShift);
    }
    size_t offset = kSamplesOffset;
    for (const auto& time_point : input.samples) {
        for (int16_t sample : time_point) {
            put_u16le(&sector[offset], static_cast<uint16_t>(sample));
            offset += 2;
        }
    }
    return kept;
}

void encode_auxiliary_sector(uint16_t recording_num, uint32_t sequence, SectorBytes& sector) {
    sector.fill(0);
    put_sector_header(sector, kAuxiliaryType, recording_num);
    // What the recorder logs here is not read by the workstation; a counter and a pattern make
    // each such sector distinct so that a reader that took it for samples would show.
    put_u32le(&sector[kBodyOffset], sequence);
    for (size_t i = kBodyOffset + 4; i < kSectorBytes; ++i) {
        sector[i] = static_cast<uint8_t>(i * 7 + sequence);
    }
}

}  // namespace cardsim
