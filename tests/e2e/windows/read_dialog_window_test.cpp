// The Read dialog of kado.exe as a clinician uses it (modes 8 and 11), driven under Wine.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "expected_output.h"
#include "harness.h"
#include "output_files.h"
#include "window_run.h"

namespace {

namespace fs = std::filesystem;

const std::string kWindow = "window: Pulsenote CF Interface Program 3.42\n";
constexpr const char* kHearSpeech =
    "box: The card has a speech recording associated with this ECG recording.\\n"
    "Would you like to hear it?\n";
constexpr const char* kReadError = "box: There was an error while the ECG was being read.\n";
constexpr const char* kNoCard =
    "box: Card not found.\\nCheck the card is correctly inserted into the reader.\n";

using ReadDialogWindow = DriveTest;

}  // namespace

TEST_F(ReadDialogWindow, WithoutACardTheButtonsReportItAndEscapeAndEnterDoWhatTheySay) {
    ASSERT_TRUE(make_card(card(), "", {"--duration=2m", "--state=read"}));
    WindowRun run("/readpat=stand /ipdir=" + host_path(card()) + " /dir=" + host_path(out()),
                  m_drives.env());
    EXPECT_EQ(run.drive({"window 1000", "state 1000", "state 1001", "state 1020", "set 1000 Kept",
                         "key escape", "click 1015", "box", "answer ok", "click 1009", "box",
                         "answer ok", "text 1000", "key enter", "gone"}),
              kWindow +
                  "state 1000: visible enabled read-only\nstate 1001: visible enabled read-only\n" +
                  "state 1020: hidden enabled\n" + kNoCard + kNoCard + "text 1000: Kept\n");
    EXPECT_EQ(run.exit_code(), 0);
}

// The card in the drive holds a speech recording: No to hearing it still offers the Play button,
// and the archive read writes the recording's files.
TEST_F(ReadDialogWindow, ReadEcgDataAsksAboutTheSpeechAndWritesTheArchive) {
    ASSERT_TRUE(make_card(
        card(), m_work / "intended",
        {"--duration=20m", "--state=read", "--speech=belongs", "--patient-name=Ada Lovelace"}));
    m_drives.map('E', card(), "VNT_CFR");
    WindowRun run("/readecg=stand /dir=" + host_path(out()), m_drives.env());
    EXPECT_EQ(run.drive({"window 1000", "click 1015", "text 1000", "click 1009", "box", "answer no",
                         "box", "answer ok", "state 1020", "click 1", "gone"}),
              kWindow + "text 1000: Ada Lovelace\n" + kHearSpeech +
                  "box: The ECG data has now been read.\nstate 1020: visible enabled\n");
    EXPECT_EQ(run.exit_code(), 0);
    expected::ReadSettings settings;
    settings.preamble_seconds = 80;  // the default calibration and the start time's 20 s
    EXPECT_EQ(first_difference(
                  read_words(out() + "/rawecg1.dat"),
                  expected::raw_channel(read_words(m_work / "intended/channel1.dat"), settings)),
              -1);
    EXPECT_EQ(read_bytes(out() + "/patient.wav"), read_bytes(card() + "/patient.wav"));
    EXPECT_TRUE(fs::exists(out() + "/patsumm.dat"));
}

// The progress window stands while the read runs: a write that fails part way through (the
// hundredth, well inside a 12-hour read) reports it while the window is still there.
TEST_F(ReadDialogWindow, TheProgressWindowStandsWhileTheReadRuns) {
    ASSERT_TRUE(make_card(card(), "", {"--duration=12h", "--state=read", "--speech=belongs"}));
    m_drives.map('E', card(), "VNT_CFR");
    EnvList env = m_drives.env();
    env.emplace_back("KADO_IO_FAULT", "write:100");
    WindowRun run("/readecg=stand /dir=" + host_path(out()), env);
    EXPECT_EQ(run.drive({"window 1000", "click 1009", "box", "answer no", "box", "window 1019",
                         "answer ok", "box", "answer ok", "window 1000", "click 1", "gone"}),
              kWindow + kHearSpeech + kReadError + "window: Pulsenote CF Interface Program\n" +
                  kReadError + kWindow);
    EXPECT_EQ(run.exit_code(), 0);
}
