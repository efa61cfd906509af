#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "card/card_drive.h"
#include "card/card_folder.h"
#include "format/start_sector.h"

#if !defined(_WIN32)
namespace {

namespace fs = std::filesystem;

struct StatusCase {
    const char* name;
    std::function<void(const CardDrive&)> change;  // applied to a read card C 6, S 5
    RunMode mode;
    bool interactive_clean;
    bool label_required;
    std::vector<MessageAnswer> answers;
    int expected;
    std::vector<int> shown;
};

class CardStatus : public ::testing::TestWithParam<StatusCase> {};

void add_file(const CardDrive& drive, const char* name, size_t size) {
    write_bytes(drive.file(name), std::vector<uint8_t>(size, 1));
}

const auto kYes = MessageAnswer::kYes;
const auto kNo = MessageAnswer::kNo;

}  // namespace

TEST_P(CardStatus, ReportsWhatTheCardHolds) {
    const StatusCase& c = GetParam();
    const CardDrive drive;
    drive.write_card(record_with(6, 2, 2), {sealed_start_sector(5, 35)});
    if (c.change) c.change(drive);
    CCFDisk disk;
    disk.m_run_mode = c.mode;
    drive.attach(disk);
    const ScriptedMessages messages(c.answers);
    EXPECT_EQ(disk.card_status(c.interactive_clean, c.label_required), c.expected);
    EXPECT_EQ(messages.ids, c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CardStatus,
    ::testing::Values(
        StatusCase{"Read", {}, kModeReadEcgHide, false, true, {}, 0, {}},
        StatusCase{
            "Unread",
            [](auto& d) { d.write_card(record_with(5, 2, 2), {sealed_start_sector(5, 35)}); },
            kModeReadEcgHide,
            false,
            false,
            {},
            114,
            {}},
        StatusCase{
            "RecordBehindRecording",
            [](auto& d) { d.write_card(record_with(4, 2, 2), {sealed_start_sector(5, 35)}); },
            kModeReadEcgHide,
            false,
            false,
            {},
            103,
            {}},
        StatusCase{
            "PatientDataNewerThanRecording",
            [](auto& d) { d.write_card(record_with(7, 6, 2), {sealed_start_sector(5, 35)}); },
            kModeReadEcgHide,
            false,
            false,
            {},
            109,
            {}},
        StatusCase{"OtherLabelWithFileSet",
                   [](auto& d) { write_file(d.file(".windows-label"), "NO NAME"); },
                   kModeReadEcgHide,
                   false,
                   false,
                   {},
                   0,
                   {}},
        StatusCase{"OtherLabelRequired",
                   [](auto& d) { write_file(d.file(".windows-label"), "NO NAME"); },
                   kModeReadEcgHide,
                   false,
                   true,
                   {},
                   102,
                   {}},
        StatusCase{"NoLabelNoEcg",
                   [](auto& d) {
                       fs::remove(d.file(".windows-label"));
                       fs::remove(d.file("ecg.dat"));
                   },
                   kModeReadEcgHide,
                   false,
                   false,
                   {},
                   102,
                   {}},
        StatusCase{"FolderWithoutCleaning",
                   [](auto& d) { fs::create_directory(d.file("DCIM")); },
                   kModeReadEcgHide,
                   false,
                   true,
                   {},
                   103,
                   {}},
        StatusCase{"FolderCleaningDeclined",
                   [](auto& d) { fs::create_directory(d.file("DCIM")); },
                   kModeReadEcgHide,
                   true,
                   true,
                   {kNo},
                   113,
                   {143}},
        // Cleaning deletes the card's own files too: what is left is no card.
        StatusCase{"FolderCleaned",
                   [](auto& d) { fs::create_directory(d.file("DCIM")); },
                   kModeReadEcgHide,
                   true,
                   true,
                   {kYes},
                   103,
                   {143, 144}},
        StatusCase{"SystemVolumeInformationCleanedSilently",
                   [](auto& d) { fs::create_directories(d.file("System Volume Information/x")); },
                   kModeReadEcgHide,
                   true,
                   true,
                   {},
                   0,
                   {}},
        StatusCase{"SystemVolumeInformationValid",
                   [](auto& d) { fs::create_directory(d.file("SYSTEM VOLUME INFORMATION")); },
                   kModeReadEcgHide,
                   false,
                   true,
                   {},
                   0,
                   {}},
        StatusCase{"ReadOnlyFileAsked",
                   [](auto& d) {
                       add_file(d, "bootex.log", 3);
                       fs::permissions(d.file("bootex.log"), fs::perms::owner_read);
                   },
                   kModeReadEcgHide,
                   true,
                   true,
                   {kNo},
                   113,
                   {143}},
        StatusCase{"ExtraFile",
                   [](auto& d) { add_file(d, "notes.txt", 3); },
                   kModeReadEcgHide,
                   false,
                   true,
                   {},
                   103,
                   {}},
        StatusCase{"EmptyExtraFileAndBootLog",
                   [](auto& d) {
                       add_file(d, "notes.txt", 0);
                       add_file(d, "BOOTLOG.TXT", 9);
                   },
                   kModeReadEcgHide,
                   false,
                   true,
                   {},
                   0,
                   {}},
        StatusCase{"SymlinkInRoot",
                   [](auto& d) { fs::create_symlink("/etc/hostname", d.file("BOOTEX.LOG")); },
                   kModeReadEcgHide,
                   false,
                   true,
                   {},
                   103,
                   {}},
        StatusCase{"ShortCnavReading",
                   [](auto& d) { add_file(d, "cnav.dat", 1024); },
                   kModeReadEcgHide,
                   false,
                   true,
                   {},
                   0,
                   {}},
        StatusCase{"ShortCnavPatientFile",
                   [](auto& d) { add_file(d, "cnav.dat", 1024); },
                   kModeSetPat,
                   false,
                   true,
                   {},
                   0,
                   {}},
        StatusCase{"ShortCnavPatientChange",
                   [](auto& d) { add_file(d, "cnav.dat", 1024); },
                   kModeChangePat,
                   false,
                   true,
                   {},
                   103,
                   {}},
        StatusCase{"ShortWav",
                   [](auto& d) { add_file(d, "patient.wav", 65535); },
                   kModeReadEcgHide,
                   false,
                   true,
                   {},
                   103,
                   {}},
        StatusCase{"FreeSpaceWhenPreparing", {}, kModeWriteCnav, false, true, {}, 103, {}},
        StatusCase{"FreeSpaceBesideCappedEcg",
                   [](auto& d) { fs::resize_file(d.file("ecg.dat"), 2147483136); },
                   kModeWriteCnav,
                   false,
                   true,
                   {},
                   0,
                   {}},
        StatusCase{"NoStartSector",
                   [](auto& d) { write_bytes(d.file("ecg.dat"), {}); },
                   kModeReadEcgHide,
                   false,
                   true,
                   {},
                   108,
                   {}}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

// A start sector whose checksum is bad is rebuilt from the first data sector when the user
// agrees, with the time set to the start of 2000.
TEST(RecoverStartSector, RebuildsTheStartSectorOnlyWhenTheUserAgrees) {
    for (const MessageAnswer answer : {kNo, kYes}) {
        const CardDrive drive;
        Sector damaged = sealed_start_sector(5, 35);
        damaged[511] ^= 0x01;
        Sector data{};
        data[0] = 2;
        data[1] = 5;
        seal_sector(Crc16Table{}, data, ChecksumVariant::a);
        drive.write_card(record_with(6, 2, 2), {damaged, data});
        const std::vector<uint8_t> before = read_bytes(drive.file("ecg.dat"));
        CCFDisk disk;
        disk.m_recovery_pause_ms = 0;
        drive.attach(disk);
        const ScriptedMessages messages({answer});
        EXPECT_EQ(disk.card_status(false, true), answer == kYes ? 0 : 108);
        EXPECT_EQ(messages.ids, std::vector<int>{154});
        std::vector<uint8_t> ecg = read_bytes(drive.file("ecg.dat"));
        EXPECT_TRUE(std::equal(before.begin() + 512, before.end(), ecg.begin() + 512));
        if (answer == kNo) {
            EXPECT_EQ(ecg, before);
            continue;
        }
        Sector rebuilt;
        std::copy_n(ecg.begin(), 512, rebuilt.begin());
        ASSERT_TRUE(check_sector(Crc16Table{}, rebuilt, ChecksumVariant::a));
        const StartSector fields = decode_start_sector(rebuilt);
        EXPECT_EQ(fields.recording_num, 5);
        EXPECT_EQ(fields.recording_format, 2);
        EXPECT_EQ(fields.recording_length, 255);
        EXPECT_EQ(fields.recording_start_time, (TimeField{0, 0, 0, 1, 1, 0}));
    }
}
#endif
