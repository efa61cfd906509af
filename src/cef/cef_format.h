// The byte layout of CEF archives: the 108-byte header, the patient text substitution, the names
// of channel members and which further file names are safe to write. The archive reader and the
// input search decode archives through this file only; the test archive writer encodes with it.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

inline constexpr size_t kCefHeaderSize = 108;
inline constexpr size_t kCefChecksumOffset = 0;
inline constexpr size_t kCefPatientTextOffset = 4;
inline constexpr size_t kCefVersionOffset = 8;
inline constexpr size_t kCefMagicOffset = 12;
inline constexpr size_t kCefMagicSize = 16;
inline constexpr size_t kCefDescriptionOffset = 28;
inline constexpr size_t kCefDescriptionSize = 68;
inline constexpr size_t kCefKindOffset = 96;
inline constexpr size_t kCefChannelCountOffset = 100;
inline constexpr size_t kCefParameterOffset = 104;

inline constexpr uint32_t kCefTwelveLeadKind = 13;
inline constexpr uint32_t kCefMaxHolterChannels = 3;
inline constexpr uint32_t kCefMaxTwelveLeadChannels = 8;
// A further file's name length counts its bytes with the terminating zero.
inline constexpr uint32_t kCefMaxNameLength = 261;
// Channel words are 16 bits wide, so a larger shift would drop every bit.
inline constexpr uint32_t kCefMaxShift = 15;
// A 12-lead member starts with a byte and the u16 length of its whole header.
inline constexpr uint32_t kCefLeadHeaderMinimum = 3;

using CefHeaderBytes = std::array<uint8_t, kCefHeaderSize>;

struct CefHeader {
    uint32_t checksum = 0;
    uint32_t patient_text_offset = 0;
    uint32_t version = 0;
    std::string description;
    uint32_t kind = 0;
    uint32_t channel_count = 0;
    uint32_t parameter = 0;
};

// "Compressed ECG" padded with zero bytes to 16.
bool has_cef_magic(std::span<const uint8_t, kCefHeaderSize> bytes);
CefHeader decode_cef_header(std::span<const uint8_t, kCefHeaderSize> bytes);
CefHeaderBytes encode_cef_header(const CefHeader& header);

// The stored byte's text byte: t[s] = (167 s + 13) mod 256, one-to-one because 167 is odd. Other
// tools of ours use the same table, so their archives read alike.
uint8_t patient_text_byte(uint8_t stored);
// The inverse, for writers.
uint8_t stored_patient_byte(uint8_t text);

uint32_t max_channels(uint32_t kind);
// RAWECG1.DAT ... for Holter recordings, pn12ecg1.dat ... for kind 13; index is 0-based.
std::string channel_member_name(uint32_t kind, uint32_t index);

// Whether a further file's name stays inside the target folder on both platforms and names a
// plain file there: not empty, "." or "..", no separator of either platform, no colon, no
// control character or wildcard, no trailing dot or blank, no Windows device name (CON, NUL,
// COM1 ..., with or without an extension).
bool is_safe_member_name(std::string_view name);

// Whether the file starts with a CEF header (all 16 magic bytes); channels gets its channel
// count (clamped to int). The checksum is left to the reader, so a damaged archive is reported
// as such instead of being taken for something else.
bool is_cef_file(const std::string& path, int& channels);
