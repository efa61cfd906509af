#include "cardsim/lib/card_files.h"

#include <array>
#include <fstream>
#include <iterator>
#include <vector>

#include "card/counter_rules.h"
#include "cardsim/lib/civil_time.h"
#include "cardsim/lib/sector_sink.h"
#include "support/byte_order.h"

namespace cardsim {
namespace {

constexpr uint8_t kDefaultCharSet = 129;
constexpr size_t kCnavSize = 8192;
constexpr size_t kWavSize = 65536;
constexpr size_t kWavHeaderSize = 58;
constexpr uint32_t kWavSamples = 65477;
constexpr uint8_t kConditionedStartType = 0x81;

bool write_bytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    return !out.fail();
}

ConfigRecord base_record(const RecordingSpec& description) {
    ConfigRecord record;
    record.byte_0 = 1;
    // Initialised an hour before the recording started.
    record.init_time = time_bytes(civil_time_at(seconds_since_2000(description.start) - 3600));
    record.char_set = kDefaultCharSet;
    store_field_text(record.patient_name, description.patient_name, false);
    store_field_text(record.patient_id, description.patient_id, false);
    store_field_text(record.event_text, description.event_text, false);
    return record;
}

// 8-bit PCM around 128: a tone that rises and falls in pitch, like a voice, then silence.
uint8_t speech_sample(uint32_t i) {
    const uint32_t period = 16 + (i / 400) % 24;
    const uint32_t phase = i % period;
    const int triangle = static_cast<int>(phase < period / 2 ? phase : period - phase);
    const int amplitude = (i / 4000) % 2 == 0 ? 6 : 2;
    return static_cast<uint8_t>(128 + amplitude * (2 * triangle - static_cast<int>(period) / 2));
}

}  // namespace

std::string card_path(const std::string& folder, const char* name) {
    return folder + "/" + name;
}

ConfigRecord recorded_config_record(const RecordingSpec& description) {
    ConfigRecord record = base_record(description);
    const uint16_t s = description.recording_num;
    switch (description.state) {
        case CardState::unread:
            record.recording_num = s;
            record.patient_data_num = s;
            break;
        case CardState::read:
            record.recording_num = static_cast<uint16_t>(s + 1);
            record.patient_data_num = s;
            break;
        case CardState::inconsistent:
            record.recording_num = static_cast<uint16_t>(s - 1);
            record.patient_data_num = static_cast<uint16_t>(s - 1);
            break;
        case CardState::no_valid_ecg:
            // Patient data entered for the next recording, none made since.
            record.recording_num = static_cast<uint16_t>(s + 1);
            record.patient_data_num = static_cast<uint16_t>(s + 1);
            break;
    }
    record.wav_recording_num =
        description.speech == Speech::belongs ? s : static_cast<uint16_t>(s - 1);
    if (description.config_recording_num) record.recording_num = *description.config_recording_num;
    if (description.patient_data_num) record.patient_data_num = *description.patient_data_num;
    if (description.wav_recording_num) record.wav_recording_num = *description.wav_recording_num;
    return record;
}

ConfigRecord conditioned_config_record(const RecordingSpec& description) {
    ConfigRecord record = base_record(description);
    set_conditioning_counters(record,
                              !description.patient_name.empty() || !description.patient_id.empty());
    return record;
}

bool write_config_file(const std::string& folder, const ConfigRecord& record) {
    std::vector<uint8_t> bytes(kConfigRecordSize);
    encode_config_record(record,
                         std::span<uint8_t, kConfigRecordSize>(bytes.data(), kConfigRecordSize));
    return write_bytes(card_path(folder, "config.dat"), bytes);
}

bool write_cnav_file(const std::string& folder, const RecordingSpec& description) {
    std::vector<uint8_t> bytes(kCnavSize, 0);
    if (!description.cnav_file.empty()) {
        std::ifstream in(description.cnav_file, std::ios::binary);
        if (!in) return false;
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return write_bytes(card_path(folder, "cnav.dat"), bytes);
}

bool write_wav_file(const std::string& folder, bool with_speech) {
    std::vector<uint8_t> bytes(kWavSize, 0);
    uint8_t* h = bytes.data();
    auto tag = [h](size_t offset, const char(&text)[5]) {
        for (size_t i = 0; i < 4; ++i)
            h[offset + i] = static_cast<uint8_t>(text[i]);
    };
    tag(0, "RIFF");
    put_u32le(h + 4, kWavSize - 8);
    tag(8, "WAVE");
    tag(12, "fmt ");
    put_u32le(h + 16, 18);
    put_u16le(h + 20, 1);  // PCM
    put_u16le(h + 22, 1);  // mono
    put_u32le(h + 24, 8000);
    put_u32le(h + 28, 8000);
    put_u16le(h + 32, 1);
    put_u16le(h + 34, 8);
    put_u16le(h + 36, 0);
    tag(38, "fact");
    put_u32le(h + 42, 4);
    put_u32le(h + 46, kWavSamples);
    tag(50, "data");
    put_u32le(h + 54, kWavSamples);
    if (with_speech) {
        for (uint32_t i = 0; i < kWavSamples; ++i)
            bytes[kWavHeaderSize + i] = speech_sample(i);
    }
    return write_bytes(card_path(folder, "patient.wav"), bytes);
}

bool write_conditioned_ecg_file(const std::string& folder, const RecordingSpec& description) {
    std::ofstream out(card_path(folder, "ecg.dat"), std::ios::binary | std::ios::trunc);
    const uint64_t sectors = std::max<uint64_t>(description.card_size / kSectorBytes, 1);
    SectorBytes sector{};
    put_sector_header(sector, kConditionedStartType, kConditionedStartRecordingNum);
    out.write(reinterpret_cast<const char*>(sector.data()), kSectorBytes);
    sector.fill(0);
    for (uint64_t i = 1; i < sectors; ++i)
        out.write(reinterpret_cast<const char*>(sector.data()), kSectorBytes);
    out.close();
    return !out.fail();
}

}  // namespace cardsim
