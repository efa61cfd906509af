#include "extract/output_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_folder.h"

namespace {

struct RepeatCase {
    const char* name;
    size_t lead;  // bytes put before the words, an odd count leaves the buffer at an odd offset
    int64_t words;
};

class RepeatedWords : public ::testing::TestWithParam<RepeatCase> {};

// The words land whole and in order wherever the buffer's boundary falls among them.
TEST_P(RepeatedWords, FollowTheBytesBeforeThem) {
    TestFolder folder;
    OutputFile file;
    ASSERT_TRUE(file.create(folder / "out.dat"));
    const std::vector<uint8_t> lead(GetParam().lead, 0x5A);
    file.put_bytes(lead);
    file.put_repeated_u16(0x1234, GetParam().words);
    file.put_u16(0xABCD);
    ASSERT_TRUE(file.close());

    std::vector<uint8_t> expected = lead;
    for (int64_t i = 0; i < GetParam().words; ++i)
        expected.insert(expected.end(), {0x34, 0x12});
    expected.insert(expected.end(), {0xCD, 0xAB});
    EXPECT_EQ(read_bytes(folder / "out.dat"), expected);
}

INSTANTIATE_TEST_SUITE_P(AcrossTheBuffer, RepeatedWords,
                         ::testing::Values(RepeatCase{"None", 0, 0},
                                           RepeatCase{"EvenStart", 0, 100000},
                                           RepeatCase{"OddStart", 1, 100000},
                                           RepeatCase{"OddStartFillingTheBuffer", 65535, 3},
                                           RepeatCase{"TwentyMinutes", 7, 153600}),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(RepeatedWordsOnAClosedFile, WriteNothingAndFail) {
    OutputFile file;
    file.put_repeated_u16(0, 10);
    EXPECT_TRUE(file.failed());
}

}  // namespace
