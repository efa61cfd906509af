#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/file_utils.h"
#include "test_folder.h"

namespace {

uint32_t checksum_of(const std::string& bytes, long start = 0) {
    TestFolder dir;
    write_file(dir / "member", bytes);
    std::FILE* file = std::fopen((dir / "member").c_str(), "rb");
    std::fseek(file, start, SEEK_SET);
    const uint32_t sum = file_xor_checksum(file);
    std::fclose(file);
    return sum;
}

TEST(FileXorChecksum, XorsLittleEndianWordsFromTheFilePositionWithTheLastOnePadded) {
    EXPECT_EQ(checksum_of(std::string("\x01\x02\x03\x04\x05", 5)), 0x04030204u);
    EXPECT_EQ(checksum_of(""), 0u);
    EXPECT_EQ(checksum_of(std::string("\xFF\x01\x02\x03\x04\x05", 6), 1), 0x04030204u);
    // Every chunk of a large file counts.
    std::string large(0x20000 + 5, '\0');
    large[0] = '\x11';
    large[0x20000] = '\x22';
    large[0x20004] = '\x05';
    EXPECT_EQ(checksum_of(large), 0x36u);
}

#if !defined(_WIN32)
// The Windows C runtime reads nothing from a write-only stream without flagging an error, and
// offers no other portable way to provoke one.
TEST(FileXorChecksum, ReportsAReadErrorAsAllBitsSet) {
    TestFolder dir;
    std::FILE* file = std::fopen((dir / "write-only").c_str(), "wb");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file_xor_checksum(file), 0xFFFFFFFFu);
    std::fclose(file);
}
#endif

}  // namespace
