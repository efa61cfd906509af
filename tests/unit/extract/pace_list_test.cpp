#include "extract/pace_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "extract/bit_writer.h"

namespace {

BlockSamples marks_of(const std::vector<int>& pulses) {
    BlockSamples marks{};
    for (int p : pulses) {
        for (int i = p; i < std::min(p + kPacingWindow, kSamplesPerBlock); ++i) {
            marks[i] |= kPacingWindowMark;
        }
        marks[p] |= kPaceMark;
    }
    return marks;
}

struct PaceCase {
    std::string name;
    BitWriter bits;
    std::vector<int> pulses;
    int window_carry;
};

const std::vector<PaceCase> kPaceCases = {
    {"no pulses", BitWriter().put(0, 1), {}, 0},
    {"pulse at 120", BitWriter().put(1, 1).put(1, 3).put(120, 7), {120}, 15},
    // From 100 only 26 positions are left: 5-bit gaps, and the width never grows back.
    {"narrowed gaps",
     BitWriter().put(1, 1).put(3, 3).put(100, 7).put(9, 5).put(4, 5),
     {100, 110, 115},
     10},
    // From 126 the gap width is 0: the next pulses follow at 127 and 128, which lies outside.
    {"zero-width gaps", BitWriter().put(1, 1).put(3, 3).put(126, 7), {126, 127}, 22},
    {"series of 8 from 0 over 70",
     BitWriter().put(1, 1).put(0, 3).put(0, 5).put(70, 7).put(0, 6),
     {0, 10, 20, 30, 40, 50, 60, 70},
     0},
    // 31/14 in single precision lies just below the real value, so pulse 7 falls on 15, not 16.
    {"series spaced in single precision",
     BitWriter().put(1, 1).put(0, 3).put(7, 5).put(31, 7).put(0, 7),
     {0, 2, 4, 7, 9, 11, 13, 15, 18, 20, 22, 24, 27, 29, 31},
     0},
};

struct Reading {
    PaceListKind kind;
    int bits_read;
    PaceList pace;
    ChannelPresence present{true, true, true};
    BlockSamples marks{};
};

Reading read_one(const BitWriter& bits) {
    const Sector sector = to_sectors(bits, 0x21, {0})[0];
    BitReader reader;
    reader.reset();
    reader.begin_sector(sector.data() + kStreamBodyOffset);
    Reading r{};
    r.kind = read_pace_list(reader, r.pace, r.present, r.marks);
    r.bits_read = reader.bit_position() - kFirstBodyBit;
    return r;
}

}  // namespace

TEST(PaceList, MarksEveryPulseAndTheWindowOf23SamplesFromIt) {
    for (const PaceCase& c : kPaceCases) {
        SCOPED_TRACE(c.name);
        const Reading r = read_one(c.bits);
        EXPECT_EQ(r.kind, PaceListKind::kPulses);
        EXPECT_EQ(r.bits_read, static_cast<int>(c.bits.size()));
        EXPECT_EQ(r.marks, marks_of(c.pulses));
        EXPECT_EQ(r.pace.window_carry, c.window_carry);
    }
}

TEST(PaceList, ChannelAbsentCommandClearsOnlyTheChannelItNames) {
    for (uint32_t code = 0; code < 32; ++code) {
        const Reading r = read_one(BitWriter().put(1, 1).put(0, 3).put(code, 5).put(0, 7));
        EXPECT_EQ(r.kind, PaceListKind::kChannelAbsent);
        for (int channel = 0; channel < kMaxStreamChannels; ++channel) {
            EXPECT_EQ(r.present[channel], code != static_cast<uint32_t>(channel) + 1) << code;
        }
        EXPECT_EQ(r.marks, BlockSamples{});
    }
}
