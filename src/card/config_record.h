// The configuration record config.dat: the 512 bytes through which the program tells the recorder
// which recording comes next and whose it is, and the recorder reports back. Card storage keeps
// one in memory (CCFDisk::m_config_dat); conditioning, initialising, patient changes and marking
// as read change it and write it back whole.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "format/time_field.h"

inline constexpr size_t kConfigRecordSize = 512;
inline constexpr size_t kFirElements = 32;
inline constexpr size_t kPatientNameWidth = 160;
inline constexpr size_t kPatientIdWidth = 160;
inline constexpr size_t kEventTextWidth = 96;

inline constexpr uint8_t kFirPresentFlag = 0x20;
inline constexpr uint8_t kPatientChangeMarker = 0xA5;

using FirElements = std::array<uint16_t, kFirElements>;

// Every byte of the record has a field here, including the ones the program does not interpret,
// so that a record read from a card and written back keeps what the recorder put there.
struct ConfigRecord {
    uint8_t byte_0 = 0;  // 1 in every record the program creates
    uint16_t recording_num = 0;
    uint8_t byte_3 = 0;
    TimeField init_time{};
    uint16_t patient_data_num = 0;
    uint16_t wav_recording_num = 0;
    uint8_t byte_14 = 0;
    uint8_t fir_flag = 0;
    FirElements fir_block{};
    uint16_t fir_sum = 0;
    std::array<uint8_t, 6> bytes_82{};
    TimeField change_time{};
    uint8_t change_marker = 0;
    uint8_t char_set = 0;
    std::array<uint8_t, kPatientNameWidth> patient_name{};
    std::array<uint8_t, kPatientIdWidth> patient_id{};
    std::array<uint8_t, kEventTextWidth> event_text{};

    bool operator==(const ConfigRecord&) const = default;
};

ConfigRecord decode_config_record(std::span<const uint8_t, kConfigRecordSize> bytes);
void encode_config_record(const ConfigRecord& record, std::span<uint8_t, kConfigRecordSize> bytes);

// The text of a NUL-terminated field; a field without a NUL ends at its width.
std::string field_text(std::span<const uint8_t> field);

// Stores text in a field, cut to the field's width minus one so that the terminating NUL always
// fits, and zero-fills the rest. With visual_order the cut text is stored through
// reverse_rtl_runs; it is cut first so that the beginning of the text is what survives.
void store_field_text(std::span<uint8_t> field, std::string_view text, bool visual_order);

// The 16-bit wrap-around sum that the recorder checks the FIR block against.
uint16_t fir_block_sum(const FirElements& block);
