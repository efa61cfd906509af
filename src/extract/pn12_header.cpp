#include "extract/pn12_header.h"

#include <algorithm>
#include <bit>

#include "support/byte_order.h"
#include "support/civil_date.h"

namespace {

constexpr size_t kTextFieldSize = 16;
constexpr size_t kLeadIdOffset = 3;
constexpr size_t kLeadTimeOffset = 19;
constexpr size_t kLeadLabelOffset = 25;
constexpr size_t kLeadRateOffset = 41;
constexpr size_t kLeadScaleOffset = 43;
constexpr size_t kLeadZeroOffset = 45;
constexpr size_t kLeadHighPassOffset = 47;
constexpr size_t kLeadLowPassOffset = 51;
constexpr size_t kLeadSmallestOffset = 55;
constexpr size_t kLeadLargestOffset = 57;
constexpr size_t kPacingEntrySizeOffset = 3;
constexpr size_t kPacingIdOffset = 5;
constexpr size_t kPacingTimeOffset = 21;

// The reading application's constants; their meaning is its own.
constexpr uint16_t kSamplesPerSecond = 128;
constexpr uint16_t kLeadScale = 1638;
constexpr float kHighPass = 40.0f;
constexpr float kLowPass = 0.05f;
constexpr uint16_t kPacingEntrySize = 4;

void put_text(uint8_t* at, const std::string& text) {
    // A text of exactly the field's width fills it without a terminating zero.
    std::copy_n(text.begin(), std::min(text.size(), kTextFieldSize), at);
}

void put_f32le(uint8_t* at, float value) {
    put_u32le(at, std::bit_cast<uint32_t>(value));
}

void put_time(uint8_t* at, const HeaderTime& time) {
    std::copy(time.begin(), time.end(), at);
}

}  // namespace

HeaderTime header_time_of(int64_t seconds_since_2000) {
    const CivilDateTime t = civil_time_since_2000(seconds_since_2000);
    return {static_cast<uint8_t>(t.second), static_cast<uint8_t>(t.minute),
            static_cast<uint8_t>(t.hour),   static_cast<uint8_t>(t.day),
            static_cast<uint8_t>(t.month),  static_cast<uint8_t>((t.year - 1900) & 0xFF)};
}

std::array<uint8_t, kLeadHeaderSize> encode_lead_header(const LeadHeader& header) {
    std::array<uint8_t, kLeadHeaderSize> bytes{};
    uint8_t* h = bytes.data();
    h[0] = 1;
    put_u16le(h + 1, kLeadHeaderSize);
    put_text(h + kLeadIdOffset, header.procedure_id);
    put_time(h + kLeadTimeOffset, header.time);
    put_text(h + kLeadLabelOffset, header.lead_label);
    put_u16le(h + kLeadRateOffset, kSamplesPerSecond);
    put_u16le(h + kLeadScaleOffset, kLeadScale);
    put_u16le(h + kLeadZeroOffset, 0);
    put_f32le(h + kLeadHighPassOffset, kHighPass);
    put_f32le(h + kLeadLowPassOffset, kLowPass);
    put_u16le(h + kLeadSmallestOffset, header.smallest);
    put_u16le(h + kLeadLargestOffset, header.largest);
    return bytes;
}

std::array<uint8_t, kPacingHeaderSize> encode_pacing_header(const std::string& procedure_id,
                                                            const HeaderTime& time) {
    std::array<uint8_t, kPacingHeaderSize> bytes{};
    uint8_t* h = bytes.data();
    h[0] = 1;
    put_u16le(h + 1, kPacingHeaderSize);
    put_u16le(h + kPacingEntrySizeOffset, kPacingEntrySize);
    put_text(h + kPacingIdOffset, procedure_id);
    put_time(h + kPacingTimeOffset, time);
    return bytes;
}
