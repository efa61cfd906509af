#include <gtest/gtest.h>

#include <filesystem>

#include "card/card_drive.h"
#include "io_fault_scope.h"
#include "support/file_utils.h"

#if !defined(_WIN32)
namespace {

namespace fs = std::filesystem;

constexpr uint64_t kPage = 4096;
// What conditioning writes besides ecg.dat, in tmpfs pages: the label, config.dat, cnav.dat and
// patient.wav.
constexpr uint64_t kSideFilePages = 1 + 1 + 2 + 16;

class ProgressLog : public ConditionProgress {
  public:
    void open(int32_t sectors) override { events.push_back(-sectors); }
    void set_position(int32_t sector) override { events.push_back(sector); }
    void close() override { events.push_back(0); }
    void pump_messages() override {}
    std::vector<int64_t> events;
};

}  // namespace

TEST(ConditionCard, AnsweredYesTheCardIsErasedLabelledAndFilledExactly) {
    CardDrive drive(4 << 20, "");
    SKIP_UNLESS_MOUNTED(drive);
    write_file(drive.file("photo.jpg"), "jpeg");
    fs::create_directories(drive.file("System Volume Information/sub"));
    fs::create_symlink("/etc/hostname", drive.file("link"));
    CCFDisk& disk = drive.disk;
    const ScriptedMessages messages({MessageAnswer::kYes});
    ASSERT_TRUE(disk.initialise_card("Ann", "", false, {}, "", false));
    EXPECT_EQ(messages.texts, std::vector<std::string>{"This 4MB card is not conditioned.\nDo "
                                                       "you want to condition the card?"});
    EXPECT_EQ(volume_label('E'), "VNT_CFR");
    EXPECT_EQ(file_names(drive.file("")),
              (std::vector<std::string>{".windows-label", "cnav.dat", "config.dat", "ecg.dat",
                                        "patient.wav"}));
    std::vector<uint8_t> expected((4 << 20) - kSideFilePages * kPage, 0);
    expected[0] = 0x81;
    expected[1] = 0x01;
    EXPECT_TRUE(read_bytes(drive.file("ecg.dat")) == expected);
    EXPECT_EQ(free_space("E:"), 0);
    disk.m_run_mode = kModeWriteCnav;
    EXPECT_EQ(disk.card_status(false, true), 109);  // conditioned, nothing recorded yet
    EXPECT_EQ(disk.m_config_dat.recording_num, 3);
    EXPECT_EQ(disk.m_config_dat.patient_data_num, 3);
}

TEST(ConditionCard, CardSizeDecidesTheQuestionAndNoLeavesTheCardAlone) {
    for (const auto& [bytes, text] : {std::pair{512ull << 20, "This 512MB card is not"},
                                      std::pair{2048ull << 20, "This 2048MB card is not"}}) {
        CardDrive drive(bytes, "");
        SKIP_UNLESS_MOUNTED(drive);
        write_file(drive.file("photo.jpg"), "jpeg");
        const ScriptedMessages messages;
        EXPECT_FALSE(drive.disk.initialise_card("Ann", "", false, {}, "", false));
        ASSERT_EQ(messages.texts.size(), 1u);
        EXPECT_EQ(messages.texts[0].rfind(text, 0), 0u) << messages.texts[0];
        EXPECT_EQ(messages.ids[0], bytes > (1ull << 30) ? 158 : 129);
        EXPECT_EQ(file_names(drive.file("")), std::vector<std::string>{"photo.jpg"});
        drive.disk.m_run_mode = kModeReadEcgHide;  // no question where nobody may be asked
        EXPECT_FALSE(drive.disk.initialise_card("Ann", "", false, {}, "", false));
        EXPECT_EQ(messages.ids.size(), 1u);
    }
}

// Preallocation flushes and reports at every step of a four-hundredth, fails on any error
// except a full card after the first sector, and needs one whole free sector.
TEST(PreallocateEcg, ReportsAtTheMarksAndFailsOnEveryFaultingStep) {
    CardDrive drive(kPage * 1000, "");
    SKIP_UNLESS_MOUNTED(drive);
    CCFDisk& disk = drive.disk;
    ProgressLog progress;
    disk.m_condition_progress = &progress;
    ASSERT_TRUE(disk.preallocate_ecg(true));
    const int64_t sectors = 1000 * 8;
    std::vector<int64_t> expected{-sectors};
    for (int64_t mark = sectors / 400; mark < sectors; mark += sectors / 400)
        expected.push_back(mark);
    expected.push_back(0);
    EXPECT_EQ(progress.events, expected);
    EXPECT_EQ(fs::file_size(drive.file("ecg.dat")), sectors * 512u);

    for (const char* fault :
         {"create:1", "write:1", "write:2", "write:30", "flush:1", "flush:401"}) {
        fs::remove(drive.file("ecg.dat"));
        const IoFaultScope scope(fault);
        EXPECT_FALSE(disk.preallocate_ecg(false)) << fault;
    }
    fs::remove(drive.file("ecg.dat"));
    write_bytes(drive.file("filler"), std::vector<uint8_t>(kPage * 1000 - 1, 1));
    EXPECT_FALSE(disk.preallocate_ecg(false));  // not a sector left
}

// A start sector at the re-conditioning number makes marking as read condition the card: a
// drive is conditioned afresh (0), one with a file that cannot be deleted is not (2), and a
// folder copy is never touched (2).
TEST(MarkAsRead, AtTheReconditioningNumberConditionsOnlyADriveThatAllowsIt) {
    for (const bool read_only_file : {false, true}) {
        CardDrive drive(1 << 20);
        SKIP_UNLESS_MOUNTED(drive);
        drive.write_card(65000, 2, {start_sector(35, kStart_2013_05_14_10_15_20, 65000)});
        if (read_only_file) {
            write_file(drive.file("bootex.log"), "log");
            fs::permissions(drive.file("bootex.log"), fs::perms::owner_read);
        }
        EXPECT_EQ(drive.disk.mark_as_read(true), read_only_file ? 2 : 0);
        ASSERT_TRUE(drive.disk.read_config());
        EXPECT_EQ(drive.disk.m_config_dat.recording_num, read_only_file ? 65000 : 3);
    }
    CardFolder copy;
    copy.counters(65000, 2, 2).write({start_sector(35, kStart_2013_05_14_10_15_20, 65000)});
    EXPECT_EQ(copy.disk.mark_as_read(true), 2);
    EXPECT_EQ(fs::file_size(copy.file("ecg.dat")), 512u);
}

// Only the system's own folder is deleted; any other stops the deletion.
TEST(DeleteAllFiles, StopsAtAFolder) {
    CardDrive drive(0, "");
    fs::create_directory(drive.file("DCIM"));
    EXPECT_FALSE(CCFDisk().delete_all_files("E:", true));
    EXPECT_TRUE(fs::exists(drive.file("DCIM")));
}
#endif
