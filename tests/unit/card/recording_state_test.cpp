#include <gtest/gtest.h>

#include <filesystem>

#include "card/ccf_disk.h"
#include "extract/test_card.h"
#include "support/file_utils.h"

namespace {

struct FolderStatusCase {
    const char* name;
    uint16_t c;
    uint16_t s;
    size_t cnav_size;
    RunMode mode;
    int expected;
};

class FolderStatus : public ::testing::TestWithParam<FolderStatusCase> {};

}  // namespace

TEST_P(FolderStatus, ReportsTheCardStateOfTheCopy) {
    const FolderStatusCase& c = GetParam();
    CardFolder card;
    card.counters(c.c, 2, 2).write({start_sector(35, kStart_2013_05_14_10_15_20, c.s)},
                                   c.cnav_size);
    card.disk.m_run_mode = c.mode;
    EXPECT_EQ(card.disk.folder_status(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FolderStatus,
    ::testing::Values(FolderStatusCase{"Unread", 5, 5, 8192, kModeReadEcgHide, 114},
                      FolderStatusCase{"Read", 6, 5, 8192, kModeReadEcgHide, 0},
                      FolderStatusCase{"RecordBehindRecording", 4, 5, 8192, kModeReadEcgHide, 109},
                      FolderStatusCase{"ShortCnavInReadMode", 6, 5, 1024, kModeReadPatCnav, 0},
                      FolderStatusCase{"ShortCnavInSetPatMode", 6, 5, 1024, kModeSetPat, 103},
                      FolderStatusCase{"OddCnav", 6, 5, 4096, kModeReadEcgHide, 103}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

// A missing cnav.dat, a loader file and a missing ecg.dat: ReadPatientModes.IncompleteCopy...
TEST(FolderStatus, RefusesAShortSpeechFileAndAnEmptyEcg) {
    CardFolder card;
    card.write({start_sector(35)}, 8192, 65535);
    EXPECT_EQ(card.disk.folder_status(), 103);
    card.write({});
    EXPECT_EQ(card.disk.folder_status(), 108);
}

TEST(GetEcgIsValid, RecordingOlderThanPatientDataOrSpeechIsNoValidEcg) {
    for (const auto& [patient, wav] : {std::pair{8, 2}, std::pair{2, 8}}) {
        CardFolder card;
        card.counters(8, static_cast<uint16_t>(patient), static_cast<uint16_t>(wav))
            .write({start_sector(35)});
        EXPECT_EQ(card.disk.get_ecg_is_valid(), 109);
    }
    CardFolder empty;
    empty.write({});
    EXPECT_EQ(empty.disk.get_ecg_is_valid(), 108);
}

TEST(MarkAsRead, FailsWithoutAGoodStartSectorOrAtTheReconditioningNumber) {
    Sector damaged = start_sector(35);
    damaged[511] ^= 0x01;
    for (const auto& [c, sectors] :
         {std::pair{kTestRecording, std::vector<Sector>{damaged}},
          std::pair{kTestRecording, std::vector<Sector>{}},
          std::pair{uint16_t{65000},
                    std::vector<Sector>{start_sector(35, kStart_2013_05_14_10_15_20, 65000)}}}) {
        CardFolder card;
        card.counters(c, 2, 2).write(sectors);
        EXPECT_EQ(card.disk.mark_as_read(false), 2);
        EXPECT_EQ(card.disk.mark_as_read(true), 2);
        ASSERT_TRUE(card.disk.read_config());
        EXPECT_EQ(card.disk.m_config_dat.recording_num, c);
    }
}

TEST(RecordingHours, RoundsTheLatestSeekPointUpAndAddsAnHour) {
    const TimeField start = {0, 0, 10, 14, 5, 13};
    const struct {
        std::vector<TestEventRecord> records;
        int expected;
    } cases[] = {
        {{{2, {0, 0, 12, 14, 5, 13}}}, 3},                               // exactly 2 h
        {{{2, {1, 0, 10, 14, 5, 13}}}, 2},                               // 1 s
        {{{2, {0, 30, 13, 14, 5, 13}}, {2, {0, 0, 11, 14, 5, 13}}}, 5},  // latest, not last
        {{{3, {0, 0, 15, 14, 5, 13}}, {1, {0, 0, 15, 14, 5, 13}}}, -1},  // no type 2 or 4
        {{{2, {0, 0, 11, 14, 5, 13}}, {2, {0, 0, 25, 14, 5, 13}}}, 2},   // invalid hour 25
    };
    for (const auto& c : cases) {
        CardFolder card;
        card.write({start_sector(35, start), event_sector(c.records)});
        EXPECT_EQ(card.disk.recording_hours(time_from_sector_bytes(start)), c.expected);
    }
}
