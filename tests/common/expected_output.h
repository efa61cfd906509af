// What a correct read writes into the raw files, computed from a recording's intended samples
// (one word per time point and channel on the recording's own time axis, as the recorder
// simulator writes them beside a card) and the read's settings. Header-only, so that the unit
// tests and the end-to-end tests compare against the same expectation.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <string>
#include <vector>

namespace expected {

struct ReadSettings {
    int preamble_seconds = 0;  // calibration seconds + the start time's second field, or 0
    int skip_hours = 0;
    int duration_hours = 24;
    int resolution_bits = 12;
    bool ten_bit = false;  // recording formats 1, 2 and 48 keep 10-bit samples (stored x 4)
    bool pad = true;       // archive reads are padded to 20 minutes
};

inline constexpr int64_t kRate = 128;
inline constexpr int64_t kPaddedTimePoints = 153600;

// A raw word from a 12-bit value: dropped bits rounded to the nearest step below full scale.
inline uint16_t rounded(uint32_t value, int resolution_bits, bool ten_bit) {
    const int dropped = 12 - resolution_bits;
    if (value == 0 || dropped == 0 || (ten_bit && dropped <= 2))
        return static_cast<uint16_t>(value);
    const uint32_t half = 1u << (dropped - 1);
    if (value < 4088) value = value < half ? 2 * half : value + half;
    return static_cast<uint16_t>(value & ~((1u << dropped) - 1));
}

// The words of one raw channel file. An intended word of 0 is a pause and stays 0; a word whose
// value bits are 0 (a channel absent in that second) keeps only its pacing bits.
inline std::vector<uint16_t> raw_channel(const std::vector<uint16_t>& intended,
                                         const ReadSettings& s) {
    std::vector<uint16_t> words;
    const int64_t limit = int64_t{s.duration_hours} * 3600 * kRate;
    for (int64_t cycle = 0; cycle < 2 * int64_t{s.preamble_seconds}; ++cycle) {
        words.insert(words.end(), 32, rounded(1843, s.resolution_bits, false));
        words.insert(words.end(), 32, rounded(2253, s.resolution_bits, false));
    }
    const size_t from = static_cast<size_t>(int64_t{s.skip_hours} * 3600 * kRate);
    for (size_t t = from; t < intended.size() && static_cast<int64_t>(words.size()) < limit; ++t) {
        const uint16_t word = intended[t];
        const uint16_t marks = word & 0x9000;
        const uint16_t value = word & 0x0FFF;
        words.push_back(value == 0 ? marks
                                   : static_cast<uint16_t>(
                                         rounded(value, s.resolution_bits, s.ten_bit) | marks));
    }
    if (s.pad && static_cast<int64_t>(words.size()) < kPaddedTimePoints)
        words.resize(kPaddedTimePoints, 0);
    return words;
}

// Lines of patevent.dat from event times in seconds from the recording start: table events
// (whole seconds) inside the window after the skip; sector events (dated by their sector's
// start, rounded half up) from the skip on, as far as the read gets.
inline std::string patevent_text(const std::vector<double>& seconds, bool event_table,
                                 const ReadSettings& s) {
    std::string text;
    const int64_t skip = int64_t{s.skip_hours} * 3600;
    const int64_t window = int64_t{s.duration_hours} * 3600;
    for (const double at : seconds) {
        const int64_t t = static_cast<int64_t>(event_table ? at : at + 0.5) - skip;
        if (t < 0) continue;
        if (event_table ? t >= window : s.preamble_seconds + t >= window) continue;
        text += std::to_string(t + s.preamble_seconds) + "\n";
    }
    return text;
}

// 12-lead files. The intended lead words already hold 0x8000 for pauses; a lead file holds the
// calibration preamble (-819 and 819 in half cycles of 32), those words from the skip on and ten
// minutes of no data.
inline constexpr uint16_t kLeadNoData = 0x8000;
inline constexpr int64_t kLeadClosingWords = 76800;

inline std::vector<uint16_t> pn12_lead(const std::vector<uint16_t>& intended, int preamble_seconds,
                                       int skip_hours = 0) {
    std::vector<uint16_t> words;
    for (int64_t cycle = 0; cycle < 2 * int64_t{preamble_seconds}; ++cycle) {
        words.insert(words.end(), 32, static_cast<uint16_t>(-819));
        words.insert(words.end(), 32, uint16_t{819});
    }
    const size_t from = std::min(intended.size(), static_cast<size_t>(skip_hours * 3600 * kRate));
    words.insert(words.end(), intended.begin() + static_cast<std::ptrdiff_t>(from), intended.end());
    words.insert(words.end(), kLeadClosingWords, kLeadNoData);
    return words;
}

// Pulse indices count on the lead files' time axis, which the preamble and the skip shift.
inline std::vector<uint32_t> pn12_pacing(const std::vector<uint32_t>& intended,
                                         int preamble_seconds, int skip_hours = 0) {
    std::vector<uint32_t> indices;
    const int64_t skipped = skip_hours * 3600 * kRate;
    for (const uint32_t i : intended)
        if (i >= skipped)
            indices.push_back(static_cast<uint32_t>(i - skipped + preamble_seconds * kRate));
    return indices;
}

// Second, minute, hour, day, month, year - 1900.
using HeaderTime = std::array<uint8_t, 6>;

// A lead's statistics cover the samples recorded from the skip on only, compared unsigned.
struct LeadRange {
    uint16_t smallest = 65535;
    uint16_t largest = 0;
};

inline LeadRange pn12_lead_range(const std::vector<uint16_t>& intended, int skip_hours = 0) {
    LeadRange range;
    for (size_t t = static_cast<size_t>(skip_hours * 3600 * kRate); t < intended.size(); ++t) {
        const uint16_t w = intended[t];
        if (w == kLeadNoData) continue;
        range.smallest = std::min(range.smallest, w);
        range.largest = std::max(range.largest, w);
    }
    return range;
}

inline void put_le(std::vector<uint8_t>& bytes, uint32_t value, int width) {
    for (int i = 0; i < width; ++i)
        bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

inline void put_text16(std::vector<uint8_t>& bytes, const std::string& text) {
    for (size_t i = 0; i < 16; ++i)
        bytes.push_back(i < text.size() ? static_cast<uint8_t>(text[i]) : 0);
}

inline std::vector<uint8_t> pn12_lead_header(const std::string& procedure_id,
                                             const HeaderTime& time, const std::string& label,
                                             LeadRange range) {
    std::vector<uint8_t> bytes{1};
    put_le(bytes, 59, 2);
    put_text16(bytes, procedure_id);
    bytes.insert(bytes.end(), time.begin(), time.end());
    put_text16(bytes, label);
    put_le(bytes, 128, 2);
    put_le(bytes, 1638, 2);
    put_le(bytes, 0, 2);
    put_le(bytes, std::bit_cast<uint32_t>(40.0f), 4);
    put_le(bytes, std::bit_cast<uint32_t>(0.05f), 4);
    put_le(bytes, range.smallest, 2);
    put_le(bytes, range.largest, 2);
    return bytes;
}

inline std::vector<uint8_t> pn12_pacing_header(const std::string& procedure_id,
                                               const HeaderTime& time) {
    std::vector<uint8_t> bytes{1};
    put_le(bytes, 29, 2);
    put_le(bytes, 4, 2);
    put_text16(bytes, procedure_id);
    bytes.insert(bytes.end(), time.begin(), time.end());
    put_le(bytes, 0, 2);
    return bytes;
}

}  // namespace expected
