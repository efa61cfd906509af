#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "card/side_files.h"
#include "test_folder.h"

TEST(EmptySideFiles, WavIsSixtyFourKilobytesOfSilenceBehindTheFixedHeader) {
    TestFolder folder;
    ASSERT_TRUE(write_empty_wav(folder.path()));
    // RIFF size 65528, fmt 18: PCM mono 8000 Hz 8 bits, fact 65477, data 65477; then silence.
    std::vector<uint8_t> expected = {
        'R', 'I',  'F',  'F', 0xF8, 0xFF, 0,   0,   'W', 'A',  'V',  'E', 'f', 'm',  't',
        ' ', 18,   0,    0,   0,    1,    0,   1,   0,   0x40, 0x1F, 0,   0,   0x40, 0x1F,
        0,   0,    1,    0,   8,    0,    0,   0,   'f', 'a',  'c',  't', 4,   0,    0,
        0,   0xC5, 0xFF, 0,   0,    'd',  'a', 't', 'a', 0xC5, 0xFF, 0,   0};
    expected.resize(65536, 0);
    EXPECT_EQ(read_bytes(folder.file("patient.wav")), expected);
}
