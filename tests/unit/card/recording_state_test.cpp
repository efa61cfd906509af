#include <gtest/gtest.h>

#include "card/ccf_disk.h"
#include "extract/test_card.h"
#include "support/file_utils.h"

TEST(FolderStatus, ReportsTheCardStateOfTheCopy) {
    const struct {
        const char* name;
        uint16_t c, s;
        size_t cnav_size, wav_size;
        RunMode mode;
        int expected;
    } cases[] = {
        {"unread", 5, 5, 8192, 65536, kModeReadEcgHide, 114},
        {"read", 6, 5, 8192, 65536, kModeReadEcgHide, 0},
        {"record behind recording", 4, 5, 8192, 65536, kModeReadEcgHide, 109},
        {"short cnav in read mode", 6, 5, 1024, 65536, kModeReadPatCnav, 0},
        {"short cnav in set-patient mode", 6, 5, 1024, 65536, kModeSetPat, 103},
        {"odd cnav", 6, 5, 4096, 65536, kModeReadEcgHide, 103},
        {"short speech file", 6, 5, 8192, 65535, kModeReadEcgHide, 103},
        {"empty ecg.dat", 6, 0, 8192, 65536, kModeReadEcgHide, 108},
    };
    for (const auto& c : cases) {
        CardFolder card;
        std::vector<Sector> sectors;
        if (c.s != 0) sectors.push_back(start_sector(35, kStart_2013_05_14_10_15_20, c.s));
        card.counters(c.c, 2, 2).write(sectors, c.cnav_size, c.wav_size);
        card.disk.m_run_mode = c.mode;
        EXPECT_EQ(card.disk.folder_status(), c.expected) << c.name;
    }
}

// The re-conditioning number of a folder copy: MarkAsRead.AtTheReconditioningNumber...
TEST(MarkAsRead, FailsWithoutAGoodStartSector) {
    Sector damaged = start_sector(35);
    damaged[511] ^= 0x01;
    for (const std::vector<Sector>& sectors : {std::vector<Sector>{damaged}, {}}) {
        CardFolder card;
        card.counters(kTestRecording, 2, 2).write(sectors);
        EXPECT_EQ(card.disk.mark_as_read(false), 2);
        EXPECT_EQ(card.disk.mark_as_read(true), 2);
        EXPECT_FALSE(card.marked_as_read());
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
        {{{2, {0, 0, 8, 14, 5, 13}}}, -1},                               // before the start
    };
    for (const auto& c : cases) {
        CardFolder card;
        card.write({start_sector(35, start), event_sector(c.records)});
        EXPECT_EQ(card.disk.recording_hours(time_from_sector_bytes(start)), c.expected);
    }
}
