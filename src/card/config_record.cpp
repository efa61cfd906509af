#include "card/config_record.h"

#include <algorithm>

#include "card/char_set.h"
#include "support/byte_order.h"

namespace {

constexpr size_t kByte0Offset = 0;
constexpr size_t kRecordingNumOffset = 1;
constexpr size_t kByte3Offset = 3;
constexpr size_t kInitTimeOffset = 4;
constexpr size_t kPatientDataNumOffset = 10;
constexpr size_t kWavRecordingNumOffset = 12;
constexpr size_t kByte14Offset = 14;
constexpr size_t kFirFlagOffset = 15;
constexpr size_t kFirBlockOffset = 16;
constexpr size_t kFirSumOffset = 80;
constexpr size_t kBytes82Offset = 82;
constexpr size_t kChangeTimeOffset = 88;
constexpr size_t kChangeMarkerOffset = 94;
constexpr size_t kCharSetOffset = 95;
constexpr size_t kPatientNameOffset = 96;
constexpr size_t kPatientIdOffset = 256;
constexpr size_t kEventTextOffset = 416;

static_assert(kEventTextOffset + kEventTextWidth == kConfigRecordSize);
static_assert(kFirBlockOffset + 2 * kFirElements == kFirSumOffset);

}  // namespace

ConfigRecord decode_config_record(std::span<const uint8_t, kConfigRecordSize> bytes) {
    const uint8_t* p = bytes.data();
    ConfigRecord r;
    r.byte_0 = p[kByte0Offset];
    r.recording_num = get_u16le(p + kRecordingNumOffset);
    r.byte_3 = p[kByte3Offset];
    get_field(bytes, kInitTimeOffset, r.init_time);
    r.patient_data_num = get_u16le(p + kPatientDataNumOffset);
    r.wav_recording_num = get_u16le(p + kWavRecordingNumOffset);
    r.byte_14 = p[kByte14Offset];
    r.fir_flag = p[kFirFlagOffset];
    for (size_t i = 0; i < kFirElements; ++i)
        r.fir_block[i] = get_u16le(p + kFirBlockOffset + 2 * i);
    r.fir_sum = get_u16le(p + kFirSumOffset);
    get_field(bytes, kBytes82Offset, r.bytes_82);
    get_field(bytes, kChangeTimeOffset, r.change_time);
    r.change_marker = p[kChangeMarkerOffset];
    r.char_set = p[kCharSetOffset];
    get_field(bytes, kPatientNameOffset, r.patient_name);
    get_field(bytes, kPatientIdOffset, r.patient_id);
    get_field(bytes, kEventTextOffset, r.event_text);
    return r;
}

void encode_config_record(const ConfigRecord& r, std::span<uint8_t, kConfigRecordSize> bytes) {
    uint8_t* p = bytes.data();
    p[kByte0Offset] = r.byte_0;
    put_u16le(p + kRecordingNumOffset, r.recording_num);
    p[kByte3Offset] = r.byte_3;
    put_field(r.init_time, bytes, kInitTimeOffset);
    put_u16le(p + kPatientDataNumOffset, r.patient_data_num);
    put_u16le(p + kWavRecordingNumOffset, r.wav_recording_num);
    p[kByte14Offset] = r.byte_14;
    p[kFirFlagOffset] = r.fir_flag;
    for (size_t i = 0; i < kFirElements; ++i)
        put_u16le(p + kFirBlockOffset + 2 * i, r.fir_block[i]);
    put_u16le(p + kFirSumOffset, r.fir_sum);
    put_field(r.bytes_82, bytes, kBytes82Offset);
    put_field(r.change_time, bytes, kChangeTimeOffset);
    p[kChangeMarkerOffset] = r.change_marker;
    p[kCharSetOffset] = r.char_set;
    put_field(r.patient_name, bytes, kPatientNameOffset);
    put_field(r.patient_id, bytes, kPatientIdOffset);
    put_field(r.event_text, bytes, kEventTextOffset);
}

std::string field_text(std::span<const uint8_t> field) {
    const auto end = std::find(field.begin(), field.end(), uint8_t{0});
    return std::string(field.begin(), end);
}

void store_field_text(std::span<uint8_t> field, std::string_view text, bool visual_order) {
    if (field.empty()) return;
    std::string stored(text.substr(0, field.size() - 1));
    if (visual_order) stored = reverse_rtl_runs(stored);
    std::fill(field.begin(), field.end(), uint8_t{0});
    std::copy(stored.begin(), stored.end(), field.begin());
}

uint16_t fir_block_sum(const FirElements& block) {
    uint16_t sum = 0;
    for (const uint16_t word : block)
        sum = static_cast<uint16_t>(sum + word);
    return sum;
}
