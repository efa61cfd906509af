#include <gtest/gtest.h>

#include <filesystem>

#include "card/card_drive.h"
#include "extract/test_card.h"
#include "format/start_sector.h"

#if !defined(_WIN32)
namespace {

namespace fs = std::filesystem;

// What is changed on a read card (record 6, start sector 5) before its status is asked.
enum class Root {
    card,
    other_label,
    no_label_no_ecg,
    folder,
    system_folder,
    read_only_log,
    extra_file,
    empty_file_and_bootlog,
    link,
    short_cnav,
    short_wav,
    capped_ecg,
    no_start_sector
};

void change_root(const CardDrive& d, Root root) {
    const auto add = [&](const char* name, size_t size) {
        write_bytes(d.file(name), std::vector<uint8_t>(size, 1));
    };
    switch (root) {
        case Root::card:
            break;
        case Root::other_label:
            write_file(d.file(".windows-label"), "NO NAME");
            break;
        case Root::no_label_no_ecg:
            fs::remove(d.file(".windows-label"));
            fs::remove(d.file("ecg.dat"));
            break;
        case Root::folder:
            fs::create_directory(d.file("DCIM"));
            break;
        case Root::system_folder:
            fs::create_directories(d.file("System Volume Information/x"));
            break;
        case Root::read_only_log:
            add("bootex.log", 3);
            fs::permissions(d.file("bootex.log"), fs::perms::owner_read);
            break;
        case Root::extra_file:
            add("notes.txt", 3);
            break;
        case Root::empty_file_and_bootlog:
            add("notes.txt", 0);
            add("BOOTLOG.TXT", 9);
            break;
        case Root::link:  // a valid name, but a link
            fs::create_symlink("/etc/hostname", d.file("BOOTEX.LOG"));
            break;
        case Root::short_cnav:
            add("cnav.dat", 1024);
            break;
        case Root::short_wav:
            add("patient.wav", 65535);
            break;
        case Root::capped_ecg:
            fs::resize_file(d.file("ecg.dat"), 2147483136);
            break;
        case Root::no_start_sector:
            write_bytes(d.file("ecg.dat"), {});
            break;
    }
}

constexpr auto kYes = MessageAnswer::kYes;
constexpr auto kNo = MessageAnswer::kNo;
constexpr RunMode kRead = kModeReadEcgHide;

struct StatusCase {
    const char* name;
    uint16_t c;
    uint16_t patient_data_num;
    Root root;
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
    const CardDrive drive;
    drive.write_card(record_with(c.c, c.patient_data_num, 2), {start_sector(35, kStart_2013_05_14_10_15_20, 5)});
    change_root(drive, c.root);
    CCFDisk disk;
    disk.m_run_mode = c.mode;
    drive.attach(disk);
    const ScriptedMessages messages({c.answer});
    EXPECT_EQ(disk.card_status(c.clean, c.label), c.expected);
    EXPECT_EQ(messages.ids, c.shown);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, CardStatus, ::testing::Values(
    StatusCase{"Read", 6, 2, Root::card, kRead, false, true, kNo, 0, {}},
    StatusCase{"Unread", 5, 2, Root::card, kRead, false, true, kNo, 114, {}},
    StatusCase{"RecordBehindRecording", 4, 2, Root::card, kRead, false, true, kNo, 103, {}},
    StatusCase{"PatientDataNewer", 7, 6, Root::card, kRead, false, true, kNo, 109, {}},
    StatusCase{"OtherLabelWithFileSet", 6, 2, Root::other_label, kRead, false, false, kNo, 0, {}},
    StatusCase{"OtherLabelRequired", 6, 2, Root::other_label, kRead, false, true, kNo, 102, {}},
    StatusCase{"NoLabelNoEcg", 6, 2, Root::no_label_no_ecg, kRead, false, false, kNo, 102, {}},
    StatusCase{"FolderWithoutCleaning", 6, 2, Root::folder, kRead, false, true, kNo, 103, {}},
    StatusCase{"FolderCleaningDeclined", 6, 2, Root::folder, kRead, true, true, kNo, 113, {143}},
    // Cleaning deletes the card's own files too: what is left is no card.
    StatusCase{"FolderCleaned", 6, 2, Root::folder, kRead, true, true, kYes, 103, {143, 144}},
    StatusCase{"SystemFolderCleanedSilently", 6, 2, Root::system_folder, kRead, true, true, kNo, 0, {}},
    StatusCase{"SystemFolderValid", 6, 2, Root::system_folder, kRead, false, true, kNo, 0, {}},
    StatusCase{"ReadOnlyFileAsked", 6, 2, Root::read_only_log, kRead, true, true, kNo, 113, {143}},
    StatusCase{"ExtraFile", 6, 2, Root::extra_file, kRead, false, true, kNo, 103, {}},
    StatusCase{"EmptyFileAndBootLog", 6, 2, Root::empty_file_and_bootlog, kRead, false, true, kNo, 0, {}},
    StatusCase{"LinkInRoot", 6, 2, Root::link, kRead, false, true, kNo, 103, {}},
    StatusCase{"ShortCnavReading", 6, 2, Root::short_cnav, kRead, false, true, kNo, 0, {}},
    StatusCase{"ShortCnavPatientFile", 6, 2, Root::short_cnav, kModeSetPat, false, true, kNo, 0, {}},
    StatusCase{"ShortCnavPatientChange", 6, 2, Root::short_cnav, kModeChangePat, false, true, kNo, 103, {}},
    StatusCase{"ShortWav", 6, 2, Root::short_wav, kRead, false, true, kNo, 103, {}},
    StatusCase{"FreeSpaceWhenPreparing", 6, 2, Root::card, kModeWriteCnav, false, true, kNo, 103, {}},
    StatusCase{"FreeSpaceBesideCappedEcg", 6, 2, Root::capped_ecg, kModeWriteCnav, false, true, kNo, 0, {}},
    StatusCase{"NoStartSector", 6, 2, Root::no_start_sector, kRead, false, true, kNo, 108, {}}),
    [](const auto& param_info) { return std::string(param_info.param.name); });
// clang-format on

// A start sector whose checksum is bad is rebuilt from the first data sector when the user
// agrees, with the time set to the start of 2000.
TEST(RecoverStartSector, RebuildsTheStartSectorOnlyWhenTheUserAgrees) {
    for (const MessageAnswer answer : {kNo, kYes}) {
        const CardDrive drive;
        Sector damaged = start_sector(35, kStart_2013_05_14_10_15_20, 5);
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
