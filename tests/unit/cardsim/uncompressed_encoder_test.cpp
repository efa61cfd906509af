#include "cardsim/lib/uncompressed_encoder.h"

#include <gtest/gtest.h>

#include "cardsim/lib/delta_encoder.h"
#include "field_reader.h"

using namespace cardsim;

namespace {

struct DeltaCase {
    const char* name;
    uint16_t previous;
    uint16_t value;
    int pace_entries;
    uint16_t field;
    uint16_t output;
    uint8_t side_byte_31;
};

class DeltaStep : public ::testing::TestWithParam<DeltaCase> {};

TEST_P(DeltaStep, TakesTheCodeAndNibbleWorkedOutByHand) {
    const DeltaCase& c = GetParam();
    SectorBytes sector{};
    DeltaEncoder encoder(sector, c.pace_entries);
    encoder.first(0, c.previous);
    const DeltaCode code = encoder.next(0, c.value);
    EXPECT_EQ(code.field, c.field);
    EXPECT_EQ(code.output, c.output);
    EXPECT_EQ(sector[31], c.side_byte_31);
}

// Coarse steps: 401 + k adds 408 + 16k and the nibble is subtracted; 521 + j adds 2056 + 16j
// (mod 4096) and the nibble is added. The running value is clamped to 400..3695 first.
INSTANTIATE_TEST_SUITE_P(
    Codes, DeltaStep,
    ::testing::Values(DeltaCase{"small_up", 2000, 2400, 0, 400, 2400, 0},
                      DeltaCase{"small_down", 2000, 1600, 0, 624, 1600, 0},
                      DeltaCase{"from_clamped_floor", 100, 100, 0, 724, 100, 0},
                      DeltaCase{"from_clamped_ceiling", 4000, 4095, 0, 400, 4095, 0},
                      DeltaCase{"coarse_up", 2000, 2500, 0, 407, 2500, 0x04},
                      DeltaCase{"coarse_up_wrapping", 3000, 500, 0, 475, 500, 0x0C},
                      DeltaCase{"coarse_down", 2000, 500, 0, 555, 500, 0x0C},
                      DeltaCase{"coarse_largest", 400, 2448, 0, 503, 2448, 0x08},
                      DeltaCase{"to_zero", 2000, 0, 0, 505, 0, 0},
                      DeltaCase{"to_eight", 3000, 8, 0, 520, 8, 0},
                      DeltaCase{"to_4087", 1000, 4087, 0, 504, 4087, 0},
                      DeltaCase{"no_room_for_a_nibble", 2000, 2500, 10, 407, 2504, 0}),
    [](const ::testing::TestParamInfo<DeltaCase>& param) { return param.param.name; });

}  // namespace

TEST(DeltaEncoding, NibblesFillTheSideAreaFromTheBackUntilThePaceEntries) {
    SectorBytes sector{};
    DeltaEncoder encoder(sector, 9);  // pace entries take bytes 12..29
    encoder.first(0, 2000);
    EXPECT_EQ(encoder.next(0, 2500).output, 2500);  // nibble 4: byte 31 low
    EXPECT_EQ(encoder.next(0, 2920).output, 2920);  // 2504 + 416: nibble −8, byte 31 high
    EXPECT_EQ(encoder.next(0, 2500).output, 2500);  // byte 30 low
    EXPECT_EQ(encoder.next(0, 3000).output, 3000);  // byte 30 high
    EXPECT_NE(encoder.next(0, 2507).output, 2507);  // byte 29 holds a pace entry
    EXPECT_EQ(sector[31], 0x84);
}

TEST(UncompressedSectorEncoding, PlacesEventBitPaceEntriesAndInterleavedFields) {
    UncompressedInput input;
    for (int t = 0; t < 192; ++t) {
        input.targets[0][static_cast<size_t>(t)] = static_cast<uint16_t>(4 * t);
        input.targets[1][static_cast<size_t>(t)] = 4000;
    }
    input.pulses = {3, 191};
    input.patient_event = true;
    SectorBytes sector{};
    UncompressedResult result;
    encode_uncompressed_sector(0x01, 7, input, sector, result);

    EXPECT_EQ(sector[0], 0x01);
    EXPECT_EQ(sector[1], 7);
    EXPECT_EQ(sector[6], 1);
    EXPECT_EQ(sector[11], 2);
    EXPECT_EQ(sector[12], 3);
    EXPECT_EQ(sector[14], 191);
    FieldReader payload({sector.begin() + 32, sector.end()});
    EXPECT_EQ(payload.read(10), 0u);  // time point 0, channel 1
    EXPECT_EQ(payload.read(10), 1000u);
    EXPECT_EQ(payload.read(10), 1u);     // time point 1
    EXPECT_EQ(result.samples[0][0], 4);  // 10-bit 0 is written as 1, times 4
    EXPECT_EQ(result.samples[0][191], 764);
    EXPECT_EQ(result.samples[1][5], 4000);
}

TEST(UncompressedSectorEncoding, KeepsTenPaceEntriesAndSetsInitialBitsForDeltaTypes) {
    UncompressedInput input;
    for (auto& channel : input.targets)
        channel.fill(3100);
    for (uint8_t t = 0; t < 12; ++t)
        input.pulses.push_back(static_cast<uint8_t>(10 * t));
    SectorBytes sector{};
    UncompressedResult result;
    encode_uncompressed_sector(0x05, 1, input, sector, result);
    EXPECT_EQ(sector[11], 10);
    EXPECT_EQ(result.pulses.size(), 10u);
    EXPECT_EQ(sector[8], 0x3F);  // 3100 >> 10 = 3 on each of the three channels
    EXPECT_EQ(result.samples[2][127], 3100);
}
