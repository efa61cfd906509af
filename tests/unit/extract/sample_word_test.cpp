#include "extract/sample_word.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "extract/raw_output.h"
#include "extract/time_point_block.h"
#include "support/byte_order.h"
#include "test_folder.h"

namespace {

constexpr auto k10 = SampleScale::ten_bit;
constexpr auto k12 = SampleScale::twelve_bit;

TEST(RawSampleWord, MapsScalesAndRoundsToTheOutputResolution) {
    const struct {
        int resolution;
        uint32_t value;
        SampleScale scale;
        uint16_t raw;
    } cases[] = {
        {12, 0, k12, 1},           {12, kNoDataValue, k12, 0},
        {12, 4095, k12, 4095},     {12, 0, k10, 4},
        {12, 1023, k10, 4092},     {8, 5, k12, 16},
        {8, 4090, k12, 4080},      {8, 4087, k12, 4080},
        {8, 24, k12, 32},          {8, 23, k12, 16},
        {8, kNoDataValue, k12, 0}, {10, 1023, k10, 4092},
        {9, 101, k10, 408},        {11, 6, k12, 6},
        {11, 7, k12, 8},
    };
    for (const auto& c : cases) {
        OutputSettings settings;
        settings.set_resolution_bits(c.resolution);
        EXPECT_EQ(raw_sample_word(c.value, 0, c.scale, settings), c.raw) << c.value;
        EXPECT_EQ(raw_sample_word(c.value, 0x9000, c.scale, settings), c.raw | 0x9000) << c.value;
    }
}

}  // namespace

// The whole-second path gives each word that the word rule gives the sample and its marks.
TEST(RawOutput, DecodedSecondIsWrittenAsTheWordsOfItsSamplesAtEveryResolution) {
    // A second whose channels run through the rounding edges (no data, 1, the half steps and the
    // values near full scale) with pace marks and windows on some time points.
    const uint16_t edges[] = {0,   1,   2,    7,    8,    15,   16,   23,  24,
                              127, 128, 2047, 2048, 4080, 4087, 4088, 4095};
    DecodedBlock block;
    for (size_t c = 0; c < kMaxStreamChannels; ++c)
        for (size_t t = 0; t < kSamplesPerBlock; ++t)
            block.channels[c][t] = edges[(t + 5 * c) % std::size(edges)];
    for (size_t t = 0; t < kSamplesPerBlock; t += 9)
        block.marks[t] = t % 2 == 0 ? kPaceMark | kPacingWindowMark : kPacingWindowMark;
    for (int resolution = 8; resolution <= 12; ++resolution) {
        SCOPED_TRACE(testing::Message() << "resolution " << resolution);
        OutputSettings settings;
        settings.set_resolution_bits(resolution);
        TestFolder folder;
        RawOutput output(settings, kSamplesPerBlock * 10, folder.path());
        ASSERT_TRUE(output.open());
        output.begin_recording({2, 0});
        output.write_second(block);
        output.write_second(block);
        ASSERT_TRUE(output.finish(false));
        for (size_t c = 0; c < 2; ++c) {
            const std::vector<uint8_t> bytes =
                read_bytes(folder / ("rawecg" + std::to_string(c + 1) + ".dat"));
            ASSERT_EQ(bytes.size(), 4u * kSamplesPerBlock);
            for (size_t i = 0; i < 2 * kSamplesPerBlock; ++i) {
                const size_t t = i % kSamplesPerBlock;
                const uint16_t value = block.channels[c][t];
                ASSERT_EQ(get_u16le(&bytes[2 * i]),
                          raw_sample_word(value == 0 ? kNoDataValue : value, block.marks[t],
                                          SampleScale::twelve_bit, settings))
                    << "channel " << c + 1 << ", word " << i;
            }
        }
        EXPECT_TRUE(read_bytes(folder / "rawecg3.dat").empty());
    }
}

// A sector's block goes out as whole runs; it must give the words the time-point road gives and
// stop after the same packed group at the duration limit.
TEST(RawOutput, SectorBlockGivesTheTimePointRoadsWordsAndStopsAtTheSameGroup) {
    const struct {
        int channels, count, group;
        SampleScale scale;
        int resolution;
        int64_t limit, written;
    } cases[] = {
        {2, 192, 2, k10, 12, 1000, 384}, {2, 192, 2, k10, 9, 0, 0},
        {2, 192, 2, k12, 8, 1, 2},       {2, 192, 2, k12, 12, 193, 194},
        {3, 128, 4, k10, 8, 127, 128},   {3, 128, 4, k10, 12, 129, 132},
        {3, 128, 4, k12, 11, 255, 256},  {3, 128, 4, k12, 12, 254, 256},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.count << " x " << c.channels << " limit " << c.limit);
        TimePointBlock block{
            .channels = c.channels, .count = c.count, .group = c.group, .scale = c.scale};
        for (size_t t = 0; t < kMaxSectorTimePoints; ++t) {
            for (size_t ch = 0; ch < kMaxStreamChannels; ++ch)
                block.values[ch][t] =
                    static_cast<uint16_t>((t * 37 + ch * 11) % (c.scale == k10 ? 1024 : 4096));
            block.marks[t] = t % 7 == 0 ? kPaceMark | kPacingWindowMark : 0;
        }
        OutputSettings settings;
        settings.set_resolution_bits(c.resolution);
        TestFolder runs, points;
        RawOutput by_runs(settings, c.limit, runs.path());
        RawOutput by_points(settings, c.limit, points.path());
        for (RawOutput* output : {&by_runs, &by_points}) {
            ASSERT_TRUE(output->open());
            output->begin_recording({3, 0});
            for (int sector = 0; sector < 2; ++sector)
                output == &by_runs ? output->write_time_points(block)
                                   : output->SampleOutput::write_time_points(block);
            EXPECT_EQ(output->time_points(), c.written);
            ASSERT_TRUE(output->finish(false));
        }
        for (const char* name : {"rawecg1.dat", "rawecg2.dat", "rawecg3.dat"}) {
            EXPECT_EQ(read_bytes(runs / name), read_bytes(points / name)) << name;
            EXPECT_EQ(read_bytes(runs / name).size(), 2 * static_cast<size_t>(c.written)) << name;
        }
    }
}
