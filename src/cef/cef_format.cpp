#include "cef/cef_format.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>

#include "support/byte_order.h"
#include "support/file_utils.h"

namespace {

constexpr char kMagic[kCefMagicSize] = "Compressed ECG";
constexpr std::array<std::string_view, 4> kDeviceNames{"CON", "PRN", "AUX", "NUL"};
constexpr std::string_view kRefusedCharacters = "/\\:*?\"<>|";

bool is_device_name(std::string_view name) {
    std::string stem(name.substr(0, name.find('.')));
    for (char& c : stem)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (std::find(kDeviceNames.begin(), kDeviceNames.end(), stem) != kDeviceNames.end())
        return true;
    return stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) &&
           stem[3] >= '0' && stem[3] <= '9';
}

}  // namespace

bool has_cef_magic(std::span<const uint8_t, kCefHeaderSize> bytes) {
    return std::memcmp(bytes.data() + kCefMagicOffset, kMagic, kCefMagicSize) == 0;
}

CefHeader decode_cef_header(std::span<const uint8_t, kCefHeaderSize> bytes) {
    CefHeader header;
    header.checksum = get_u32le(bytes.data() + kCefChecksumOffset);
    header.patient_text_offset = get_u32le(bytes.data() + kCefPatientTextOffset);
    header.version = get_u32le(bytes.data() + kCefVersionOffset);
    const auto* text = reinterpret_cast<const char*>(bytes.data() + kCefDescriptionOffset);
    header.description.assign(text, strnlen(text, kCefDescriptionSize));
    header.kind = get_u32le(bytes.data() + kCefKindOffset);
    header.channel_count = get_u32le(bytes.data() + kCefChannelCountOffset);
    header.parameter = get_u32le(bytes.data() + kCefParameterOffset);
    return header;
}

CefHeaderBytes encode_cef_header(const CefHeader& header) {
    CefHeaderBytes bytes{};
    put_u32le(bytes.data() + kCefChecksumOffset, header.checksum);
    put_u32le(bytes.data() + kCefPatientTextOffset, header.patient_text_offset);
    put_u32le(bytes.data() + kCefVersionOffset, header.version);
    std::memcpy(bytes.data() + kCefMagicOffset, kMagic, kCefMagicSize);
    std::memcpy(bytes.data() + kCefDescriptionOffset, header.description.data(),
                std::min(header.description.size(), kCefDescriptionSize - 1));
    put_u32le(bytes.data() + kCefKindOffset, header.kind);
    put_u32le(bytes.data() + kCefChannelCountOffset, header.channel_count);
    put_u32le(bytes.data() + kCefParameterOffset, header.parameter);
    return bytes;
}

uint8_t patient_text_byte(uint8_t stored) {
    return static_cast<uint8_t>(167 * stored + 13);
}

uint8_t stored_patient_byte(uint8_t text) {
    // 23 is the inverse of 167 modulo 256 (167 * 23 = 3841 = 15 * 256 + 1).
    return static_cast<uint8_t>(23 * static_cast<uint8_t>(text - 13));
}

uint32_t max_channels(uint32_t kind) {
    return kind == kCefTwelveLeadKind ? kCefMaxTwelveLeadChannels : kCefMaxHolterChannels;
}

std::string channel_member_name(uint32_t kind, uint32_t index) {
    const std::string number = std::to_string(index + 1);
    return kind == kCefTwelveLeadKind ? "pn12ecg" + number + ".dat" : "RAWECG" + number + ".DAT";
}

bool is_safe_member_name(std::string_view name) {
    if (name.empty() || name == "." || name == ".." || name.back() == '.' || name.back() == ' ')
        return false;
    for (const char c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F ||
            kRefusedCharacters.find(c) != std::string_view::npos)
            return false;
    return !is_device_name(name);
}

bool is_cef_file(const std::string& path, int& channels) {
    std::FILE* file = std::fopen(native_path(path).c_str(), "rb");
    if (file == nullptr) return false;
    CefHeaderBytes bytes;
    const bool whole = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
    std::fclose(file);
    if (!whole || !has_cef_magic(bytes)) return false;
    channels =
        static_cast<int>(std::min<uint32_t>(decode_cef_header(bytes).channel_count, INT_MAX));
    return true;
}
