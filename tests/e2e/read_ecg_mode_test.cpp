// The ECG read mode (/readecg=hide) on a folder copy of a card: exit codes, the files it leaves
// in the output folder, marking the copy as read, and stopping a read from another process.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "cardsim_runner.h"
#include "harness.h"
#include "output_text.h"

namespace {

// cardsim writes its recordings with recording number 4 unless told otherwise.
constexpr int kRecording = 4;

class ReadEcgMode : public ::testing::Test {
  protected:
    void make(const std::vector<std::string>& options) {
        std::filesystem::remove_all(card());
        ASSERT_TRUE(make_card(card(), "", options));
    }
    std::string command(const std::string& format) const {
        return "/readecg=hide /opformat=" + format + " /ipdir=" + host_path(card()) +
               " /dir=" + host_path(out());
    }
    int run(const std::string& format) {
        std::filesystem::remove_all(out());
        std::filesystem::create_directory(out());
        return run_kado(command(format), env());
    }
    EnvList env() const { return {{"XDG_CONFIG_HOME", m_work.path()}}; }
    // The record's recording_num: one past the recording once it has been marked as read.
    int config_recording_num() const {
        const std::string record = read_file_text(card() + "/config.dat");
        return static_cast<unsigned char>(record.at(1)) | static_cast<unsigned char>(record.at(2))
                                                              << 8;
    }
    std::vector<std::string> delivered() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(out()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string card() const { return m_work / "card"; }
    std::string out() const { return m_work / "out"; }

    TempDir m_work;
};

}  // namespace

TEST_F(ReadEcgMode, ArchiveReadDeliversTheRawFilesAndMarksTheCopyRead) {
    make({"--format=35", "--duration=3m", "--event=30", "--event=75"});
    ASSERT_EQ(config_recording_num(), kRecording);
    ASSERT_EQ(run("archive"), 0);
    EXPECT_EQ(delivered(), (std::vector<std::string>{"other.dat", "patevent.dat", "rawecg1.dat",
                                                     "rawecg2.dat", "rawecg3.dat"}));
    // 80 s of preamble (start 10:15:20, 60 calibration seconds) and 3 minutes, padded.
    EXPECT_EQ(std::filesystem::file_size(out() + "/rawecg1.dat"), 153600u * 2);
    EXPECT_EQ(read_file_text(out() + "/patevent.dat"), platform_text("110\n155\n"));
    EXPECT_EQ(config_recording_num(), kRecording + 1);
    // A read copy reads again, and stays read.
    EXPECT_EQ(run("archive"), 0);
    EXPECT_EQ(config_recording_num(), kRecording + 1);
}

TEST_F(ReadEcgMode, TwelveLeadRecordingGoesToTheLeadFilesOnly) {
    make({"--format=64", "--duration=1m"});
    ASSERT_EQ(run("pn12file"), 0);
    for (int lead = 1; lead <= 8; ++lead)
        EXPECT_TRUE(std::filesystem::exists(out() + "/pn12ecg" + std::to_string(lead) + ".dat"));
    EXPECT_TRUE(std::filesystem::exists(out() + "/pn12pac.dat"));

    make({"--format=64", "--duration=1m"});
    EXPECT_EQ(run("archive"), 108);
    EXPECT_EQ(config_recording_num(), kRecording);
}

TEST_F(ReadEcgMode, FailedReadsEndWith108AndLeaveTheRecordingUnread) {
    const struct {
        const char* format;
        std::vector<std::string> options;
    } cases[] = {
        {"archive", {"--format=2", "--duration=1m", "--flip-bit=5:4090"}},    // checksum error
        {"archive", {"--format=35", "--duration=1m", "--truncate-ecg=300"}},  // no start sector
        {"cnav", {"--format=35", "--duration=1m"}},  // the card copy does not exist yet
    };
    for (const auto& c : cases) {
        make(c.options);
        EXPECT_EQ(run(c.format), 108) << c.format << " " << c.options.back();
        EXPECT_EQ(config_recording_num(), kRecording) << c.options.back();
    }
}

TEST_F(ReadEcgMode, DamagedButReadableCardsEndWithoutHanging) {
    const std::vector<std::string> options[] = {
        {"--format=35", "--duration=2m", "--event-chain-loop"},
        {"--format=2", "--duration=2m", "--truncate-ecg=20000"},  // cut inside a data sector
    };
    for (const auto& o : options) {
        make(o);
        EXPECT_EQ(run("archive"), 0) << o.back();
    }
}

TEST_F(ReadEcgMode, CopyWithoutValidEcgIsNotRead) {
    make({"--format=35", "--duration=1m", "--state=no-valid-ecg"});
    EXPECT_EQ(run("archive"), 109);
    EXPECT_TRUE(delivered().empty());
    make({"--format=35", "--duration=1m", "--state=inconsistent"});
    EXPECT_EQ(run("archive"), 109);
}

TEST_F(ReadEcgMode, TerminatorEventFromAnotherProcessStopsALongReadUnmarked) {
    make({"--format=35", "--duration=48h"});
    std::filesystem::create_directory(out());
    // An instance name of this run's own: the plain "KADO TERMINATOR" is machine-wide and would
    // also stop the reads of any other test run on the machine.
    const std::string instance = "kado-e2e-" + std::to_string(std::random_device{}());
    // The signaller waits for the event, which exists from the start of the sector loop until the
    // read ends, and signals it within a millisecond: long before a 48-hour read can end.
    auto signaller = std::async(std::launch::async, [&] {
        return run_program(
            tool_argv("kadosignal", {instance + ".terminator.signal", "--wait=120"}));
    });
    const int code = run_kado(command("archive") + " /duration=48 /instance=" + instance, env());
    ASSERT_EQ(signaller.get(), 0) << "the read never offered its terminator event";
    EXPECT_EQ(code, 0);
    EXPECT_EQ(config_recording_num(), kRecording);
    EXPECT_LT(std::filesystem::file_size(out() + "/rawecg1.dat"), 48u * 3600 * 128 * 2);
}

// A read killed while its terminator was signalled leaves the event behind on Linux, signalled
// and held by nobody. It must not stop the reads that come after.
TEST_F(ReadEcgMode, StaleSignalledTerminatorOfAKilledReadStopsNoLaterRead) {
    if (under_wine()) GTEST_SKIP() << "Windows removes an event with its last handle";
    make({"--format=35", "--duration=3m"});
    // An instance of this run's own, where the backend keeps its events.
    const std::string instance = "kado-e2e-" + std::to_string(std::random_device{}());
    const std::string stale = "/dev/shm/" + instance + ".terminator.signal";
    write_file_text(stale, "\1");
    std::filesystem::create_directory(out());
    const int code = run_kado(command("archive") + " /instance=" + instance, env());
    std::filesystem::remove(stale);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(std::filesystem::file_size(out() + "/rawecg1.dat"), 153600u * 2);
    EXPECT_EQ(config_recording_num(), kRecording + 1);
}
