#include "extract/code_points.h"

namespace {

// Bytes of a UTF-8 sequence by its lead byte; 0 for a byte that cannot lead one.
size_t sequence_length(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead >> 5) == 6) return 2;
    if ((lead >> 4) == 14) return 3;
    if ((lead >> 3) == 30) return 4;
    return 0;
}

bool decode_utf8(std::string_view text, std::vector<uint32_t>& points) {
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const size_t length = sequence_length(lead);
        if (length == 0 || i + length > text.size()) return false;
        uint32_t point = length == 1 ? lead : lead & (0x7Fu >> length);
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            point = (point << 6) | (next & 0x3Fu);
        }
        // Overlong forms are not UTF-8.
        if (length > 1 && point < 0x80) return false;
        points.push_back(point);
        i += length;
    }
    return true;
}

void put_utf8(std::string& out, uint32_t point) {
    if (point < 0x80) {
        out += static_cast<char>(point);
    } else if (point < 0x800) {
        out += static_cast<char>(0xC0 | (point >> 6));
        out += static_cast<char>(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
        out += static_cast<char>(0xE0 | (point >> 12));
        out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (point & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (point >> 18));
        out += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (point & 0x3F));
    }
}

}  // namespace

std::vector<uint32_t> text_code_points(std::string_view text) {
    std::vector<uint32_t> points;
    if (decode_utf8(text, points)) return points;
    points.clear();
    for (const char c : text)
        points.push_back(static_cast<unsigned char>(c));
    return points;
}

std::string utf8_text(std::string_view text) {
    std::string out;
    for (const uint32_t point : text_code_points(text)) {
        const bool control = point < 0x20 || (point >= 0x7F && point < 0xA0) ||
                             (point >= 0xD800 && point < 0xE000) || point > 0x10FFFF;
        put_utf8(out, control ? '?' : point);
    }
    return out;
}
