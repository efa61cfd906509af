#include "extract/output_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_folder.h"

namespace {

// The words land whole and in order wherever the buffer's boundary falls among them: after
// none, an even or an odd count of bytes, up to filling the buffer, and for twenty minutes. On a
// closed file they write nothing and fail.
TEST(RepeatedWords, FollowTheBytesBeforeThemAndFailOnAClosedFile) {
    const std::pair<size_t, int64_t> cases[] = {
        {0, 0}, {0, 100000}, {1, 100000}, {65535, 3}, {7, 153600}};
    for (const auto& [lead_bytes, words] : cases) {
        TestFolder folder;
        OutputFile file;
        ASSERT_TRUE(file.create(folder / "out.dat"));
        const std::vector<uint8_t> lead(lead_bytes, 0x5A);
        file.put_bytes(lead);
        file.put_repeated_u16(0x1234, words);
        file.put_u16(0xABCD);
        ASSERT_TRUE(file.close());
        std::vector<uint8_t> expected = lead;
        for (int64_t i = 0; i < words; ++i)
            expected.insert(expected.end(), {0x34, 0x12});
        expected.insert(expected.end(), {0xCD, 0xAB});
        EXPECT_EQ(read_bytes(folder / "out.dat"), expected) << lead_bytes << " " << words;
    }
    OutputFile closed;
    closed.put_repeated_u16(0, 10);
    EXPECT_TRUE(closed.failed());
}

}  // namespace
