// The Initialise dialog's logic without a window: which drives it offers, the FIR file, and the
// choice between several cards before a card is initialised.
#include "ui/init_dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "card/card_drive.h"
#include "card/ccf_disk.h"
#include "test_folder.h"

TEST(InitDialogFir, LinesKeepTheirLow8BitsAndMissingLinesRepeatTheLast) {
    TestFolder out;
    CCFDisk disk;
    CKadoInitDlg dialog(disk, out.path());
    EXPECT_EQ(dialog.load_fir_file(), -1);
    EXPECT_EQ(dialog.fir_elements()[0], 0);
    write_file(out / "fir.dat", "300\n-1\n7\r\n99999999999\n");
    ASSERT_EQ(dialog.load_fir_file(), 0);
    FirElements expected{44, 255, 7};
    std::fill(expected.begin() + 3, expected.end(), 255);
    EXPECT_EQ(dialog.fir_elements(), expected);
}

#if !defined(_WIN32)
TEST(InitDialogDrives, OffersCardSizedDrivesAndTheDefaultOnly) {
    for (const uint64_t bytes : {uint64_t{419430400}, uint64_t{419430400 + 4096}}) {
        CardDrive drive(bytes);
        SKIP_UNLESS_MOUNTED(drive);
        const DefaultDrive none('?');
        CKadoInitDlg dialog(drive.disk, drive.file(""));
        EXPECT_EQ(dialog.is_candidate_drive('E'), bytes == 419430400) << bytes;
        EXPECT_FALSE(dialog.is_candidate_drive('C'));
        const DefaultDrive c('C');
        EXPECT_TRUE(dialog.is_candidate_drive('C'));
    }
}

TEST(InitDialogDrives, NeverOffersANetworkDriveUnlessItIsTheDefault) {
    CardDrive drive(1 << 20);
    SKIP_UNLESS_MOUNTED(drive);
    const DefaultDrive none('?');
    CKadoInitDlg dialog(drive.disk, drive.file(""));
    dialog.fill_drive_letters('E');
    EXPECT_EQ(dialog.drive_letters(), std::vector<std::string>{"E"});
    // The same drive, as the mount table would show a network share.
    std::string root = drive.file("");
    root.pop_back();
    drive.use_mount_table("srv:/cards " + root + " nfs4 rw 0 0\n");
    dialog.fill_drive_letters('E');
    EXPECT_TRUE(dialog.drive_letters().empty());
    const DefaultDrive e('E');
    dialog.fill_drive_letters('E');
    EXPECT_EQ(dialog.drive_letters(), std::vector<std::string>{"E"});
}

// With two cards present the user confirms the drive shown, and OK initialises that card
// (CardDriveModes.InitialiseExitCodesLeaveTheCardAlone cancels it).
TEST(InitDialogTwoCards, OkInitialisesTheDriveShown) {
    CardDrive drive(1 << 20, "");
    SKIP_UNLESS_MOUNTED(drive);
    const DefaultDrive none('?');
    CCFDisk& disk = drive.disk;
    disk.m_run_mode = kModeWriteCnav;
    {
        const ScriptedMessages yes({MessageAnswer::kYes});
        ASSERT_TRUE(disk.condition_card("", "", false, {}, "", false));
    }
    CKadoInitDlg dialog(disk, drive.file(""));
    dialog.set_card_drive("E:>2");
    dialog.set_patient_name("Ann");
    const ScriptedMessages ok({MessageAnswer::kOk});
    dialog.set_automatic(false);
    EXPECT_TRUE(dialog.initialise_from_dialog(false));
    EXPECT_EQ(ok.steps, " 152 min");  // after success the analysis window is minimised only
    EXPECT_EQ(ok.texts.at(0).rfind("Drive Letter E selected.", 0), 0u);
    ASSERT_TRUE(disk.read_config());
    EXPECT_EQ(disk.m_config_dat.recording_num, 4);
}

TEST(InitDialogTwoCards, WithoutADriveNothingIsInitialised) {
    CardDrive drive;
    const DefaultDrive none('?');
    CKadoInitDlg dialog(drive.disk, drive.file(""));
    dialog.set_automatic(false);
    dialog.set_card_drive("?");
    dialog.open();
    const ScriptedMessages messages;
    EXPECT_FALSE(dialog.initialise_from_dialog(true));
    EXPECT_EQ(messages.ids, std::vector<int>{132});
}
#endif
