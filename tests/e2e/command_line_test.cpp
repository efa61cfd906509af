// The command-line contract as the calling application sees it: exit codes of the built program.
// With no card in any drive, an accepted command line ends at the card search (102) or in a dialog
// that the end of input (or, under headless Wine, the missing display) leaves with Exit: 0 in the
// modes that keep their code; a refused one ends with 100.
#include "harness.h"

namespace {

constexpr int kNoCard = 102;
constexpr int kDialogLeft = 0;

constexpr auto accepted = [](int code) { return code == kNoCard || code == kDialogLeft; };
constexpr int kBadCommandLine = 100;
constexpr int kNoOutputFolder = 101;
constexpr int kNoInputFolder = 112;

class CommandLineContract : public ::testing::Test {
  protected:
    // Runs the program with the output folder prepended as /dir=.
    int run_with_dir(const std::string& arguments) {
        return run_kado("/dir=" + host_path(m_out.path()) + " " + arguments, trace_env());
    }
    EnvList trace_env() const {
        return {{"KADO_TRACE", host_path(m_trace.path() + "/trace.txt")},
                {"XDG_CONFIG_HOME", m_trace.path()}};
    }
    std::string trace_text() const { return read_file(m_trace.path() + "/trace.txt"); }

    TestFolder m_out;
    TestFolder m_trace;
};

}  // namespace

TEST_F(CommandLineContract, AcceptedCommandLinesReachTheModeAndTraceTheExitCode) {
    EXPECT_EQ(run_with_dir("/WRITE=Stand"), kDialogLeft);
    EXPECT_NE(trace_text().find("m_exit_code : 0\n"), std::string::npos);
    // No arguments at all: the initialise mode, with the temporary folder for output.
    EXPECT_EQ(run_kado("", trace_env()), kDialogLeft);
    for (const char* arguments :
         {"/write=standard", "/readpat=scan /skip24", "/readpat=scan /skip=24",
          "/readecg=hide /opformat=archive /duration=29", "/readecg=stand /opformat=mmf",
          "/write=stand /fir", "/procedure_id=1234567890123456 /write=stand",
          "/readpat=path /resolution=8",
          "/readecg=hide /opformat=mmf /resolution=12 /instance=X /basemmfname=Y"}) {
        EXPECT_PRED1(accepted, run_with_dir(arguments)) << arguments;
    }
}

TEST_F(CommandLineContract, RefusedCommandLinesEndWith100) {
    for (const char* arguments :
         {"hello", "/readecg=hide", "/readecg=hide /opformat=path /duration=29",
          "/readpat=path /fir", "/procedure_id=12345678901234567 /write=stand",
          "/write=stand /resolution=7", "/write=stand /resolution=13", "/readpat=path /cal=3601",
          "/wav /ipdir=" /* completed below */}) {
        std::string line = arguments;
        if (line == "/wav /ipdir=") line += host_path(m_out.path());
        EXPECT_EQ(run_with_dir(line), kBadCommandLine) << line;
    }
}

TEST_F(CommandLineContract, FolderChecksTheLastFailingCheckWins) {
    const std::string missing = host_path(m_out.path() + "/no/such/folder");
    // Output folder missing and not creatable (no parents are made).
    EXPECT_EQ(run_kado("/readpat=scan /dir=" + missing), kNoOutputFolder);
    EXPECT_EQ(run_kado("/readecg=hide /opformat=mmf"), kNoOutputFolder);
    // A refused command line without a usable output folder reports the folder.
    EXPECT_EQ(run_kado("hello"), kNoOutputFolder);
    EXPECT_EQ(run_kado("/readecg=hide /dir=" + missing), kNoOutputFolder);
    // A missing input folder outranks both.
    EXPECT_EQ(run_with_dir("/readpat=path /ipdir=" + missing), kNoInputFolder);
    EXPECT_EQ(run_kado("/readecg=hide /ipdir=" + missing + " /dir=" + missing), kNoInputFolder);
    // The speech-recording probe needs no output folder; without a card it answers 0.
    EXPECT_EQ(run_kado("/wav", trace_env()), 0);
}

TEST_F(CommandLineContract, OutputFolderIsCreatedOneLevelFromBothQuotingForms) {
    const std::string first = m_out.path() + "/My Data";
    EXPECT_PRED1(accepted, run_kado("/readpat=scan \"/dir=" + host_path(first) + "\""));
    EXPECT_TRUE(std::filesystem::is_directory(first));
    const std::string second = m_out.path() + "/Other Data";
    EXPECT_PRED1(accepted, run_kado("/readpat=scan /dir=\"" + host_path(second) + "\""));
    EXPECT_TRUE(std::filesystem::is_directory(second));
}

TEST_F(CommandLineContract, TokensLongerThan255CharactersAreTakenWhole) {
    const std::string long_value(400, 'x');
    EXPECT_PRED1(accepted, run_with_dir("/readecg=hide /opformat=mmf /instance=" + long_value));
    if (under_wine()) return;  // the ANSI file API refuses paths beyond 260 characters
    // Cutting this token anywhere would name an existing folder instead of creating "out".
    std::filesystem::create_directory(m_out.path() + "/x");
    std::string path = m_out.path();
    while (path.size() < 300)
        path += "/x/..";
    EXPECT_PRED1(accepted, run_kado("/readpat=scan /dir=" + path + "/out"));
    EXPECT_TRUE(std::filesystem::is_directory(m_out.path() + "/out"));
}

TEST_F(CommandLineContract, DefaultDriveIsWrittenBackAfterAFailingRun) {
    if (under_wine()) {
        const std::string wine = std::getenv("KADO_WINE");
        const std::string key = "HKCU\\Software\\Vantorel\\KADO\\Settings";
        run_program({wine, "reg", "delete", key, "/f"});
        EXPECT_EQ(run_kado("hello"), kNoOutputFolder);
        EXPECT_EQ(run_program({wine, "reg", "query", key, "/v", "Default Drive"}), 0);
        return;
    }
    EXPECT_EQ(run_kado("hello", trace_env()), kNoOutputFolder);
    EXPECT_EQ(read_file(m_trace.path() + "/kado/profile.ini"), "[Settings]\nDefault Drive=63\n");
    write_file(m_trace.path() + "/kado/profile.ini", "[Settings]\nDefault Drive=69\n");
    EXPECT_EQ(run_kado("/readecg=hide", trace_env()), kNoOutputFolder);
    EXPECT_EQ(read_file(m_trace.path() + "/kado/profile.ini"), "[Settings]\nDefault Drive=69\n");
}
