#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/file_utils.h"
#include "test_folder.h"

#if defined(_WIN32)
#include "support/win32/code_page_text.h"
#endif

namespace {

// Each row: a path, its folder with the separator, its folder and its file name.
TEST(PathSplitting, CutsAtTheLastSeparatorOnly) {
    const char* const cases[][4] = {
        {"C:\\ecg.dat", "C:\\", "C:", "ecg.dat"},
        {"ecg.dat", "", "ecg.dat", "ecg.dat"},
        // A separator at position 0 is no folder to cut back to.
        {"\\ecg.dat", "\\", "\\ecg.dat", "ecg.dat"},
        {"E:\\card\\sub\\x", "E:\\card\\sub\\", "E:\\card\\sub", "x"},
        {"E:\\card\\", "E:\\card\\", "E:\\card", ""},
        {"", "", "", ""},
    };
    for (const auto& c : cases) {
        const std::string path = with_separators(c[0]);
        EXPECT_EQ(folder_with_slash(path), with_separators(c[1])) << c[0];
        EXPECT_EQ(folder_of(path), with_separators(c[2])) << c[0];
        EXPECT_EQ(file_name_of(path), with_separators(c[3])) << c[0];
    }
}

#if defined(_WIN32)
// In code page 932 (Japanese) the character 0x95 0x5C ends in the backslash's byte value.
TEST(PathText, DoubleByteTrailByteIsNoSeparator) {
    const std::string text = "E:\\\x95\x5C\\x";
    constexpr unsigned kShiftJis = 932;
    EXPECT_EQ(find_separator_in_code_page(text, 0, kShiftJis), 2u);
    EXPECT_EQ(find_separator_in_code_page(text, 3, kShiftJis), 5u);
    EXPECT_EQ(find_separator_in_code_page("\x95\x5C", 0, kShiftJis), std::string::npos);
    // A single-byte code page takes the same byte for a separator.
    EXPECT_EQ(find_separator_in_code_page(text, 3, 1252), 4u);
}
#endif

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
