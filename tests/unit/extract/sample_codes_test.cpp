#include <gtest/gtest.h>

#include <array>
#include <utility>
#include <vector>

#include "extract/bit_writer.h"

namespace {

using Code = std::vector<std::pair<uint32_t, int>>;

constexpr std::array<int, 8> kStepFactor = {3, 3, 3, 3, 5, 7, 11, 15};
// A step of 0 in each type (type 3 after a small step uses type 1's).
const std::array<Code, 8> kZeroStep = {Code{{2, 3}}, {{3, 3}}, {{6, 4}}, {{3, 3}},
                                       {{6, 4}},     {{6, 4}}, {{6, 4}}, {{7, 4}}};

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
        std::vector<Code> samples = codes[c];
        samples.resize(kSamplesPerBlock - 1, kZeroStep[nibble_type[c]]);
        for (const Code& code : samples) {
            for (const auto& [value, width] : code)
                stream.put(value, width);
        }
    }
    EcgDecoder decoder;
    const auto blocks = decode_blocks(decoder, to_sectors(stream, sector_type, {0}), 1);
    return blocks.empty() ? DecodedBlock{} : blocks[0];
}

struct StepCase {
    uint32_t nibble_type;
    Code code;
    int step;
};

// Every branch of every fixed nibble type, escape ranges at both of their ends.
const std::vector<StepCase> kStepCases = {
    {0, {{0, 3}}, -2},
    {0, {{4, 3}}, 2},
    {0, {{5, 3}, {0, 3}}, -6},
    {0, {{5, 3}, {3, 3}}, -3},
    {0, {{5, 3}, {4, 3}}, 3},
    {0, {{5, 3}, {7, 3}}, 6},
    {0, {{6, 3}, {0, 5}}, 7},
    {0, {{6, 3}, {30, 5}}, 37},
    {0, {{6, 3}, {31, 5}, {0, 5}}, 38},
    {0, {{6, 3}, {31, 5}, {30, 5}}, 68},
    {0, {{6, 3}, {31, 5}, {31, 5}, {0, 5}}, 69},
    {0, {{6, 3}, {31, 5}, {31, 5}, {31, 5}}, 100},
    {0, {{7, 3}, {0, 5}}, -37},
    {0, {{7, 3}, {30, 5}}, -7},
    {0, {{7, 3}, {31, 5}, {0, 5}}, -68},
    {0, {{7, 3}, {31, 5}, {30, 5}}, -38},
    {0, {{7, 3}, {31, 5}, {31, 5}, {0, 5}}, -100},
    {0, {{7, 3}, {31, 5}, {31, 5}, {31, 5}}, -69},
    {1, {{0, 3}}, -3},
    {1, {{6, 3}}, 3},
    {1, {{7, 3}, {0, 3}}, -6},
    {1, {{7, 3}, {2, 3}}, -4},
    {1, {{7, 3}, {3, 3}}, 4},
    {1, {{7, 3}, {5, 3}}, 6},
    {1, {{7, 3}, {6, 3}, {0, 5}}, 7},
    {1, {{7, 3}, {6, 3}, {31, 5}, {31, 5}, {31, 5}}, 100},
    {1, {{7, 3}, {7, 3}, {30, 5}}, -7},
    {1, {{7, 3}, {7, 3}, {31, 5}, {0, 5}}, -68},
    {2, {{0, 4}}, -6},
    {2, {{12, 4}}, 6},
    {2, {{13, 4}, {0, 4}}, -14},
    {2, {{13, 4}, {7, 4}}, -7},
    {2, {{13, 4}, {8, 4}}, 7},
    {2, {{13, 4}, {15, 4}}, 14},
    {2, {{14, 4}, {0, 5}}, -30},
    {2, {{14, 4}, {15, 5}}, -15},
    {2, {{14, 4}, {16, 5}}, 15},
    {2, {{14, 4}, {31, 5}}, 30},
    {2, {{15, 4}, {0, 5}}, -45},
    {2, {{15, 4}, {14, 5}}, -31},
    {2, {{15, 4}, {15, 5}}, 31},
    {2, {{15, 4}, {29, 5}}, 45},
    {2, {{15, 4}, {30, 5}, {0, 4}}, -53},
    {2, {{15, 4}, {30, 5}, {7, 4}}, -46},
    {2, {{15, 4}, {30, 5}, {8, 4}}, 46},
    {2, {{15, 4}, {30, 5}, {15, 4}}, 53},
    {2, {{15, 4}, {31, 5}, {0, 5}}, -68},
    {2, {{15, 4}, {31, 5}, {14, 5}}, -54},
    {2, {{15, 4}, {31, 5}, {15, 5}}, 54},
    {2, {{15, 4}, {31, 5}, {29, 5}}, 68},
    {2, {{15, 4}, {31, 5}, {30, 5}, {0, 5}}, 69},
    {2, {{15, 4}, {31, 5}, {30, 5}, {31, 5}}, 100},
    {2, {{15, 4}, {31, 5}, {31, 5}, {0, 5}}, -100},
    {2, {{15, 4}, {31, 5}, {31, 5}, {31, 5}}, -69},
    {4, {{0, 4}}, -6},
    {4, {{12, 4}}, 6},
    {4, {{13, 4}, {0, 4}}, -14},
    {4, {{13, 4}, {15, 4}}, 14},
    {4, {{14, 4}, {0, 5}}, 15},
    {4, {{14, 4}, {30, 5}}, 45},
    {4, {{14, 4}, {31, 5}, {0, 4}}, 46},
    {4, {{14, 4}, {31, 5}, {15, 4}}, 61},
    {4, {{15, 4}, {0, 5}}, -45},
    {4, {{15, 4}, {30, 5}}, -15},
    {4, {{15, 4}, {31, 5}, {0, 4}}, -61},
    {4, {{15, 4}, {31, 5}, {15, 4}}, -46},
    {5, {{0, 4}}, -6},
    {5, {{12, 4}}, 6},
    {5, {{13, 4}, {7, 4}}, -7},
    {5, {{13, 4}, {8, 4}}, 7},
    {5, {{14, 4}, {0, 4}}, 15},
    {5, {{14, 4}, {14, 4}}, 29},
    {5, {{14, 4}, {15, 4}, {0, 4}}, 30},
    {5, {{14, 4}, {15, 4}, {15, 4}}, 45},
    {5, {{15, 4}, {0, 4}}, -29},
    {5, {{15, 4}, {14, 4}}, -15},
    {5, {{15, 4}, {15, 4}, {0, 4}}, -45},
    {5, {{15, 4}, {15, 4}, {15, 4}}, -30},
    {6, {{0, 4}}, -6},
    {6, {{12, 4}}, 6},
    {6, {{13, 4}, {0, 3}}, -10},
    {6, {{13, 4}, {3, 3}}, -7},
    {6, {{13, 4}, {4, 3}}, 7},
    {6, {{13, 4}, {7, 3}}, 10},
    {6, {{14, 4}, {0, 3}}, -14},
    {6, {{14, 4}, {3, 3}}, -11},
    {6, {{14, 4}, {4, 3}}, 11},
    {6, {{14, 4}, {7, 3}}, 14},
    {6, {{15, 4}, {0, 4}}, -21},
    {6, {{15, 4}, {6, 4}}, -15},
    {6, {{15, 4}, {7, 4}}, 15},
    {6, {{15, 4}, {13, 4}}, 21},
    {6, {{15, 4}, {14, 4}, {0, 3}}, 22},
    {6, {{15, 4}, {14, 4}, {7, 3}}, 29},
    {6, {{15, 4}, {15, 4}, {0, 3}}, -29},
    {6, {{15, 4}, {15, 4}, {7, 3}}, -22},
    {7, {{0, 4}}, -7},
    {7, {{14, 4}}, 7},
    {7, {{15, 4}, {0, 5}}, -23},
    {7, {{15, 4}, {15, 5}}, -8},
    {7, {{15, 4}, {16, 5}}, 8},
    {7, {{15, 4}, {31, 5}}, 23},
};

}  // namespace

TEST(SampleCodes, EveryCodeMovesTheLevelByItsStepTimesTheStepFactor) {
    for (const StepCase& c : kStepCases) {
        SCOPED_TRACE(testing::Message() << "nibble type " << c.nibble_type << ", step " << c.step);
        const DecodedBlock block = decode_block(0x21, {512}, {c.nibble_type}, {{c.code}});
        const int level = 512 + kStepFactor[c.nibble_type] * c.step;
        EXPECT_EQ(block.channels[0][0], sample(512));
        // The zero steps after the code only decode to this level if the code had its exact length.
        for (int i = 1; i < kSamplesPerBlock; ++i)
            ASSERT_EQ(block.channels[0][i], sample(level));
    }
}

TEST(SampleCodes, AdaptiveTypeChoosesItsCodingByThePreviousStepSize) {
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
}

TEST(SampleCodes, OutputsSaturateAt1And4095WhileTheLevelRunsOn) {
    const Code up = {{15, 4}, {31, 5}, {30, 5}, {31, 5}};
    const Code down = {{15, 4}, {31, 5}, {31, 5}, {0, 5}};
    const std::vector<Code> high = {up, down};            // 1023 -> 1323 -> 1023
    const std::vector<Code> low = {down, up, {{12, 4}}};  // 0 -> -300 -> 0 -> 18
    const DecodedBlock block = decode_block(0x22, {1023, 0}, {2, 2}, {high, low});
    const std::vector<uint16_t> expected_high = {4093, 4095, 4093};
    const std::vector<uint16_t> expected_low = {1, 1, 1, 73};
    for (size_t i = 0; i < expected_high.size(); ++i)
        EXPECT_EQ(block.channels[0][i], expected_high[i]);
    for (size_t i = 0; i < expected_low.size(); ++i)
        EXPECT_EQ(block.channels[1][i], expected_low[i]);
}
