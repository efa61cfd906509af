#include <gtest/gtest.h>

#include <filesystem>

#include "card/card_drive.h"
#include "extract/test_card.h"
#include "io_fault_scope.h"
#include "support/file_utils.h"

namespace {

namespace fs = std::filesystem;

Sector data_sector(uint16_t recording_num) {
    return SectorBuilder(0x23, recording_num).byte(100, 0xEE).build();
}

// An unread recording 7 of `sectors` sectors followed by sectors of the earlier recording 6.
void write_recording_7(CardFolder& card, size_t sectors) {
    std::vector<Sector> ecg{start_sector(35, kStart_2013_05_14_10_15_20, 7)};
    ecg.resize(sectors, data_sector(7));
    ecg.resize(sectors + 50, data_sector(6));
    card.counters(7, 7, 2).write(ecg);
}

}  // namespace

// Only the leading run of the current recording is copied, across the copy's 1 MiB pieces;
// card and copy are then marked as read.
TEST(CopyAllFiles, CopiesTheCurrentRecordingAndMarksBothAsRead) {
    for (const size_t sectors : {100u, 2048u, 2100u}) {
        CardFolder card;
        write_recording_7(card, sectors);
        TestFolder out;
        write_file(out / "old.txt", "stale");
        ASSERT_TRUE(card.disk.copy_all_files(out.path()));
        std::vector<uint8_t> ecg = read_bytes(card.file("ecg.dat"));
        ecg.resize(sectors * 512);
        EXPECT_TRUE(read_bytes(out / "ecg.dat") == ecg) << sectors;
        EXPECT_EQ(read_bytes(out / "cnav.dat"), read_bytes(card.file("cnav.dat")));
        EXPECT_FALSE(fs::exists(out / "old.txt"));
        EXPECT_EQ(record_in(card.path()).recording_num, 8);
        EXPECT_EQ(record_in(out.path()).recording_num, 8);
    }
}

// A destination on the card would be emptied before the copy: refused, nothing changes.
TEST(CopyAllFiles, RefusesTheCardItselfAndFoldersInsideIt) {
    CardFolder card;
    write_recording_7(card, 100);
    fs::create_directory(card.file("inside"));
    std::vector<std::string> destinations = {card.path(), card.file("inside"),
                                             card.file("inside") + kPathSeparator + ".."};
#if !defined(_WIN32)
    TestFolder elsewhere;
    fs::create_directory_symlink(card.path(), elsewhere / "link");
    destinations.push_back(elsewhere / "link");
#endif
    for (const std::string& destination : destinations) {
        EXPECT_FALSE(card.disk.copy_all_files(destination)) << destination;
        EXPECT_EQ(fs::file_size(card.file("ecg.dat")), 150 * 512u);
        EXPECT_EQ(record_in(card.path()).recording_num, 7);
    }
}

// Whatever fails, no partial ecg.dat is left and nothing is marked as read.
TEST(CopyAllFiles, AFailedCopyLeavesNoPartialFileAndMarksNothing) {
    const Sector start = start_sector(35, kStart_2013_05_14_10_15_20, 7);
    const std::vector<std::pair<const char*, std::vector<Sector>>> cases = {
        {"write:4", {start}},  // the ecg.dat write after three file copies
        {"flush:5", {start}},
        {"any:0", {}},  // ecg.dat without a first sector
    };
    for (const auto& [fault, ecg] : cases) {
        CardFolder card;
        card.counters(7, 7, 2).write(ecg);
        TestFolder out;
        {
            const IoFaultScope scope(fault);
            EXPECT_FALSE(card.disk.copy_all_files(out.path())) << fault;
        }
        EXPECT_FALSE(fs::exists(out / "ecg.dat")) << fault;
        EXPECT_EQ(record_in(card.path()).recording_num, 7) << fault;
    }
}

#if !defined(_WIN32)
TEST(CopyAllFiles, IntoAFolderTooSmallFailsWithoutAPartialFile) {
    CardFolder card;
    write_recording_7(card, 1000);
    // Room for the three small files, not for the recording.
    const CardDrive small(128 << 10, "");
    SKIP_UNLESS_MOUNTED(small);
    EXPECT_FALSE(card.disk.copy_all_files(small.file("")));
    EXPECT_FALSE(fs::exists(small.file("ecg.dat")));
    EXPECT_EQ(record_in(card.path()).recording_num, 7);
}
#endif
