#include "extract/edf_header.h"

#include <array>
#include <cassert>
#include <cstdio>

#include "extract/code_points.h"
#include "format/recording_constants.h"
#include "support/civil_date.h"

namespace {

constexpr size_t kFixedHeaderSize = 256;
constexpr std::array<const char*, 12> kMonths = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                 "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

// Windows-1252 0xC0..0xFF as ASCII; "" for the two signs of that range that are no letters.
constexpr std::array<const char*, 64> kLatinLetters = {
    "A", "A", "A", "A", "A", "A", "AE", "C", "E", "E", "E", "E", "I", "I", "I",  "I",
    "D", "N", "O", "O", "O", "O", "O",  "",  "O", "U", "U", "U", "U", "Y", "TH", "ss",
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i",  "i",
    "d", "n", "o", "o", "o", "o", "o",  "",  "o", "u", "u", "u", "u", "y", "th", "y"};

// Fixed-width ASCII fields, left-aligned and padded with blanks; a longer text is cut.
void put_field(std::vector<uint8_t>& out, std::string_view text, size_t width) {
    for (size_t i = 0; i < width; ++i)
        out.push_back(i < text.size() ? static_cast<uint8_t>(text[i]) : ' ');
}

void put_number(std::vector<uint8_t>& out, int64_t value, size_t width) {
    put_field(out, std::to_string(value), width);
}

// The shortest text of at most 8 characters; the readers derive the gain from these texts.
std::string physical_text(double value) {
    for (int decimals = 6; decimals >= 0; --decimals) {
        std::array<char, 32> text{};
        std::snprintf(text.data(), text.size(), "%.*f", decimals, value);
        const std::string result(text.data());
        if (result.size() <= 8) return result;
    }
    return "0";
}

}  // namespace

std::string edf_subfield(std::string_view text) {
    const std::vector<uint32_t> code_points = text_code_points(text);
    std::string result;
    for (const uint32_t c : code_points) {
        if (c == ' ')
            result += '_';
        else if (c > ' ' && c < 0x7F)
            result += static_cast<char>(c);
        else if (c >= 0xC0 && c <= 0xFF && *kLatinLetters[c - 0xC0] != '\0')
            result += kLatinLetters[c - 0xC0];
        else
            result += '?';
    }
    return result.empty() ? "X" : result;
}

std::string edf_patient_field(std::string_view patient_id, std::string_view patient_name) {
    return edf_subfield(patient_id) + " X X " + edf_subfield(patient_name);
}

std::string edf_recording_field(int64_t start_seconds, std::string_view recorder_serial) {
    const CivilDateTime t = civil_time_since_2000(start_seconds);
    std::array<char, 40> date{};
    std::snprintf(date.data(), date.size(), "%02u-%s-%04lld", t.day, kMonths[t.month - 1],
                  static_cast<long long>(t.year));
    return "Startdate " + std::string(date.data()) + " X X Pulsenote_CF_" +
           edf_subfield(recorder_serial);
}

std::vector<uint8_t> encode_edf_header(const EdfHeader& header) {
    const CivilDateTime t = civil_time_since_2000(header.start_seconds);
    std::array<char, 16> date{};
    std::array<char, 16> time{};
    // EDF's two-digit year: 85..99 are 1985..1999, the rest 2000..2084.
    std::snprintf(date.data(), date.size(), "%02u.%02u.%02u", t.day, t.month,
                  static_cast<unsigned>(t.year % 100));
    std::snprintf(time.data(), time.size(), "%02u.%02u.%02u", t.hour, t.minute, t.second);
    const size_t signals = header.signals.size();

    std::vector<uint8_t> out;
    out.reserve(kFixedHeaderSize * (signals + 1));
    put_field(out, "0", 8);
    put_field(out, header.patient, 80);
    put_field(out, header.recording, 80);
    put_field(out, date.data(), 8);
    put_field(out, time.data(), 8);
    put_number(out, static_cast<int64_t>(kFixedHeaderSize * (signals + 1)), 8);
    put_field(out, header.discontinuous ? "EDF+D" : "EDF+C", 44);
    put_number(out, header.records, 8);
    put_field(out, "1", 8);  // seconds per data record
    put_number(out, static_cast<int64_t>(signals), 4);
    for (const EdfSignal& s : header.signals)
        put_field(out, s.label, 16);
    for (size_t i = 0; i < signals; ++i)
        put_field(out, "", 80);  // transducer
    for (const EdfSignal& s : header.signals)
        put_field(out, s.physical_dimension, 8);
    for (const EdfSignal& s : header.signals)
        put_field(out, physical_text(s.physical_min), 8);
    for (const EdfSignal& s : header.signals)
        put_field(out, physical_text(s.physical_max), 8);
    for (const EdfSignal& s : header.signals)
        put_number(out, s.digital_min, 8);
    for (const EdfSignal& s : header.signals)
        put_number(out, s.digital_max, 8);
    for (size_t i = 0; i < signals; ++i)
        put_field(out, "", 80);  // prefiltering
    for (const EdfSignal& s : header.signals)
        put_number(out, s.samples_per_record, 8);
    for (size_t i = 0; i < signals; ++i)
        put_field(out, "", 32);
    assert(out.size() == kFixedHeaderSize * (signals + 1));
    return out;
}

std::string edf_onset_text(int64_t time_points) {
    std::string text = "+" + std::to_string(time_points / kSamplesPerSecond);
    const int64_t fraction = time_points % kSamplesPerSecond;
    if (fraction == 0) return text;
    // 1/128 s is 0.0078125 s exactly: seven decimals always suffice.
    std::string digits = std::to_string(fraction * 78125);
    digits.insert(0, 7 - digits.size(), '0');
    while (digits.back() == '0')
        digits.pop_back();
    return text + "." + digits;
}
