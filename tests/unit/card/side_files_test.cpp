#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "card/ccf_disk.h"
#include "card/side_files.h"
#include "extract/test_card.h"
#include "test_folder.h"

namespace {

TEST(EmptySideFiles, WavIsSixtyFourKilobytesOfSilenceBehindTheFixedHeader) {
    TestFolder folder;
    ASSERT_TRUE(write_empty_wav(folder.path()));
    const std::vector<uint8_t> bytes = read_bytes(folder.file("patient.wav"));
    ASSERT_EQ(bytes.size(), 65536u);
    // RIFF size 65528, fmt 18: PCM mono 8000 Hz 8 bits, fact 65477, data 65477.
    const std::vector<uint8_t> header = {
        'R', 'I',  'F',  'F', 0xF8, 0xFF, 0,   0,   'W', 'A',  'V',  'E', 'f', 'm',  't',
        ' ', 18,   0,    0,   0,    1,    0,   1,   0,   0x40, 0x1F, 0,   0,   0x40, 0x1F,
        0,   0,    1,    0,   8,    0,    0,   0,   'f', 'a',  'c',  't', 4,   0,    0,
        0,   0xC5, 0xFF, 0,   0,    'd',  'a', 't', 'a', 0xC5, 0xFF, 0,   0};
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 58), header);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 58, bytes.end()),
              std::vector<uint8_t>(65478, 0));
}

// The output folder lives inside the card folder so that one test folder holds both.
std::string output_folder(const CardFolder& card) {
    const std::string out = card / "out";
    std::filesystem::create_directory(out);
    return out;
}

}  // namespace

// A read whose output folder is the card folder: the exports find the card's own files as their
// targets and must leave them, whether or not they belong to the recording.
TEST(SideFileExports, IntoTheCardFolderItselfKeepTheCardsFiles) {
    for (const uint16_t belonging : {kTestRecording, uint16_t{2}}) {
        CardFolder card;
        card.counters(kTestRecording, belonging, belonging).write({start_sector(35)});
        const std::vector<uint8_t> wav = read_bytes(card / "patient.wav");
        const std::vector<uint8_t> cnav = read_bytes(card / "cnav.dat");
        ASSERT_TRUE(card.disk.read_config());
        EXPECT_EQ(card.disk.copy_patient_wav(card.path()), belonging == kTestRecording);
        EXPECT_EQ(card.disk.copy_cnav(card.path()), belonging == kTestRecording);
        EXPECT_EQ(read_bytes(card / "patient.wav"), wav) << belonging;
        EXPECT_EQ(read_bytes(card / "cnav.dat"), cnav) << belonging;
    }
}

TEST(PatientDataExports, FollowTheBelongingRule) {
    const struct {
        uint16_t c, patient;
        bool belongs;
    } cases[] = {{8, 7, true}, {8, 8, true}, {9, 8, false}, {8, 6, false}};
    for (const auto& c : cases) {
        CardFolder card;
        store_field_text(card.record.event_text, "ABC", false);
        card.record.event_text[90] = 0x77;  // past the 80 bytes that are exported
        card.counters(c.c, c.patient, 2).write({start_sector(35)});
        const std::string out = output_folder(card);
        write_bytes(out + "/cnavop.dat", {9});
        ASSERT_TRUE(card.disk.read_config());
        EXPECT_EQ(card.disk.copy_cnav(out), c.belongs);
        EXPECT_EQ(card.disk.write_cnavop(out), c.belongs);
        EXPECT_EQ(std::filesystem::exists(out + "/cnav.dat"), c.belongs);
        std::vector<uint8_t> expected(80, 0);
        expected[0] = 'A', expected[1] = 'B', expected[2] = 'C';
        if (c.belongs)
            EXPECT_EQ(read_bytes(out + "/cnavop.dat"), expected);
        else
            EXPECT_FALSE(std::filesystem::exists(out + "/cnavop.dat"));
    }
}

TEST(WriteEventList, FormatsWithoutEventTableListNoEvents) {
    CardFolder card;
    card.write({start_sector(1), event_sector({{3, {0, 2, 10, 1, 1, 0}}})});
    const std::string out = output_folder(card);
    ASSERT_TRUE(card.disk.write_event_list(out));
    EXPECT_EQ(read_file(out + "/event.dat"), "Version 1\r\n");

    card.write_ecg({});
    EXPECT_FALSE(card.disk.write_event_list(out));
    EXPECT_FALSE(std::filesystem::exists(out + "/event.dat"));
}
