// The Initialise dialog of kado.exe as a clinician uses it (modes 1 to 5), driven under Wine.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness.h"
#include "output_files.h"
#include "scratch_tmpfs.h"
#include "window_peer.h"
#include "window_run.h"

namespace {

const std::string kWindow = "window: Pulsenote CF Interface Program 3.42\n";

class InitDialogWindow : public DriveTest {
  protected:
    // The profile lives in the prefix's registry: each test starts without a default drive.
    void SetUp() override { clear_default_drive(); }
    std::string dir() const { return " /dir=" + host_path(out()); }
    void write_summary() {
        write_file(out() + "/patsumm.dat", platform_text("Bea Newman\nNEW-42\n"));
    }
};

// The Default Drive Letter list as the driver reports it, the selected item marked.
std::string default_drives_with(char selected) {
    std::string items = " None A B C D E F G H I J K L M N O P Q R S T U V W X Y Z";
    const size_t at = selected == '?' ? 1 : items.find(std::string(" ") + selected + " ") + 1;
    return "items 1023:" + items.insert(at, "*") + "\n";
}

}  // namespace

TEST_F(InitDialogWindow, EachModeShowsItsControlsAndExitGivesItsCode) {
    const struct {
        const char* arguments;
        EnvList env;
        const char* fir;
        const char* service_buttons;
        int exit_code;
    } cases[] = {
        {"/write=path", {}, "hidden", "hidden", 104},
        {"/write=scan", {}, "hidden", "hidden", 104},
        {"/write=westbury", {}, "hidden", "hidden", 104},
        {"/write=stand /fir", {}, "visible", "hidden", 0},
        {"/write=stand", {{"KADO_EXTRA_BUTTONS", "1"}}, "hidden", "visible", 0},
    };
    write_summary();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        EnvList env = m_drives.env();
        env.insert(env.end(), c.env.begin(), c.env.end());
        WindowRun run(c.arguments + dir(), env);
        EXPECT_EQ(
            run.drive({"window 1000", "state 1008", "state 1024", "state 1025", "click 1", "gone"}),
            kWindow + "state 1008: " + c.fir + " enabled\n" + "state 1024: " + c.service_buttons +
                " enabled\n" + "state 1025: " + c.service_buttons + " enabled\n");
        EXPECT_EQ(run.exit_code(), c.exit_code);
    }
}

// Escape leaves the dialog open; Enter presses Initialise Card, which wants a drive.
TEST_F(InitDialogWindow, EscapeDoesNothingAndEnterInitialises) {
    WindowRun run("/write=stand" + dir(), m_drives.env());
    EXPECT_EQ(run.drive({"window 1000", "key escape", "key enter", "box", "answer ok", "click 1",
                         "gone"}),
              kWindow + "box: You must enter the drive letter for the card.\n");
    EXPECT_EQ(run.exit_code(), 0);
}

TEST_F(InitDialogWindow, ModeOneLocksThePatientOnceTheUserChoseTheDrive) {
    write_summary();
    WindowRun run("/write=cnav" + dir(), m_drives.env());
    EXPECT_EQ(run.drive({"box", "answer yes", "window 1000", "text 1000", "state 1000",
                         "state 1001", "click 1", "gone"}),
              "box: Could not find a valid CF card to configure.\\nWould you like to select the "
              "drive for the CF card ?\n" +
                  kWindow +
                  "text 1000: Bea Newman\n"
                  "state 1000: visible enabled read-only\n"
                  "state 1001: visible enabled read-only\n");
    EXPECT_EQ(run.exit_code(), 104);
}

// Drives of a recorder card's size are offered, larger ones not, and C only when it is the
// default drive; the default drive chosen is there again at the next start.
TEST_F(InitDialogWindow, DriveListOffersCardSizedDrivesAndTheDefaultDrive) {
    const ScratchTmpfs card_sized(m_work / "e", 400ull << 20);
    const ScratchTmpfs larger(m_work / "f", 512'000'000);
    SKIP_UNLESS_MOUNTED(card_sized);
    m_drives.map('E', m_work / "e", "SPARE");
    m_drives.map('F', m_work / "f", "SPARE");
    {
        WindowRun run("/write=stand" + dir(), m_drives.env());
        EXPECT_EQ(
            run.drive({"window 1000", "items 1022", "items 1023", "select 1023 3", "items 1022",
                       "select 1023 0", "items 1022", "select 1023 5", "click 1", "gone"}),
            kWindow + "items 1022: *E\n" + default_drives_with('?') +
                "items 1022: *C E\nitems 1022: *E\n");
        EXPECT_EQ(run.exit_code(), 0);
    }
    WindowRun again("/write=stand" + dir(), m_drives.env());
    EXPECT_EQ(again.drive({"window 1000", "items 1023", "click 1", "gone"}),
              kWindow + default_drives_with('E'));
    EXPECT_EQ(again.exit_code(), 0);
}

TEST_F(InitDialogWindow, TwoCardsAreWarnedOfAndCancelLeavesTheCard) {
    ASSERT_TRUE(make_card(m_work / "e", "", {"--duration=2m"}));
    ASSERT_TRUE(make_card(m_work / "f", "", {"--duration=2m"}));
    m_drives.map('E', m_work / "e", "VNT_CFR");
    m_drives.map('F', m_work / "f", "VNT_CFR");
    const std::string before = read_file(m_work / "e/config.dat");
    WindowRun run("/write=stand" + dir(), m_drives.env());
    EXPECT_EQ(run.drive({"window 1000", "click 1004", "box", "answer cancel", "box", "answer ok",
                         "click 1", "gone"}),
              kWindow +
                  "box: Drive Letter E selected.\\nWarning - more than one Pulsenote CF found.\\n"
                  "Please check selected drive letter is the intended CF card.\n"
                  "box: There was an error while the card was being initialised or conditioned.\\n"
                  "The operation could not be completed.\n");
    EXPECT_EQ(run.exit_code(), 0);
    EXPECT_EQ(read_file(m_work / "e/config.dat"), before);
}

// A card that conditioning has filled takes the next patient at once: the dialog reports it and
// closes the program.
TEST_F(InitDialogWindow, InitialisingTheCardReportsSuccessAndEndsTheProgram) {
    const std::string root = m_work / "small";
    const ScratchTmpfs small(root, 4 << 20);
    SKIP_UNLESS_MOUNTED(small);
    ASSERT_TRUE(copy_card_into(root, {"--duration=1m", "--state=read"}, true));
    write_summary();
    // The analysis application is moved aside for the report and, unlike for a read's box, not
    // told afterwards.
    const EnvList drives = m_drives.env();  // first: mapping the drives restarts the prefix
    const WindowPeer peer(m_work / "peer.txt", {"--leave-boxes"});
    WindowRun run("/write=path" + dir(), drives);
    EXPECT_EQ(run.drive({"window 1000", "text 1000", "items 1022", "click 1004", "box", "answer ok",
                         "gone"}),
              kWindow +
                  "text 1000: Bea Newman\n"
                  "items 1022: *E\n"
                  "box: The card has now been initialised.\n");
    EXPECT_EQ(run.exit_code(), 0);
    std::vector<std::string> window_steps = peer.steps();
    std::erase(window_steps, "box");  // the driver answers it, often before the peer looks
    EXPECT_EQ(window_steps, (std::vector<std::string>{"minimise"}));
    EXPECT_EQ(record_text(read_file(root + "/config.dat")), "Bea Newman");
}
