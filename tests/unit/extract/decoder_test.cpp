#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "cardsim/lib/step_codes.h"
#include "extract/bit_writer.h"
#include "extract/decoder.h"
#include "extract/pace_list.h"
#include "test_folder.h"

namespace {

using Code = std::vector<std::pair<uint32_t, int>>;

// A three-channel block in three codings with escapes of every length and three pulses.
void put_busy_block(BitWriter& stream) {
    stream.put(1, 1).put(3, 3).put(10, 7).put(5, 7).put(40, 7);
    const Code big_steps[3][2] = {
        {{{15, 4}, {31, 5}, {30, 5}, {5, 5}}, {{15, 4}, {31, 5}, {31, 5}, {26, 5}}},
        {{{15, 4}, {14, 4}, {3, 3}}, {{15, 4}, {15, 4}, {4, 3}}},
        {{{6, 3}, {31, 5}, {31, 5}, {10, 5}}, {{7, 3}, {31, 5}, {31, 5}, {21, 5}}}};
    const uint32_t nibble_type[3] = {2, 6, 0};
    const Code zero_step[3] = {{{6, 4}}, {{6, 4}}, {{2, 3}}};
    for (int c = 0; c < 3; ++c) {
        stream.channel_start(300 + 200 * c, nibble_type[c]);
        for (int i = 1; i < kSamplesPerBlock; ++i)
            for (const auto& [value, width] : i % 6 < 2 ? big_steps[c][i % 6] : zero_step[c])
                stream.put(value, width);
    }
}

// Channels that climb by 3 levels per sample from `first`.
void put_ramp_channels(BitWriter& stream, int channels, uint32_t first) {
    for (int c = 0; c < channels; ++c) {
        stream.channel_start(first, 1);
        for (int i = 1; i < kSamplesPerBlock; ++i)
            stream.put(4, 3);
    }
}

BlockSamples ramp(int first) {
    BlockSamples samples{};
    for (int i = 0; i < kSamplesPerBlock; ++i)
        samples[i] = static_cast<uint16_t>((first + 3 * i) * 4 + 1);
    return samples;
}

// After `pad` filler bits, the busy block and then a three-channel ramp block, in 0x23 sectors
// whose indices name them.
std::vector<Sector> two_blocks(size_t pad) {
    BitWriter stream;
    for (size_t i = 0; i < pad; ++i)
        stream.put(1, 1);
    put_busy_block(stream);
    const size_t second_start = stream.size();
    put_ramp_channels(stream.put(0, 1), 3, 100);
    return to_sectors(stream, 0x23, {pad, second_start});
}

BlockSamples marks_of(const std::vector<int>& pulses) {
    BlockSamples marks{};
    for (int p : pulses) {
        for (int i = p; i < std::min(p + kPacingWindow, kSamplesPerBlock); ++i)
            marks[i] |= kPacingWindowMark;
        marks[p] |= kPaceMark;
    }
    return marks;
}

std::vector<DecodedBlock> decode_two(const std::vector<Sector>& sectors,
                                     EcgDecoder decoder = EcgDecoder()) {
    return decode_blocks(decoder, sectors, 2);
}

uint16_t sample(int level) {
    return static_cast<uint16_t>(level * 4 + 1);
}

// One block whose channels each start at `first` and then read `codes`, padded with zero steps.
DecodedBlock decode_block(uint8_t sector_type, const std::vector<uint32_t>& first,
                          const std::vector<uint32_t>& nibble_type,
                          const std::vector<std::vector<Code>>& codes) {
    BitWriter stream;
    stream.put(0, 1);
    for (size_t c = 0; c < first.size(); ++c) {
        stream.channel_start(first[c], nibble_type[c]);
        // Steps of 0 in the type (type 3 after a small step uses type 1's).
        const auto zero = cardsim::step_codes(nibble_type[c] == 3 ? 1 : nibble_type[c])[0];
        std::vector<Code> samples = codes[c];
        samples.resize(kSamplesPerBlock - 1, {{zero.bits, zero.width}});
        for (const Code& code : samples)
            for (const auto& [value, width] : code)
                stream.put(value, width);
    }
    EcgDecoder decoder;
    const auto blocks = decode_blocks(decoder, to_sectors(stream, sector_type, {0}), 1);
    return blocks.empty() ? DecodedBlock{} : blocks[0];
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

TEST(EcgDecoder, ResynchronisesOnlyToADisagreeingIndexInsideTheBody) {
    const std::vector<DecodedBlock> expected = decode_two(two_blocks(0));
    ASSERT_EQ(expected.size(), 2u);
    EXPECT_EQ(expected[1].channels[2], ramp(100));
    const std::pair<size_t, std::string> cases[] = {
        {0, ""},
        {100, "Resetting decompression index, should be: 140, but it is: 40, cecg_index : 0\n"}};
    for (const auto& [pad, trace_text] : cases) {
        TraceCapture trace;
        EXPECT_EQ(decode_two(two_blocks(pad)), expected) << pad;
        EXPECT_EQ(trace.text(), trace_text);
    }
    // An index outside the body is not followed.
    for (uint16_t index : {0, 39, 4096, 65535}) {
        // A seek to it takes the block start from the sector instead.
        EcgDecoder seeking;
        EXPECT_FALSE(seeking.set_decompression_index(index));
        EXPECT_EQ(decode_two(two_blocks(100), seeking), expected) << index;
        // In a sector header it leaves the reader where the stream has brought it.
        std::vector<Sector> sectors = two_blocks(0);
        put_u16le(&sectors[0][3], index);
        EXPECT_EQ(decode_two(sectors), expected) << index;
    }
}

// Seeking to every start that puts the boundary inside the busy block, down to its last bit, or
// reading on from the sector header's index, which near the end continues the block from the
// next sector rather than past the buffer.
TEST(EcgDecoder, BlockStraddlingASectorBoundaryDecodesAsInOnePiece) {
    const std::vector<DecodedBlock> expected = decode_two(two_blocks(0));
    BitWriter busy;
    put_busy_block(busy);
    for (size_t pad = kBodyBits - busy.size(); pad < kBodyBits; ++pad) {
        EcgDecoder decoder;
        ASSERT_TRUE(decoder.set_decompression_index(static_cast<uint16_t>(kFirstBodyBit + pad)));
        ASSERT_EQ(decode_two(two_blocks(pad), decoder), expected) << "seek to body bit " << pad;
        ASSERT_EQ(decode_two(two_blocks(pad)), expected) << "block at body bit " << pad;
    }
}

TEST(EcgDecoder, PacingWindowCarriesIntoTheNextBlockAlsoPastAChannelAbsentCommand) {
    BitWriter stream;
    put_ramp_channels(stream.put(1, 1).put(1, 3).put(120, 7), 1, 100);
    const size_t block2 = stream.size();
    // Channel 1 absent, then an empty pace list: the block has no samples at all.
    stream.put(1, 1).put(0, 3).put(1, 5).put(0, 7).put(0, 1);
    const size_t block3 = stream.size();
    put_ramp_channels(stream.put(0, 1), 1, 100);
    EcgDecoder decoder;
    const auto blocks = decode_blocks(decoder, to_sectors(stream, 0x21, {0, block2, block3}), 3);
    ASSERT_EQ(blocks.size(), 3u);
    BlockSamples second{};
    for (int i = 0; i < 15; ++i)
        second[i] = kPacingWindowMark;
    EXPECT_EQ(blocks[0].marks, marks_of({120}));
    EXPECT_EQ(blocks[1].marks, second);
    EXPECT_EQ(blocks[1].channels[0], BlockSamples{});
    EXPECT_EQ(blocks[2].marks, BlockSamples{});
}

TEST(EcgDecoder, OneChannelBlocksLeaveThePresetSquareWaveAsChannel2) {
    BitWriter stream;
    put_ramp_channels(stream.put(0, 1), 1, 100);
    EcgDecoder decoder;
    decoder.preset_square_wave();
    const auto blocks = decode_blocks(decoder, to_sectors(stream, 0x21, {0}), 1);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].channels[0], ramp(100));
    for (int i = 0; i < kSamplesPerBlock; ++i)
        EXPECT_EQ(blocks[0].channels[1][i], (i / 32) % 2 == 0 ? 1843 : 2253) << i;
}

TEST(SampleCodes, AdaptiveTypeFollowsThePreviousStepAndOutputsSaturate) {
    // Steps 3 and 4 (type 1), 9 and 10 (type 2), 37 and 38 (type 0), -3 (type 2), then type 1.
    const std::vector<Code> codes = {{{6, 3}},
                                     {{7, 3}, {3, 3}},
                                     {{13, 4}, {10, 4}},
                                     {{13, 4}, {11, 4}},
                                     {{6, 3}, {30, 5}},
                                     {{6, 3}, {31, 5}, {0, 5}},
                                     {{3, 4}}};
    const DecodedBlock block = decode_block(0x21, {512}, {3}, {codes});
    const std::vector<int> levels = {512, 521, 533, 560, 590, 701, 815, 806};
    for (size_t i = 0; i < levels.size(); ++i)
        EXPECT_EQ(block.channels[0][i], sample(levels[i]));
    EXPECT_EQ(block.channels[0][127], sample(806));

    // Outputs saturate at 1 and 4095 while the level runs on.
    const Code up = {{15, 4}, {31, 5}, {30, 5}, {31, 5}};
    const Code down = {{15, 4}, {31, 5}, {31, 5}, {0, 5}};
    const std::vector<Code> high = {up, down};            // 1023 -> 1323 -> 1023
    const std::vector<Code> low = {down, up, {{12, 4}}};  // 0 -> -300 -> 0 -> 18
    const DecodedBlock saturated = decode_block(0x22, {1023, 0}, {2, 2}, {high, low});
    EXPECT_EQ(std::vector<uint16_t>(&saturated.channels[0][0], &saturated.channels[0][3]),
              (std::vector<uint16_t>{4093, 4095, 4093}));
    EXPECT_EQ(std::vector<uint16_t>(&saturated.channels[1][0], &saturated.channels[1][4]),
              (std::vector<uint16_t>{1, 1, 1, 73}));
}

// Every code of every fixed nibble type, each escape range from one end to the other, alternately
// up and down from level 512, with the sector boundary (so the end of the body, the carried bytes
// and a refill of the reader) at each bit of the run. The simulator builds its code table from the
// code forms, not from this decoder; that table and the step factor give the expected samples, and
// a code read with the wrong length would shift every later one.
TEST(SampleCodes, EveryCodeDecodesAlikeAtEveryBitAroundTheSectorBoundary) {
    for (const int type : {0, 1, 2, 4, 5, 6, 7}) {
        SCOPED_TRACE(testing::Message() << "nibble type " << type);
        BitWriter run;
        std::vector<size_t> starts;
        std::vector<DecodedBlock> expected;
        int level = 0, index = kSamplesPerBlock;
        for (int k = 0; k <= cardsim::step_range(type); ++k) {
            for (const int step : {k, -k}) {
                if (index == kSamplesPerBlock) {
                    starts.push_back(run.size());
                    run.put(0, 1).channel_start(512, static_cast<uint32_t>(type));
                    expected.emplace_back().channels[0].fill(sample(512));
                    level = 512;
                    index = 1;
                }
                const cardsim::StepCode code = cardsim::step_codes(type)[step];
                run.put(code.bits, code.width);
                level += cardsim::step_factor(type) * step;
                expected.back().channels[0][static_cast<size_t>(index++)] = sample(level);
            }
        }
        // The last block ends in steps of 0 at the level it has reached.
        const cardsim::StepCode zero = cardsim::step_codes(type)[0];
        for (; index < kSamplesPerBlock; ++index) {
            run.put(zero.bits, zero.width);
            expected.back().channels[0][static_cast<size_t>(index)] = sample(level);
        }
        for (size_t pad = kBodyBits - run.size(); pad < kBodyBits; ++pad) {
            BitWriter stream;
            for (size_t i = 0; i < pad; ++i)
                stream.put(1, 1);
            for (const uint8_t byte : run.bytes())
                stream.put(byte, 8);
            std::vector<size_t> block_starts;
            for (const size_t start : starts)
                block_starts.push_back(pad + start);
            EcgDecoder decoder;
            ASSERT_TRUE(
                decoder.set_decompression_index(static_cast<uint16_t>(kFirstBodyBit + pad)));
            ASSERT_EQ(
                decode_blocks(decoder, to_sectors(stream, 0x21, block_starts), expected.size()),
                expected)
                << "run at body bit " << pad;
        }
    }
}

TEST(PaceList, MarksEveryPulseAndItsWindowOf23SamplesOrClearsTheNamedChannel) {
    for (const PaceCase& c : kPaceCases) {
        SCOPED_TRACE(c.name);
        const Reading r = read_one(c.bits);
        EXPECT_EQ(r.kind, PaceListKind::kPulses);
        EXPECT_EQ(r.bits_read, static_cast<int>(c.bits.size()));
        EXPECT_EQ(r.marks, marks_of(c.pulses));
        EXPECT_EQ(r.pace.window_carry, c.window_carry);
    }
    // A channel-absent command clears only the channel it names.
    for (uint32_t code = 0; code < 32; ++code) {
        const Reading r = read_one(BitWriter().put(1, 1).put(0, 3).put(code, 5).put(0, 7));
        EXPECT_EQ(r.kind, PaceListKind::kChannelAbsent);
        for (int channel = 0; channel < kMaxStreamChannels; ++channel)
            EXPECT_EQ(r.present[channel], code != static_cast<uint32_t>(channel) + 1) << code;
        EXPECT_EQ(r.marks, BlockSamples{});
    }
}
