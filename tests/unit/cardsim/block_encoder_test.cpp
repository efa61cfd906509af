#include "cardsim/lib/block_encoder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "cardsim/lib/pace_list_writer.h"
#include "cardsim/lib/step_codes.h"
#include "field_reader.h"

using namespace cardsim;

namespace {

BlockInput one_channel(int value) {
    BlockInput input;
    input.channels = 1;
    input.targets[0].fill(static_cast<uint16_t>(value));
    return input;
}

struct Field {
    uint32_t value;
    int width;
};

void expect_fields(const BitWriter& writer, const std::vector<Field>& fields) {
    FieldReader reader(writer.bytes());
    for (size_t i = 0; i < fields.size(); ++i) {
        EXPECT_EQ(reader.read(fields[i].width), fields[i].value) << "field " << i;
    }
}

}  // namespace

TEST(CompressedBlockEncoding, ConstantLevelIsTheLevelThenNibbleTypeThenZeroSteps) {
    BitWriter writer;
    BlockResult result;
    BlockEncoder encoder({NibblePolicy::Choice::fixed, 1});
    encoder.encode(one_channel(2049), writer, result);

    // Bytes worked out by hand: no pace pulses (0), level 512 as 10000|00000, type 001, then
    // the type-1 code 011 for a zero step.
    const std::vector<uint8_t> bytes = writer.bytes();
    ASSERT_GE(bytes.size(), 3u);
    EXPECT_EQ(bytes[0], 0x20);
    EXPECT_EQ(bytes[1], 0xC8);
    EXPECT_EQ(bytes[2], 0xB6);
    EXPECT_EQ(writer.bit_count(), 1u + 10 + 3 + 127 * 3);
    for (uint16_t sample : result.samples[0])
        ASSERT_EQ(sample, 2049);
}

TEST(CompressedBlockEncoding, LargestStepUsesTheTwiceEscapedLongForm) {
    BlockInput input = one_channel(401);  // level 100
    for (size_t i = 1; i < kBlockSamples; ++i)
        input.targets[0][i] = 1601;  // level 400
    BitWriter writer;
    BlockResult result;
    BlockEncoder({NibblePolicy::Choice::fixed, 0}).encode(input, writer, result);

    // Type 0: +300 levels is step 100: prefix 6, escapes 31 and 31, then 100 - 69 = 31.
    expect_fields(writer,
                  {{0, 1}, {3, 5}, {4, 5}, {0, 3}, {6, 3}, {31, 5}, {31, 5}, {31, 5}, {2, 3}});
    EXPECT_EQ(result.samples[0][0], 401);
    EXPECT_EQ(result.samples[0][1], 1601);
    EXPECT_EQ(result.samples[0][127], 1601);
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
    BlockInput input = one_channel(c.from_level * 4 + 1);
    for (size_t i = 1; i < kBlockSamples; ++i) {
        input.targets[0][i] = static_cast<uint16_t>(c.to_level * 4 + 1);
    }
    BitWriter writer;
    BlockResult result;
    BlockEncoder({NibblePolicy::Choice::fixed, c.nibble_type}).encode(input, writer, result);
    FieldReader reader(writer.bytes(), 1 + 10 + 3);
    for (const Field& field : c.code)
        EXPECT_EQ(reader.read(field.width), field.value);
    EXPECT_EQ(result.samples[0][1], c.to_level * 4 + 1);
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
    BlockInput input = one_channel(2001);  // level 500
    input.targets[0][1] = 2145;            // level 536
    for (size_t i = 2; i < kBlockSamples; ++i)
        input.targets[0][i] = 2157;  // level 539
    BitWriter writer;
    BlockResult result;
    BlockEncoder({NibblePolicy::Choice::fixed, 3}).encode(input, writer, result);
    FieldReader reader(writer.bytes(), 1 + 10);
    EXPECT_EQ(reader.read(3), 3u);
    EXPECT_EQ(reader.read(3), 7u);  // type 1 long form +12: 7, 6, 12 - 7
    EXPECT_EQ(reader.read(3), 6u);
    EXPECT_EQ(reader.read(5), 5u);
    EXPECT_EQ(reader.read(3), 3u);  // type 0, +1
    EXPECT_EQ(result.samples[0][2], 2157);
}

TEST(CompressedBlockEncoding, AbsentChannelIsAnnouncedBeforeThePaceListAndRebuiltAsZero) {
    BlockInput input;
    input.channels = 3;
    for (auto& channel : input.targets)
        channel.fill(2049);
    input.present = {true, false, true};
    BitWriter writer;
    BlockResult result;
    BlockEncoder({NibblePolicy::Choice::fixed, 1}).encode(input, writer, result);
    expect_fields(writer, {{1, 1}, {0, 3}, {2, 5}, {0, 7}, {0, 1}, {16, 5}, {0, 5}, {1, 3}});
    for (uint16_t sample : result.samples[1])
        ASSERT_EQ(sample, 0);
    EXPECT_EQ(result.samples[2][5], 2049);
}

TEST(CompressedBlockEncoding, AutomaticChoiceTracksANoisySignalWithinHalfAStep) {
    BlockInput input;
    input.channels = 1;
    uint32_t state = 12345;
    for (size_t i = 0; i < kBlockSamples; ++i) {
        state = state * 1103515245u + 12345u;
        input.targets[0][i] = static_cast<uint16_t>(1000 + (state >> 16) % 200);
    }
    BitWriter writer;
    BlockResult result;
    BlockEncoder({}).encode(input, writer, result);
    const int half_step = 2 * step_factor(result.nibble_types[0]);
    for (size_t i = 0; i < kBlockSamples; ++i) {
        EXPECT_LE(std::abs(result.samples[0][i] - input.targets[0][i]), half_step) << i;
    }
}
