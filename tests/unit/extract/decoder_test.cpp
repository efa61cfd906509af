#include "extract/decoder.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "extract/bit_writer.h"
#include "test_env.h"

namespace {

// A three-channel block in three codings with escapes of every length and three pulses.
void put_busy_block(BitWriter& stream) {
    stream.put(1, 1).put(3, 3).put(10, 7).put(5, 7).put(40, 7);
    const std::vector<std::pair<uint32_t, int>> big_steps[3][2] = {
        {{{15, 4}, {31, 5}, {30, 5}, {5, 5}}, {{15, 4}, {31, 5}, {31, 5}, {26, 5}}},
        {{{15, 4}, {14, 4}, {3, 3}}, {{15, 4}, {15, 4}, {4, 3}}},
        {{{6, 3}, {31, 5}, {31, 5}, {10, 5}}, {{7, 3}, {31, 5}, {31, 5}, {21, 5}}}};
    const uint32_t nibble_type[3] = {2, 6, 0};
    const std::pair<uint32_t, int> zero_step[3] = {{6, 4}, {6, 4}, {2, 3}};
    for (int c = 0; c < 3; ++c) {
        stream.channel_start(300 + 200 * c, nibble_type[c]);
        for (int i = 1; i < kSamplesPerBlock; ++i) {
            if (i % 6 < 2) {
                for (const auto& [value, width] : big_steps[c][i % 6])
                    stream.put(value, width);
            } else {
                stream.put(zero_step[c].first, zero_step[c].second);
            }
        }
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

std::vector<DecodedBlock> decode_two(const std::vector<Sector>& sectors,
                                     EcgDecoder decoder = EcgDecoder()) {
    return decode_blocks(decoder, sectors, 2);
}

}  // namespace

TEST(EcgDecoder, ResynchronisesOnlyWhereThePositionDisagreesWithTheIndex) {
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
}

TEST(EcgDecoder, BlockStraddlingASectorBoundaryDecodesAsInOnePiece) {
    const std::vector<DecodedBlock> expected = decode_two(two_blocks(0));
    BitWriter busy;
    put_busy_block(busy);
    // Seek to every start that puts the boundary inside the busy block, down to its last bit.
    for (size_t pad = kBodyBits - busy.size(); pad < kBodyBits; ++pad) {
        EcgDecoder decoder;
        ASSERT_TRUE(decoder.set_decompression_index(static_cast<uint16_t>(kFirstBodyBit + pad)));
        ASSERT_EQ(decode_two(two_blocks(pad), decoder), expected) << "block at body bit " << pad;
    }
}

TEST(EcgDecoder, IndexInTheLastBytesContinuesTheBlockFromTheNextSectorNotPastTheBuffer) {
    const std::vector<DecodedBlock> expected = decode_two(two_blocks(0));
    for (size_t pad = kBodyBits - 70; pad < kBodyBits; ++pad) {
        EXPECT_EQ(decode_two(two_blocks(pad)), expected) << "block at body bit " << pad;
    }
}

TEST(EcgDecoder, IndexOutsideTheBodyIsNotFollowed) {
    const std::vector<DecodedBlock> expected = decode_two(two_blocks(0));
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

TEST(EcgDecoder, PacingWindowCarriesIntoTheNextBlockAlsoPastAChannelAbsentCommand) {
    BitWriter stream;
    std::vector<size_t> starts;
    for (int block = 0; block < 3; ++block) {
        starts.push_back(stream.size());
        if (block == 0) put_ramp_channels(stream.put(1, 1).put(1, 3).put(120, 7), 1, 100);
        // Channel 1 absent, then an empty pace list: the block has no samples at all.
        if (block == 1) stream.put(1, 1).put(0, 3).put(1, 5).put(0, 7).put(0, 1);
        if (block == 2) put_ramp_channels(stream.put(0, 1), 1, 100);
    }
    EcgDecoder decoder;
    const auto blocks = decode_blocks(decoder, to_sectors(stream, 0x21, starts), 3);
    ASSERT_EQ(blocks.size(), 3u);
    BlockSamples first{}, second{};
    first[120] = kPaceMark;
    for (int i = 120; i < kSamplesPerBlock; ++i)
        first[i] |= kPacingWindowMark;
    for (int i = 0; i < 15; ++i)
        second[i] = kPacingWindowMark;
    EXPECT_EQ(blocks[0].marks, first);
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
    for (int i = 0; i < kSamplesPerBlock; ++i) {
        EXPECT_EQ(blocks[0].channels[1][i], (i / 32) % 2 == 0 ? 1843 : 2253) << i;
    }
}

TEST(EcgDecoder, RandomSectorsNeverStallOrLeaveTheSampleRange) {
    std::mt19937 random(2024);
    EcgDecoder decoder;
    Sector sector{};
    for (int n = 0; n < 3000; ++n) {
        for (uint8_t& byte : sector)
            byte = static_cast<uint8_t>(random());
        sector[0] = static_cast<uint8_t>(0x21 + random() % 3);
        if (n % 2 == 0)
            put_u16le(&sector[3], static_cast<uint16_t>(kFirstBodyBit + random() % kBodyBits));
        if (n % 50 == 0) decoder.set_decompression_index(static_cast<uint16_t>(random()));
        int calls = 0;
        for (DecodeResult r{}; !r.sector_done; ++calls) {
            ASSERT_LT(calls, 1000);
            r = decoder.decode_sector(sector);
            ASSERT_TRUE(r.ok);
            for (const BlockSamples& channel : decoder.block().channels) {
                for (uint16_t sample : channel)
                    ASSERT_LE(sample, 4095);
            }
        }
    }
}
