#include "extract/sample_codes.h"

#include <array>
#include <cstdlib>

namespace {

struct SampleStep {
    int step = 0;
    int length = 0;
};

// The fields of one code, read from a peek of the stream.
struct CodeFields {
    uint64_t bits = 0;
    int length = 0;

    constexpr int field(int width) {
        const auto value = static_cast<int>((bits >> length) & ((1u << width) - 1));
        length += width;
        return value;
    }
};

// Large steps of types 0 and 1: the value 31 of a 5-bit field escapes to the next wider range,
// 7..37, then 38..68, then 69..100 (mirrored for the negative form).
constexpr int long_step(CodeFields& code, bool negative) {
    int e = code.field(5);
    if (e <= 30) return negative ? e - 37 : e + 7;
    e = code.field(5);
    if (e <= 30) return negative ? e - 68 : e + 38;
    e = code.field(5);
    return negative ? e - 100 : e + 69;
}

// Steps of 7..14 in either direction, shared by types 2, 4 and 5.
constexpr int medium_step(CodeFields& code) {
    const int e = code.field(4);
    return e <= 7 ? e - 14 : e - 1;
}

constexpr int type0_step(CodeFields& code) {
    const int c = code.field(3);
    if (c <= 4) return c - 2;
    if (c == 5) {
        const int e = code.field(3);
        return e <= 3 ? e - 6 : e - 1;
    }
    return long_step(code, c == 7);
}

constexpr int type1_step(CodeFields& code) {
    const int c = code.field(3);
    if (c <= 6) return c - 3;
    const int e = code.field(3);
    if (e <= 2) return e - 6;
    if (e <= 5) return e + 1;
    return long_step(code, e == 7);
}

constexpr int type2_step(CodeFields& code) {
    const int c = code.field(4);
    if (c <= 12) return c - 6;
    if (c == 13) return medium_step(code);
    if (c == 14) {
        const int e = code.field(5);
        return e <= 15 ? e - 30 : e - 1;
    }
    const int e = code.field(5);
    if (e <= 14) return e - 45;
    if (e <= 29) return e + 16;
    if (e == 30) {
        const int f = code.field(4);
        return f <= 7 ? f - 53 : f + 38;
    }
    const int g = code.field(5);
    if (g <= 14) return g - 68;
    if (g <= 29) return g + 39;
    return g == 30 ? code.field(5) + 69 : code.field(5) - 100;
}

constexpr int type4_step(CodeFields& code) {
    const int c = code.field(4);
    if (c <= 12) return c - 6;
    if (c == 13) return medium_step(code);
    const int e = code.field(5);
    if (c == 14) return e <= 30 ? e + 15 : code.field(4) + 46;
    return e <= 30 ? e - 45 : code.field(4) - 61;
}

constexpr int type5_step(CodeFields& code) {
    const int c = code.field(4);
    if (c <= 12) return c - 6;
    if (c == 13) return medium_step(code);
    const int e = code.field(4);
    if (c == 14) return e <= 14 ? e + 15 : code.field(4) + 30;
    return e <= 14 ? e - 29 : code.field(4) - 45;
}

constexpr int type6_step(CodeFields& code) {
    const int c = code.field(4);
    if (c <= 12) return c - 6;
    if (c == 13) {
        const int e = code.field(3);
        return e <= 3 ? e - 10 : e + 3;
    }
    if (c == 14) {
        const int e = code.field(3);
        return e <= 3 ? e - 14 : e + 7;
    }
    const int e = code.field(4);
    if (e <= 6) return e - 21;
    if (e <= 13) return e + 8;
    return e == 14 ? code.field(3) + 22 : code.field(3) - 29;
}

constexpr int type7_step(CodeFields& code) {
    const int c = code.field(4);
    if (c <= 14) return c - 7;
    const int e = code.field(5);
    return e <= 15 ? e - 23 : e - 8;
}

constexpr SampleStep step_of(int coding, uint64_t bits) {
    CodeFields code{bits};
    int step = 0;
    switch (coding) {
        case 0:
            step = type0_step(code);
            break;
        case 1:
            step = type1_step(code);
            break;
        case 2:
            step = type2_step(code);
            break;
        case 4:
            step = type4_step(code);
            break;
        case 5:
            step = type5_step(code);
            break;
        case 6:
            step = type6_step(code);
            break;
        case 7:
            step = type7_step(code);
            break;
        default:
            break;
    }
    return {step, code.length};
}

// Almost every code fits a 12-bit peek; an entry holds its step and length, or length 0 where
// the code is longer and is read field by field.
constexpr int kTableBits = 12;
constexpr uint64_t kTableMask = (1u << kTableBits) - 1;
struct TableEntry {
    int8_t step = 0;
    uint8_t length = 0;
};
using CodeTable = std::array<TableEntry, 1u << kTableBits>;

constexpr CodeTable make_table(int coding) {
    CodeTable table{};
    for (uint32_t bits = 0; bits < table.size(); ++bits) {
        const SampleStep s = step_of(coding, bits);
        if (s.length <= kTableBits)
            table[bits] = {static_cast<int8_t>(s.step), static_cast<uint8_t>(s.length)};
    }
    return table;
}

// One constant each, so that no compiler meets its step limit in a single evaluation.
constexpr CodeTable kType0 = make_table(0);
constexpr CodeTable kType1 = make_table(1);
constexpr CodeTable kType2 = make_table(2);
constexpr CodeTable kType4 = make_table(4);
constexpr CodeTable kType5 = make_table(5);
constexpr CodeTable kType6 = make_table(6);
constexpr CodeTable kType7 = make_table(7);
// Type 3 has no table of its own: it borrows that of type 0, 1 or 2.
constexpr std::array<const CodeTable*, 8> kTables = {&kType0, &kType1, &kType2, nullptr,
                                                     &kType4, &kType5, &kType6, &kType7};
constexpr std::array<int, 8> kStepFactor = {3, 3, 3, 3, 5, 7, 11, 15};

// Type 3's choice by the previous step size.
constexpr int adaptive_coding(int previous_magnitude) {
    if (previous_magnitude < 4) return 1;
    return previous_magnitude >= 10 && previous_magnitude <= 37 ? 0 : 2;
}

template <int Type>
int decode_run(BitReader& reader, ChannelLevel& channel, BlockSamples& samples, int index) {
    int level = channel.level;
    int magnitude = channel.previous_magnitude;
    reader.read_codes(kSamplesPerBlock - index, kLongestSampleCode, [&](uint64_t bits) {
        const int coding = Type == 3 ? adaptive_coding(magnitude) : Type;
        const TableEntry entry = (*kTables[static_cast<size_t>(coding)])[bits & kTableMask];
        SampleStep s{entry.step, entry.length};
        if (s.length == 0) [[unlikely]]
            s = step_of(coding, bits);
        level += kStepFactor[Type] * s.step;
        // Only type 3 looks at the last step, and a channel's type holds for all its samples.
        if constexpr (Type == 3) magnitude = std::abs(s.step);
        samples[static_cast<size_t>(index++)] = sample_of_level(level);
        return s.length;
    });
    channel = {level, magnitude};
    return index;
}

}  // namespace

int decode_sample_run(BitReader& reader, int nibble_type, ChannelLevel& channel,
                      BlockSamples& samples, int index) {
    switch (nibble_type) {
        case 0:
            return decode_run<0>(reader, channel, samples, index);
        case 1:
            return decode_run<1>(reader, channel, samples, index);
        case 2:
            return decode_run<2>(reader, channel, samples, index);
        case 3:
            return decode_run<3>(reader, channel, samples, index);
        case 4:
            return decode_run<4>(reader, channel, samples, index);
        case 5:
            return decode_run<5>(reader, channel, samples, index);
        case 6:
            return decode_run<6>(reader, channel, samples, index);
        case 7:
            return decode_run<7>(reader, channel, samples, index);
        default:
            return -1;
    }
}
