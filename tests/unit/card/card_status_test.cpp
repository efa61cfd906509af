#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "card/card_drive.h"
#include "format/start_sector.h"

#if !defined(_WIN32)
namespace {

namespace fs = std::filesystem;

// A change to the card's root before its status is asked: a file made or cut to `size` bytes,
// or one of these.
enum : int64_t { kFolder = -1, kGone = -2, kLink = -3, kReadOnly = -4 };

using RootChange = std::pair<const char*, int64_t>;

void change_root(const CardDrive& drive, const std::vector<RootChange>& changes) {
    for (const auto& [name, size] : changes) {
        const std::string path = drive.file(name);
        if (size == kFolder) {
            fs::create_directories(path);
        } else if (size == kGone) {
            fs::remove(path);
        } else if (size == kLink) {  // a valid name, but a link
            fs::create_symlink("/etc/hostname", path);
        } else {
            std::ofstream(path, std::ios::app).put(1);
            fs::resize_file(path, size == kReadOnly ? 3 : size);
            if (size == kReadOnly) fs::permissions(path, fs::perms::owner_read);
        }
    }
}

constexpr auto kYes = MessageAnswer::kYes;
constexpr auto kNo = MessageAnswer::kNo;
constexpr RunMode kRead = kModeReadEcgHide;

// A card whose record holds C and patient_data_num and whose start sector holds recording 5.
struct StatusCase {
    const char* name;
    uint16_t c;
    uint16_t patient_data_num;
    std::vector<RootChange> changes;
    RunMode mode;
    bool clean;  // interactive_clean
    bool label;  // label_required
    MessageAnswer answer;
    int expected;
    std::vector<int> shown;
};

class CardStatus : public ::testing::TestWithParam<StatusCase> {};

}  // namespace

TEST_P(CardStatus, ReportsWhatTheCardHolds) {
    const StatusCase& c = GetParam();
    CardDrive drive;
    drive.write_card(c.c, c.patient_data_num, {start_sector(35, kStart_2013_05_14_10_15_20, 5)});
    change_root(drive, c.changes);
    drive.disk.m_run_mode = c.mode;
    const ScriptedMessages messages({c.answer});
    EXPECT_EQ(drive.disk.card_status(c.clean, c.label), c.expected);
    EXPECT_EQ(messages.ids, c.shown);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, CardStatus, ::testing::Values(
    StatusCase{"Read", 6, 2, {}, kRead, false, true, kNo, 0, {}},
    StatusCase{"Unread", 5, 2, {}, kRead, false, true, kNo, 114, {}},
    StatusCase{"RecordBehindRecording", 4, 2, {}, kRead, false, true, kNo, 103, {}},
    StatusCase{"PatientDataNewer", 7, 6, {}, kRead, false, true, kNo, 109, {}},
    StatusCase{"OtherLabelWithFileSet", 6, 2, {{".windows-label", 3}}, kRead, false, false, kNo, 0, {}},
    StatusCase{"OtherLabelRequired", 6, 2, {{".windows-label", 3}}, kRead, false, true, kNo, 102, {}},
    StatusCase{"NoLabelNoEcg", 6, 2, {{".windows-label", kGone}, {"ecg.dat", kGone}}, kRead, false, false, kNo, 102, {}},
    StatusCase{"FolderWithoutCleaning", 6, 2, {{"DCIM", kFolder}}, kRead, false, true, kNo, 103, {}},
    StatusCase{"FolderCleaningDeclined", 6, 2, {{"DCIM", kFolder}}, kRead, true, true, kNo, 113, {143}},
    // Cleaning deletes the card's own files too: what is left is no card.
    StatusCase{"FolderCleaned", 6, 2, {{"DCIM", kFolder}}, kRead, true, true, kYes, 103, {143, 144}},
    StatusCase{"SystemFolderCleanedSilently", 6, 2, {{"System Volume Information/x", kFolder}}, kRead, true, true, kNo, 0, {}},
    StatusCase{"SystemFolderValid", 6, 2, {{"System Volume Information/x", kFolder}}, kRead, false, true, kNo, 0, {}},
    StatusCase{"ReadOnlyFileAsked", 6, 2, {{"bootex.log", kReadOnly}}, kRead, true, true, kNo, 113, {143}},
    StatusCase{"ExtraFile", 6, 2, {{"notes.txt", 3}}, kRead, false, true, kNo, 103, {}},
    StatusCase{"EmptyFileAndBootLog", 6, 2, {{"notes.txt", 0}, {"BOOTLOG.TXT", 9}}, kRead, false, true, kNo, 0, {}},
    StatusCase{"LinkInRoot", 6, 2, {{"BOOTEX.LOG", kLink}}, kRead, false, true, kNo, 103, {}},
    StatusCase{"ShortCnavReading", 6, 2, {{"cnav.dat", 1024}}, kRead, false, true, kNo, 0, {}},
    StatusCase{"ShortCnavPatientFile", 6, 2, {{"cnav.dat", 1024}}, kModeSetPat, false, true, kNo, 0, {}},
    StatusCase{"ShortCnavPatientChange", 6, 2, {{"cnav.dat", 1024}}, kModeChangePat, false, true, kNo, 103, {}},
    StatusCase{"ShortWav", 6, 2, {{"patient.wav", 65535}}, kRead, false, true, kNo, 103, {}},
    StatusCase{"FreeSpaceWhenPreparing", 6, 2, {}, kModeWriteCnav, false, true, kNo, 103, {}},
    StatusCase{"FreeSpaceBesideCappedEcg", 6, 2, {{"ecg.dat", 2147483136}}, kModeWriteCnav, false, true, kNo, 0, {}},
    StatusCase{"NoStartSector", 6, 2, {{"ecg.dat", 0}}, kRead, false, true, kNo, 108, {}}),
    [](const auto& param_info) { return std::string(param_info.param.name); });
// clang-format on

// A start sector whose checksum is bad is rebuilt from the first data sector when the user
// agrees, with the time set to the start of 2000; the data sectors are never changed.
TEST(RecoverStartSector, RebuildsTheStartSectorOnlyWhenTheUserAgrees) {
    for (const MessageAnswer answer : {kNo, kYes}) {
        CardDrive drive;
        Sector damaged = start_sector(35, kStart_2013_05_14_10_15_20, 5);
        damaged[511] ^= 0x01;
        const Sector data = sealed(SectorBuilder(2, 5).build());
        drive.write_card(6, 2, {damaged, data});
        drive.disk.m_recovery_pause_ms = 0;
        const ScriptedMessages messages({answer});
        EXPECT_EQ(drive.disk.card_status(false, true), answer == kYes ? 0 : 108);
        EXPECT_EQ(messages.steps, " min 154 notify");  // the analysis window steps aside
        const std::vector<uint8_t> ecg = read_bytes(drive.file("ecg.dat"));
        EXPECT_TRUE(std::equal(data.begin(), data.end(), ecg.begin() + 512));
        Sector first;
        std::copy_n(ecg.begin(), 512, first.begin());
        if (answer == kNo) {
            EXPECT_EQ(first, damaged);
            continue;
        }
        ASSERT_TRUE(check_sector(Crc16Table{}, first, ChecksumVariant::a));
        const StartSector fields = decode_start_sector(first);
        EXPECT_EQ(fields.recording_num, 5);
        EXPECT_EQ(fields.recording_format, 2);
        EXPECT_EQ(fields.recording_length, 255);
        EXPECT_EQ(fields.recording_start_time, (TimeField{0, 0, 0, 1, 1, 0}));
    }
}
#endif
