#include "extract/sample_codes.h"

#include <cstdlib>

namespace {

int field(BitReader& reader, int width) {
    return static_cast<int>(reader.read(width));
}

// Large steps of types 0 and 1: the value 31 of a 5-bit field escapes to the next wider range,
// 7..37, then 38..68, then 69..100 (mirrored for the negative form).
int read_long_step(BitReader& reader, bool negative) {
    int e = field(reader, 5);
    if (e <= 30) return negative ? e - 37 : e + 7;
    e = field(reader, 5);
    if (e <= 30) return negative ? e - 68 : e + 38;
    e = field(reader, 5);
    return negative ? e - 100 : e + 69;
}

// Steps of 7..14 in either direction, shared by types 2, 4 and 5.
int read_medium_step(BitReader& reader) {
    const int e = field(reader, 4);
    return e <= 7 ? e - 14 : e - 1;
}

int read_type0(BitReader& reader) {
    const int c = field(reader, 3);
    if (c <= 4) return c - 2;
    if (c == 5) {
        const int e = field(reader, 3);
        return e <= 3 ? e - 6 : e - 1;
    }
    return read_long_step(reader, c == 7);
}

int read_type1(BitReader& reader) {
    const int c = field(reader, 3);
    if (c <= 6) return c - 3;
    const int e = field(reader, 3);
    if (e <= 2) return e - 6;
    if (e <= 5) return e + 1;
    return read_long_step(reader, e == 7);
}

int read_type2(BitReader& reader) {
    const int c = field(reader, 4);
    if (c <= 12) return c - 6;
    if (c == 13) return read_medium_step(reader);
    if (c == 14) {
        const int e = field(reader, 5);
        return e <= 15 ? e - 30 : e - 1;
    }
    const int e = field(reader, 5);
    if (e <= 14) return e - 45;
    if (e <= 29) return e + 16;
    if (e == 30) {
        const int f = field(reader, 4);
        return f <= 7 ? f - 53 : f + 38;
    }
    const int g = field(reader, 5);
    if (g <= 14) return g - 68;
    if (g <= 29) return g + 39;
    return g == 30 ? field(reader, 5) + 69 : field(reader, 5) - 100;
}

int read_type3(BitReader& reader, int previous_magnitude) {
    if (previous_magnitude < 4) return read_type1(reader);
    if (previous_magnitude >= 10 && previous_magnitude <= 37) return read_type0(reader);
    return read_type2(reader);
}

int read_type4(BitReader& reader) {
    const int c = field(reader, 4);
    if (c <= 12) return c - 6;
    if (c == 13) return read_medium_step(reader);
    const int e = field(reader, 5);
    if (c == 14) return e <= 30 ? e + 15 : field(reader, 4) + 46;
    return e <= 30 ? e - 45 : field(reader, 4) - 61;
}

int read_type5(BitReader& reader) {
    const int c = field(reader, 4);
    if (c <= 12) return c - 6;
    if (c == 13) return read_medium_step(reader);
    const int e = field(reader, 4);
    if (c == 14) return e <= 14 ? e + 15 : field(reader, 4) + 30;
    return e <= 14 ? e - 29 : field(reader, 4) - 45;
}

int read_type6(BitReader& reader) {
    const int c = field(reader, 4);
    if (c <= 12) return c - 6;
    if (c == 13) {
        const int e = field(reader, 3);
        return e <= 3 ? e - 10 : e + 3;
    }
    if (c == 14) {
        const int e = field(reader, 3);
        return e <= 3 ? e - 14 : e + 7;
    }
    const int e = field(reader, 4);
    if (e <= 6) return e - 21;
    if (e <= 13) return e + 8;
    return e == 14 ? field(reader, 3) + 22 : field(reader, 3) - 29;
}

int read_type7(BitReader& reader) {
    const int c = field(reader, 4);
    if (c <= 14) return c - 7;
    const int e = field(reader, 5);
    return e <= 15 ? e - 23 : e - 8;
}

}  // namespace

bool read_sample_step(BitReader& reader, int nibble_type, int& previous_magnitude,
                      int& level_change) {
    int step = 0;
    switch (nibble_type) {
        case 0:
            step = read_type0(reader);
            break;
        case 1:
            step = read_type1(reader);
            break;
        case 2:
            step = read_type2(reader);
            break;
        case 3:
            step = read_type3(reader, previous_magnitude);
            break;
        case 4:
            level_change = 5 * read_type4(reader);
            return true;
        case 5:
            level_change = 7 * read_type5(reader);
            return true;
        case 6:
            level_change = 11 * read_type6(reader);
            return true;
        case 7:
            level_change = 15 * read_type7(reader);
            return true;
        default:
            return false;
    }
    // Types 0 to 3 share the step factor 3 and remember the step for type 3's next choice.
    previous_magnitude = std::abs(step);
    level_change = 3 * step;
    return true;
}
