#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cardsim/lib/card_writer.h"
#include "extract/test_card.h"

namespace {

std::vector<uint8_t> write_ecg(cardsim::RecordingSpec description, const TestFolder& folder) {
    cardsim::RecordingResult result;
    std::string error;
    EXPECT_TRUE(cardsim::write_card(description, folder / "card", folder / "want", result, error))
        << error;
    return read_bytes(folder / "card/ecg.dat");
}

bool sector_checks(std::vector<uint8_t> ecg, size_t n) {
    std::span<uint8_t, 512> sector(&ecg[n * 512], 512);
    return check_sector(test_crc_table(), sector, sector_type_of(sector[0]).checksum);
}

cardsim::RecordingSpec delta_recording() {
    cardsim::RecordingSpec description;
    description.format = 5;
    description.segments = {{20, 0}};
    return description;
}

}  // namespace

TEST(SimulatedCardFaults, DamageLandsWhereItWasAskedFor) {
    TestFolder clean_folder;
    const std::vector<uint8_t> clean = write_ecg(delta_recording(), clean_folder);
    for (size_t n = 0; n < 21; ++n)
        ASSERT_TRUE(sector_checks(clean, n)) << n;

    TestFolder folder;
    cardsim::RecordingSpec description = delta_recording();
    description.flips = {{3, 8 * 200 + 5}};
    description.foreign_sectors = {7};
    description.ecg_size = 64 * 512;
    description.truncate_bytes = 40 * 512 + 100;
    const std::vector<uint8_t> ecg = write_ecg(description, folder);
    EXPECT_FALSE(sector_checks(ecg, 3));
    EXPECT_EQ(ecg[3 * 512 + 200] ^ clean[3 * 512 + 200], 1 << 5);
    EXPECT_EQ(get_u16le(&ecg[7 * 512 + 1]), description.recording_num - 1);
    EXPECT_TRUE(sector_checks(ecg, 7));
    EXPECT_EQ(ecg.size(), 40u * 512 + 100);
}

TEST(SimulatedCardFaults, RawSampleFilesAreScaledToTwelveBits) {
    TestFolder folder;
    std::vector<uint8_t> bytes(512);
    for (size_t i = 0; i < 256; ++i)
        put_u16le(&bytes[2 * i], static_cast<uint16_t>(-32768 + 256 * static_cast<int>(i)));
    write_bytes(folder / "lead.raw", bytes);
    cardsim::RecordingSpec description = delta_recording();
    description.segments = {{3, 0}};
    description.sample_files = {folder / "lead.raw"};
    write_ecg(description, folder);
    const std::vector<uint16_t> want = read_words(folder / "want/channel3.dat");
    ASSERT_EQ(want.size(), 3u * 128);
    EXPECT_EQ(want[0], 1);  // value 0 is written as 1
    EXPECT_EQ(want[10], 160);
    EXPECT_EQ(want[300], (300 % 256) * 16);  // the file repeats
}
