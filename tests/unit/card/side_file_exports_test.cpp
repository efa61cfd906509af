#include <gtest/gtest.h>

#include <filesystem>

#include "card/card_folder.h"
#include "card/ccf_disk.h"

namespace {

// The output folder lives inside the card folder so that one test folder holds both.
std::string output_folder(const CardFolder& card) {
    const std::string out = card.file("out");
    std::filesystem::create_directory(out);
    return out;
}

}  // namespace

TEST(CopyPatientWav, CopiesOnlySpeechOfThisRecordingAndNeverLeavesAnOldCopy) {
    for (const uint16_t wav : {uint16_t{5}, uint16_t{2}}) {
        CardFolder card;
        card.counters(6, 5, wav).write({sealed_start_sector(5, 35)});
        const std::string out = output_folder(card);
        write_bytes(out + "/patient.wav", {1, 2, 3});
        CCFDisk disk;
        card.attach(disk);
        ASSERT_TRUE(disk.read_config());
        EXPECT_EQ(disk.speech_belongs(), wav == 5);
        EXPECT_EQ(disk.copy_patient_wav(out), wav == 5);
        if (wav == 5)
            EXPECT_EQ(read_bytes(out + "/patient.wav"), read_bytes(card.file("patient.wav")));
        else
            EXPECT_FALSE(std::filesystem::exists(out + "/patient.wav"));
    }
}

TEST(PatientDataExports, FollowTheBelongingRule) {
    const struct {
        uint16_t c, patient;
        bool belongs;
    } cases[] = {{6, 5, true}, {6, 6, true}, {7, 6, false}, {6, 4, false}};
    for (const auto& c : cases) {
        CardFolder card;
        store_field_text(card.record.event_text, "ABC", false);
        card.record.event_text[90] = 0x77;  // past the 80 bytes that are exported
        card.counters(c.c, c.patient, 2).write({sealed_start_sector(5, 35)});
        const std::string out = output_folder(card);
        write_bytes(out + "/cnavop.dat", {9});
        CCFDisk disk;
        card.attach(disk);
        ASSERT_TRUE(disk.read_config());
        EXPECT_EQ(disk.copy_cnav(out), c.belongs);
        EXPECT_EQ(disk.write_cnavop(out), c.belongs);
        EXPECT_EQ(std::filesystem::exists(out + "/cnav.dat"), c.belongs);
        if (!c.belongs) {
            EXPECT_FALSE(std::filesystem::exists(out + "/cnavop.dat"));
            continue;
        }
        std::vector<uint8_t> expected(80, 0);
        expected[0] = 'A', expected[1] = 'B', expected[2] = 'C';
        EXPECT_EQ(read_bytes(out + "/cnavop.dat"), expected);
    }
}

TEST(WriteEventList, PatientEventsCountFromThePreambleStart) {
    // 10:00:00 with 60 calibration seconds: the output starts at 09:59:00.
    const TimeField start = {0, 0, 10, 1, 1, 0};
    CardFolder card;
    card.counters(6, 5, 5).write(
        {sealed_start_sector(5, 35, start), event_sector({{3, {0, 2, 10, 1, 1, 0}},
                                                          {1, {0, 2, 10, 1, 1, 0}},
                                                          {2, {0, 3, 10, 1, 1, 0}},
                                                          {3, {5, 0, 10, 1, 1, 0}}})});
    const std::string out = output_folder(card);
    CCFDisk disk;
    card.attach(disk);
    ASSERT_TRUE(disk.read_config());
    ASSERT_TRUE(disk.write_event_list(out));
    EXPECT_EQ(read_file(out + "/event.dat"), "Version 1\r\n1 180\r\n1 65\r\n");

    disk.m_read_settings.calibration_seconds = 0;
    ASSERT_TRUE(disk.write_event_list(out));
    EXPECT_EQ(read_file(out + "/event.dat"), "Version 1\r\n1 120\r\n1 5\r\n");
}

TEST(WriteEventList, FormatsWithoutEventTableListNoEvents) {
    CardFolder card;
    card.counters(6, 5, 5).write(
        {sealed_start_sector(5, 1), event_sector({{3, {0, 2, 10, 1, 1, 0}}})});
    const std::string out = output_folder(card);
    CCFDisk disk;
    card.attach(disk);
    ASSERT_TRUE(disk.write_event_list(out));
    EXPECT_EQ(read_file(out + "/event.dat"), "Version 1\r\n");

    card.write_ecg({});
    EXPECT_FALSE(disk.write_event_list(out));
    EXPECT_FALSE(std::filesystem::exists(out + "/event.dat"));
}
