// The program among real windows (kado.exe in the window prefix): the analysis application's
// window, played by windowpeer, is minimised before a read's error box and notified after it; a
// window with another title or a hung one does not change the run; the program's own main window
// is hidden or minimised by run mode, carries the application title and keeps answering while
// szip runs. The peer answers the program's boxes with their safe answer.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "harness.h"
#include "window_peer.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kAppTitle = "Pulsenote CF Interface Program";

class AmongWindows : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!under_wine()) GTEST_SKIP() << "windows exist only for kado.exe";
    }
};

// A failing write of the samples ends an ECG read with the read error box.
class ReadErrorBox : public AmongWindows {
  protected:
    void SetUp() override {
        AmongWindows::SetUp();
        if (!IsSkipped()) {
            ASSERT_TRUE(card.make({"--format=35", "--duration=5m"}));
        }
    }
    int read_failing() {
        return card.read("/readecg=hide /opformat=archive", {{"KADO_IO_FAULT", "write:3"}});
    }
    CardWork card;
};

}  // namespace

TEST_F(ReadErrorBox, AnalysisWindowIsMinimisedBeforeTheBoxAndNotifiedAfterIt) {
    const WindowPeer stratus(card.path() + "/stratus.txt", {});
    EXPECT_EQ(read_failing(), 108);
    EXPECT_EQ(stratus.steps(), (std::vector<std::string>{"minimise", "box", "notify"}));
}

// The hung window is the one titled "Stratus"; the other answers the box and is left alone.
TEST_F(ReadErrorBox, HungAnalysisWindowDoesNotHoldTheRunAndOtherTitlesAreLeftAlone) {
    const WindowPeer hung(card.path() + "/hung.txt", {"--hung"});
    const WindowPeer other(card.path() + "/other.txt", {"--title=Stratus 2"});
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(read_failing(), 108);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
    EXPECT_EQ(other.steps(), (std::vector<std::string>{"box"}));
}

// Each mode unpacks a CEF archive with an szip that never ends, so the main window is up while the
// peer looks at it; the peer then signals the terminator, which ends szip and the unpacking.
TEST_F(AmongWindows, MainWindowIsHiddenOrMinimisedByModeAndAnswersWhileSzipRuns) {
    const TestFolder work;
    for (const char* folder : {"src", "out", "bin"})
        fs::create_directories(work / folder);
    ASSERT_TRUE(make_card(work / "card", work / "intended", {"--duration=1m"}));
    for (const char* name : {"1", "2", "3"})
        fs::copy_file(work / (std::string("intended/channel") + name + ".dat"),
                      work / (std::string("src/RAWECG") + name + ".DAT"));
    write_file(work / "src/PATIENT.TXT", "Name=Ada Lovelace\r\n");
    write_file(work / "src/PATSUMM.DAT", "summary of the recording\n");
    ASSERT_EQ(run_program(tool_argv(
                  "cefpack", {"--pack", host_path(work / "src"), host_path(work / "archive.cef")})),
              0);
    fs::copy_file(std::getenv("KADO_UNDER_TEST"), work / "bin/kado.exe");
    fs::copy_file(tool_argv("szipstub", {}).back(), work / "bin/szip.exe");
    const ScopedEnv program("KADO_UNDER_TEST", work / "bin/kado.exe");

    // A run whose checks fail opens no window: /wav takes no folders.
    const struct {
        const char* arguments;
        const char* state;
        int code = 121;
    } modes[] = {
        {"/write=cnav", "hidden"},        {"/write=path", "minimised"},
        {"/write=stand", "minimised"},    {"/write=scan", "minimised"},
        {"/write=westbury", "minimised"}, {"/readpat=cnav", "hidden"},
        {"/readpat=path", "hidden"},      {"/readpat=stand", "minimised"},
        {"/readpat=scan", "hidden"},      {"/readecg=hide /opformat=archive", "hidden"},
        {"/readecg=stand", "minimised"},  {"/changepat=cnav", "minimised"},
        {"/wav", nullptr, 100},           {"/setpat=Z:\\missing.ini", "minimised"},
        {"/readpat=status", "hidden"},
    };
    for (const auto& mode : modes) {
        const std::string log = work / "peer.txt";
        fs::remove(log);
        const WindowPeer peer(log, {"--stop-event=KADO TERMINATOR"});
        EXPECT_EQ(run_kado(std::string(mode.arguments) + " /dir=" + host_path(work / "out") +
                               " /ipdir=" + host_path(work / "archive.cef"),
                           {{"SZIPSTUB_EXIT", "hang"}}),
                  mode.code)
            << mode.arguments;
        std::vector<std::string> frames;
        if (mode.state != nullptr)
            frames.push_back(std::string("frame ") + mode.state + " answers " + kAppTitle);
        EXPECT_EQ(peer.frames(), frames) << mode.arguments;
    }
}
