// The Linux program's console dialogs and progress line as a user at a terminal meets them: the
// dialog on standard error, answers one per line on standard input, the end of input as Exit, the
// exit codes, the card afterwards, and the progress line only where standard error is a terminal.
// The Windows program has real windows instead; these tests skip under Wine.
#include "harness.h"
#include "scratch_tmpfs.h"

namespace {

namespace fs = std::filesystem;

constexpr int kUnread = 114;

using Answers = std::vector<std::string>;

class ConsoleDialogs : public DriveTest {
  protected:
    void SetUp() override {
        if (under_wine()) GTEST_SKIP() << "the Windows program shows windows, not console dialogs";
    }
    int run(const std::string& arguments, const Answers& answers, EnvList extra = {}) {
        m_errors.clear();
        const EnvList drives = env();
        extra.insert(extra.end(), drives.begin(), drives.end());
        return run_kado_answering(arguments + " /dir=" + out(), answers, extra, {}, &m_errors);
    }
    // A recording in drive E: whose root is a tmpfs of the test's or a plain folder, where the
    // card has room left and counts as not conditioned.
    void read_card_in_e(const std::string& root, std::vector<std::string> options) {
        options.insert(options.begin(), {"--format=35", "--duration=1m"});
        ASSERT_TRUE(copy_card_into(root, options, false));
    }
    bool shown(const std::string& text) const { return m_errors.find(text) != std::string::npos; }

    std::string m_errors;
};

}  // namespace

TEST_F(ConsoleDialogs, InitialiseDialogTakesEditsAndButtonsUntilExitOrEndOfInput) {
    const std::string root = m_work / "card";
    const ScratchTmpfs card(root, 4 << 20);
    SKIP_UNLESS_MOUNTED(card);
    read_card_in_e(root, {"--state=read", "--patient-name=Ann Example"});
    write_file(out() + "/patsumm.dat", "Bea Newman\nNEW-42\n");
    const struct {
        const char* name;
        const char* arguments;
        std::vector<std::string> answers;
        int exit_code;
        const char* shown;      // on standard error
        const char* card_name;  // the record's patient name afterwards
    } cases[] = {
        {"mode 2, input ends", "/write=path", Answers{"name=Ann Other"}, 104,
         "Patient Name (name=TEXT): Bea Newman", "Ann Example"},
        {"mode 3, Exit", "/write=stand", {"x"}, 0, "i) Initialise Card", "Ann Example"},
        {"mode 3, no FIR choice offered", "/write=stand",
         Answers{"fir=on", "drive=Q", "default=none"}, 0, "Answer \"drive=Q\" not accepted",
         "Ann Example"},
        // Conditioning asked and agreed, then the report of success closes the dialog.
        {"mode 2, initialised", "/write=path", Answers{"name=Ann Other", "id=ID-9", "i", "y", ""},
         0, "The card has now been initialised.", "Ann Other"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(run(c.arguments, c.answers), c.exit_code);
        EXPECT_TRUE(shown(c.shown)) << m_errors;
        EXPECT_TRUE(shown("Pulsenote CF Interface Program 3.42\n")) << m_errors;
        EXPECT_EQ(record_text(read_file(root + "/config.dat")), c.card_name);
    }
    EXPECT_TRUE(shown("[i/x] "));
    EXPECT_FALSE(shown("Load FIR Filter"));
}

TEST_F(ConsoleDialogs, InitialiseDialogLocksThePatientAndOffersItsExtraButtonsOnRequest) {
    read_card_in_e(m_work / "card", {"--state=read"});
    write_file(out() + "/patsumm.dat", "Bea Newman\nNEW-42\n");
    // Mode 1 after the user agreed to choose the drive: the patient is not to be changed.
    m_drives.unmap('E');
    EXPECT_EQ(run("/write=cnav", {"y", "name=Eve", "x"}), 104);
    EXPECT_TRUE(shown("Answer \"name=Eve\" not accepted")) << m_errors;
    EXPECT_TRUE(shown("  Patient Name: Bea Newman\n")) << m_errors;

    m_drives.map('E', m_work / "card", "VNT_CFR");
    EXPECT_EQ(run("/write=stand /fir", {"fir=on", "s", "", "r"}, {{"KADO_EXTRA_BUTTONS", "1"}}), 0);
    EXPECT_TRUE(shown("Load FIR Filter (fir=on|off): on\n")) << m_errors;
    EXPECT_TRUE(shown("Unscrambled Sector Information")) << m_errors;
    EXPECT_TRUE(shown("[s/r/i/x] ")) << m_errors;
}

TEST_F(ConsoleDialogs, ReadDialogReadsTheCardInTheDriveUntilExitOrEndOfInput) {
    read_card_in_e(m_work / "card", {"--speech=belongs", "--patient-name=Ann Example"});
    // No card: the dialog opens all the same, and a button reports the missing card.
    m_drives.unmap('E');
    EXPECT_EQ(run("/readecg=stand", {"e", ""}), 0);
    EXPECT_TRUE(shown("Card not found.")) << m_errors;

    // The dialog leaves the exit code at the card's status: an unread recording.
    m_drives.map('E', m_work / "card", "VNT_CFR");
    EXPECT_EQ(run("/readpat=stand", {"p", "?"}), kUnread);
    EXPECT_TRUE(shown("  Patient Name: Ann Example\n")) << m_errors;
    EXPECT_TRUE(shown("Answer \"?\" not accepted")) << m_errors;
    EXPECT_TRUE(fs::exists(out() + "/patsumm.dat"));

    // The speech question declined: the archive read, its report, then the Play button offered.
    EXPECT_EQ(run("/readpat=stand", {"e", "n", "", "x"}), kUnread);
    EXPECT_TRUE(shown("Would you like to hear it?")) << m_errors;
    EXPECT_TRUE(shown("The ECG data has now been read.")) << m_errors;
    EXPECT_TRUE(shown("[s/p/e/x] ")) << m_errors;
    for (const char* file : {"rawecg1.dat", "other.dat", "patevent.dat", "patient.wav"})
        EXPECT_TRUE(fs::exists(out() + "/" + file)) << file;
    // Without a terminal nothing draws a progress line.
    EXPECT_FALSE(shown("\r")) << m_errors;
}

TEST_F(ConsoleDialogs, ProgressLinesAppearOnATerminal) {
    const std::string root = m_work / "card";
    // Beyond 65535 sectors to condition.
    const ScratchTmpfs card(root, 40 << 20);
    SKIP_UNLESS_MOUNTED(card);
    read_card_in_e(root, {});
    // What the terminal showed, read as the dialogs' text.
    EXPECT_EQ(run_kado_on_terminal("/readecg=stand /dir=" + out(), {"e", "", "x"}, env(), m_errors),
              kUnread);
    EXPECT_TRUE(shown("\rPlease wait while the ECG data is read [---")) << m_errors;

    // The recording now read, the card is conditioned afresh for the next one.
    EXPECT_EQ(
        run_kado_on_terminal("/write=stand /dir=" + out(), {"i", "y", "", "x"}, env(), m_errors),
        0);
    EXPECT_TRUE(shown("\rPlease wait while the CF disk is conditioned. [---")) << m_errors;
    EXPECT_TRUE(shown("] 50%")) << m_errors;
    EXPECT_TRUE(shown("The card has now been initialised.")) << m_errors;
}
