#include "cardsim/lib/block_encoder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "cardsim/lib/pace_list_writer.h"
#include "cardsim/lib/step_codes.h"
#include "field_reader.h"

using namespace cardsim;

namespace {

struct Field {
    uint32_t value;
    int width;
};

struct Encoded {
    BitWriter writer;
    BlockResult result;
};

Encoded encode(const BlockInput& input, NibblePolicy nibbles) {
    Encoded e;
    BlockEncoder(nibbles).encode(input, e.writer, e.result);
    return e;
}

// One channel at `from` for the first sample, then at `to` (levels, sample = level * 4 + 1).
BlockInput one_step(int from, int to) {
    BlockInput input;
    input.channels = 1;
    input.targets[0].fill(static_cast<uint16_t>(to * 4 + 1));
    input.targets[0][0] = static_cast<uint16_t>(from * 4 + 1);
    return input;
}

// Reads the fields from bit `first` on and checks each.
void expect_fields(const BitWriter& writer, const std::vector<Field>& fields, size_t first = 0) {
    FieldReader reader(writer.bytes(), first);
    for (size_t i = 0; i < fields.size(); ++i)
        EXPECT_EQ(reader.read(fields[i].width), fields[i].value) << "field " << i;
}

constexpr NibblePolicy fixed(int type) {
    return {NibblePolicy::Choice::fixed, type};
}

}  // namespace

TEST(CompressedBlockEncoding, ConstantLevelIsTheLevelThenNibbleTypeThenZeroSteps) {
    const Encoded e = encode(one_step(512, 512), fixed(1));
    // Bytes worked out by hand: no pace pulses (0), level 512 as 10000|00000, type 001, then
    // the type-1 code 011 for a zero step.
    const std::vector<uint8_t> bytes = e.writer.bytes();
    ASSERT_GE(bytes.size(), 3u);
    EXPECT_EQ(bytes[0], 0x20);
    EXPECT_EQ(bytes[1], 0xC8);
    EXPECT_EQ(bytes[2], 0xB6);
    EXPECT_EQ(e.writer.bit_count(), 1u + 10 + 3 + 127 * 3);
    for (uint16_t sample : e.result.samples[0])
        ASSERT_EQ(sample, 2049);
}

TEST(CompressedBlockEncoding, LargestStepUsesTheTwiceEscapedLongForm) {
    const Encoded e = encode(one_step(100, 400), fixed(0));
    // Type 0: +300 levels is step 100: prefix 6, escapes 31 and 31, then 100 - 69 = 31.
    expect_fields(e.writer,
                  {{0, 1}, {3, 5}, {4, 5}, {0, 3}, {6, 3}, {31, 5}, {31, 5}, {31, 5}, {2, 3}});
    EXPECT_EQ(e.result.samples[0][0], 401);
    EXPECT_EQ(e.result.samples[0][1], 1601);
    EXPECT_EQ(e.result.samples[0][127], 1601);
}

struct StepCase {
    int nibble_type;
    int from_level;
    int to_level;
    std::vector<Field> code;
};

class SingleStep : public ::testing::TestWithParam<StepCase> {};

TEST_P(SingleStep, IsCodedWithTheFieldsOfItsForm) {
    const StepCase& c = GetParam();
    const Encoded e = encode(one_step(c.from_level, c.to_level), fixed(c.nibble_type));
    expect_fields(e.writer, c.code, 1 + 10 + 3);
    EXPECT_EQ(e.result.samples[0][1], c.to_level * 4 + 1);
}

// Each row is one step, written out by hand from the code forms of its nibble type.
INSTANTIATE_TEST_SUITE_P(
    CodeForms, SingleStep,
    ::testing::Values(StepCase{0, 500, 482, {{5, 3}, {0, 3}}},                            // -6
                      StepCase{0, 500, 389, {{7, 3}, {0, 5}}},                            // -37
                      StepCase{1, 500, 515, {{7, 3}, {4, 3}}},                            // +5
                      StepCase{1, 500, 710, {{7, 3}, {6, 3}, {31, 5}, {31, 5}, {1, 5}}},  // +70
                      StepCase{2, 500, 653, {{15, 4}, {30, 5}, {13, 4}}},                 // +51
                      StepCase{2, 500, 296, {{15, 4}, {31, 5}, {0, 5}}},                  // -68
                      StepCase{4, 500, 805, {{14, 4}, {31, 5}, {15, 4}}},                 // +61
                      StepCase{5, 500, 185, {{15, 4}, {15, 4}, {0, 4}}},                  // -45
                      StepCase{6, 500, 819, {{15, 4}, {14, 4}, {7, 3}}},                  // +29
                      StepCase{7, 500, 155, {{15, 4}, {0, 5}}}));                         // -23

TEST(CompressedBlockEncoding, AdaptiveTypeFollowsThePreviousStep) {
    // Steps +12 then +1 under type 3: the first uses type 1 (no step before), the second type 0
    // (previous magnitude 12).
    BlockInput input = one_step(500, 539);
    input.targets[0][1] = 2145;  // level 536
    const Encoded e = encode(input, fixed(3));
    // Type 3, then the type 1 long form of +12 (7, 6, 12 - 7), then type 0's +1.
    expect_fields(e.writer, {{3, 3}, {7, 3}, {6, 3}, {5, 5}, {3, 3}}, 1 + 10);
    EXPECT_EQ(e.result.samples[0][2], 2157);
}

TEST(CompressedBlockEncoding, AbsentChannelIsAnnouncedBeforeThePaceListAndRebuiltAsZero) {
    BlockInput input;
    input.channels = 3;
    for (auto& channel : input.targets)
        channel.fill(2049);
    input.present = {true, false, true};
    const Encoded e = encode(input, fixed(1));
    expect_fields(e.writer, {{1, 1}, {0, 3}, {2, 5}, {0, 7}, {0, 1}, {16, 5}, {0, 5}, {1, 3}});
    for (uint16_t sample : e.result.samples[1])
        ASSERT_EQ(sample, 0);
    EXPECT_EQ(e.result.samples[2][5], 2049);
}

TEST(CompressedBlockEncoding, AutomaticChoiceTracksANoisySignalWithinHalfAStep) {
    BlockInput input;
    input.channels = 1;
    uint32_t state = 12345;
    for (size_t i = 0; i < kBlockSamples; ++i) {
        state = state * 1103515245u + 12345u;
        input.targets[0][i] = static_cast<uint16_t>(1000 + (state >> 16) % 200);
    }
    const Encoded e = encode(input, {});
    const int half_step = 2 * step_factor(e.result.nibble_types[0]);
    for (size_t i = 0; i < kBlockSamples; ++i)
        EXPECT_LE(std::abs(e.result.samples[0][i] - input.targets[0][i]), half_step) << i;
}
