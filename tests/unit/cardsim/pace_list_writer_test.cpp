#include "cardsim/lib/pace_list_writer.h"

#include <gtest/gtest.h>

#include <vector>

#include "field_reader.h"

using namespace cardsim;

namespace {

struct Field {
    uint32_t value;
    int width;
};

struct PaceCase {
    const char* name;
    std::vector<uint8_t> pulses;
    std::vector<Field> fields;
    int kept;
};

std::vector<uint8_t> series(int first, int step, int count) {
    std::vector<uint8_t> out;
    for (int i = 0; i < count; ++i)
        out.push_back(static_cast<uint8_t>(first + i * step));
    return out;
}

class PaceListForm : public ::testing::TestWithParam<PaceCase> {};

TEST_P(PaceListForm, IsWrittenWithTheFieldsOfItsForm) {
    const PaceCase& c = GetParam();
    BitWriter writer;
    EXPECT_EQ(put_pace_list(c.pulses, writer), c.kept);
    FieldReader reader(writer.bytes());
    size_t width = 0;
    for (const Field& field : c.fields) {
        EXPECT_EQ(reader.read(field.width), field.value);
        width += static_cast<size_t>(field.width);
    }
    EXPECT_EQ(writer.bit_count(), width);
}

// Worked out by hand: flag, count, first position, then gaps minus one in the shrinking width
// (after a pulse at p the width is the narrowest holding 126 - p); a series is count - 8, span,
// then the first position in the width that holds 126 - span.
INSTANTIATE_TEST_SUITE_P(
    Forms, PaceListForm,
    ::testing::Values(
        PaceCase{"none", {}, {{0, 1}}, 0}, PaceCase{"single", {5}, {{1, 1}, {1, 3}, {5, 7}}, 1},
        PaceCase{"explicit_wide", {10, 50, 126}, {{1, 1}, {3, 3}, {10, 7}, {39, 7}, {75, 7}}, 3},
        PaceCase{
            "explicit_shrinking", {120, 122, 126}, {{1, 1}, {3, 3}, {120, 7}, {1, 3}, {3, 3}}, 3},
        PaceCase{"explicit_last_forced",
                 {100, 126, 127},
                 {{1, 1}, {3, 3}, {100, 7}, {25, 5}, {0, 0}},
                 3},
        PaceCase{"explicit_seven",
                 {0, 1, 2, 3, 4, 5, 6},
                 {{1, 1}, {7, 3}, {0, 7}, {0, 7}, {0, 7}, {0, 7}, {0, 7}, {0, 7}, {0, 7}},
                 7},
        PaceCase{"series_of_eight", series(0, 10, 8), {{1, 1}, {0, 3}, {0, 5}, {70, 7}, {0, 6}}, 8},
        PaceCase{"series_of_thirtynine",
                 series(3, 3, 39),
                 {{1, 1}, {0, 3}, {31, 5}, {114, 7}, {3, 4}},
                 39},
        PaceCase{"irregular_eight_keeps_seven",
                 {1, 2, 4, 8, 16, 32, 64, 100},
                 {{1, 1}, {7, 3}, {1, 7}, {0, 7}, {1, 7}, {3, 7}, {7, 7}, {15, 7}, {31, 7}},
                 7},
        // A series starting at 4 with span 123 needs 3 bits for its start, but the width rule
        // leaves 2: the stream cannot say it, so the first 7 pulses go as a list.
        PaceCase{"series_start_out_of_reach",
                 {4, 22, 39, 57, 74, 92, 109, 127},
                 {{1, 1}, {7, 3}, {4, 7}, {17, 7}, {16, 7}, {17, 7}, {16, 7}, {17, 6}, {16, 6}},
                 7}),
    [](const ::testing::TestParamInfo<PaceCase>& param) { return param.param.name; });

}  // namespace

TEST(PaceListWriting, AbsentChannelCommandNamesTheChannelWithAZeroSpan) {
    BitWriter writer;
    put_channel_absent(2, writer);
    FieldReader reader(writer.bytes());
    EXPECT_EQ(reader.read(1), 1u);
    EXPECT_EQ(reader.read(3), 0u);
    EXPECT_EQ(reader.read(5), 3u);  // 11 - 8: channel 3
    EXPECT_EQ(reader.read(7), 0u);
}
