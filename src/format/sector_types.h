// The 512-byte sectors of ecg.dat: the header every sector shares, what each type byte means, and
// the recording formats of a start sector. The extraction dispatches on these; card status and
// recovery use them to find start and data sectors.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

inline constexpr size_t kSectorSize = 512;
using Sector = std::array<uint8_t, kSectorSize>;

inline constexpr size_t kSectorTypeOffset = 0;
inline constexpr size_t kSectorRecordingNumOffset = 1;
inline constexpr size_t kSectorCrcOffset = 3;  // also the decompression index of compressed types
inline constexpr size_t kSectorBodyOffset = 5;

enum class SectorKind {
    start,            // starts or resumes a recording segment
    packed,           // uncompressed 10-bit samples
    delta,            // delta-coded 12-bit samples
    compressed,       // bit stream of the decompressor
    twelve_lead,      // 12-lead samples
    twelve_lead_aux,  // auxiliary data of 12-lead recordings, checked and skipped
    event,            // event table sector, kept whole
    end,              // anything else ends the recording
};

// How a sector's body is protected and scrambled; see sector_checksum.h.
enum class ChecksumVariant { none, a, b };

struct SectorType {
    SectorKind kind;
    ChecksumVariant checksum;
};

SectorType sector_type_of(uint8_t type_byte);

inline uint8_t sector_type_byte(std::span<const uint8_t, kSectorSize> sector) {
    return sector[kSectorTypeOffset];
}
uint16_t sector_recording_num(std::span<const uint8_t, kSectorSize> sector);
// A compressed sector's bit where its first block begins, counted from sector byte 0.
uint16_t sector_decompression_index(std::span<const uint8_t, kSectorSize> sector);

// Recording formats come from the low 7 bits of the start sector's byte 15; the top bit is not
// part of the format, so both functions ignore it.
inline uint8_t recording_format_of(uint8_t format_byte) {
    return format_byte & 0x7F;
}
// 1, 2, 3 or 12 channels; 0 for a format the recorder does not write.
int channels_of_format(uint8_t format);
// Formats whose patient events and seek points live in event sectors, not in data sector flags.
bool is_event_table_format(uint8_t format);
// Formats whose samples run as one compressed bit stream through sector types 0x21..0x23.
inline bool is_compressed_format(uint8_t format) {
    return format == 33 || format == 34 || format == 35;
}
