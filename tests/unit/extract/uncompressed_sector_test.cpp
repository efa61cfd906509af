#include "extract/uncompressed_sector.h"

#include <gtest/gtest.h>

#include <vector>

#include "sector_builder.h"

namespace {

TimePointBlock unpack(const Sector& sector) {
    TimePointBlock block;
    EXPECT_TRUE(unpack_uncompressed_sector(sector, block));
    return block;
}

std::vector<uint16_t> channel(const TimePointBlock& block, size_t c, size_t count) {
    return {block.values[c].begin(), block.values[c].begin() + static_cast<ptrdiff_t>(count)};
}

std::vector<size_t> pulses(const TimePointBlock& block) {
    std::vector<size_t> at;
    for (size_t t = 0; t < static_cast<size_t>(block.count); ++t)
        if (block.marks[t] == kPaceMark) at.push_back(t);
    return at;
}

}  // namespace

TEST(PackedSector, FieldsAreALittleEndianBitStringInterleavedByTimePoint) {
    // Fields 1, 2, 3 and 1023 packed by hand into the first 5-byte group.
    SectorBuilder sector(0x01);
    size_t at = 32;
    for (const uint8_t byte : {0x01, 0x08, 0x30, 0xC0, 0xFF})
        sector.byte(at++, byte);
    const TimePointBlock block = unpack(sector.build());
    ASSERT_EQ(block.count, 192);
    ASSERT_EQ(block.channels, 2);
    EXPECT_EQ(channel(block, 0, 3), (std::vector<uint16_t>{1, 3, 0}));
    EXPECT_EQ(channel(block, 1, 3), (std::vector<uint16_t>{2, 1023, 0}));
}

TEST(UncompressedSector, PaceEntriesMarkTheirTimePointsUpToTenEntries) {
    for (const uint8_t type : {0x01, 0x05}) {
        const auto last = static_cast<uint8_t>(uncompressed_layout(type)->time_points - 1);
        EXPECT_EQ(pulses(unpack(SectorBuilder(type).pace({0, last, 250}).build())),
                  (std::vector<size_t>{0, last}))
            << int{type};
    }
    const Sector eleven = SectorBuilder(0x02).pace({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}).build();
    EXPECT_EQ(pulses(unpack(eleven)), (std::vector<size_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

TEST(DeltaDecoding, EveryCodeRangeFromHandComputedValues) {
    struct Step {
        uint16_t field, sample;
    };
    // Worked by hand from the running value r; the clamp to 400..3695 applies before every field
    // but the first.
    const std::vector<Step> steps = {
        {500, 1524},   // first field: initial bits 1 -> 1024 + 500
        {100, 1624},   // small step up
        {1000, 1600},  // small step down: 1000 - 1024
        {401, 2005},   // large up: r = 1600 + 408 = 2008, minus nibble 3
        {503, 4050},   // large up: r = 2008 + 1632 + 408 = 4048, minus nibble -2
        {623, 3292},   // clamp 3695; large down by 408: r = 3287, plus nibble 5
        {521, 1239},   // large down by 2040: r = 1247, plus nibble -8
        {520, 8},      //
        {0, 400},      // clamp up
        {504, 4087},   //
        {0, 3695},     // clamp down
        {512, 0},      // 505..519
        {400, 800},    // clamp 0 -> 400, +400
        {624, 400},    // -400
        {521, 2463},   // 400 - 2040 wraps to 2456, plus nibble 7
        {504, 4087},   //
        {503, 1640},   // clamp 3695, + 2040 wraps to 1639, minus nibble -1
    };
    SectorBuilder builder(0x04);
    builder.byte(8, 0x09).nibbles({3, -2, 5, -8, 7, -1});  // initial bits: channel 1 = 1, 2 = 2
    for (size_t t = 0; t < steps.size(); ++t)
        builder.field(static_cast<int>(2 * t), steps[t].field);
    const TimePointBlock block = unpack(builder.build());
    ASSERT_EQ(block.count, 192);
    for (size_t t = 0; t < steps.size(); ++t)
        EXPECT_EQ(block.values[0][t], steps[t].sample) << "time point " << t;
    EXPECT_EQ(channel(block, 1, 192), std::vector<uint16_t>(192, 2048));
}

TEST(DeltaDecoding, NibblesUnderPaceEntriesReadAsZero) {
    const std::pair<int, std::vector<uint16_t>> cases[] = {
        {0, {1407, 1815, 2223, 2631, 3039}},
        // 9 entries take bytes 12..29: nibbles of bytes 31 and 30 only
        {9, {1407, 1815, 2223, 2631, 3040}},
        {10, {1408, 1816, 2224, 2632, 3040}},
        {255, {1408, 1816, 2224, 2632, 3040}},
    };
    for (const auto& [pace_count, expected] : cases) {
        SectorBuilder builder(0x04);
        builder.nibbles({1, 1, 1, 1, 1, 1}).field(0, 1000);
        for (int t = 1; t <= 5; ++t)
            builder.field(2 * t, 401);  // +408 each, minus the nibble
        builder.pace(std::vector<uint8_t>(static_cast<size_t>(std::min(pace_count, 10)), 250));
        builder.byte(kPaceCountOffset, static_cast<uint8_t>(pace_count));
        const TimePointBlock block = unpack(builder.build());
        EXPECT_EQ(std::vector<uint16_t>(&block.values[0][1], &block.values[0][6]), expected)
            << pace_count;
        EXPECT_TRUE(pulses(block).empty()) << pace_count;
    }
}
