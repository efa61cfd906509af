// The ECG read mode (/readecg=hide) on a folder copy of a card: exit codes, the files it leaves
// in the output folder, marking the copy as read, and stopping a read from another process.
#include <random>

#include "harness.h"

namespace {

// cardsim writes its recordings with recording number 4 unless told otherwise.
constexpr int kRecording = 4;

class ReadEcgMode : public ::testing::Test {
  protected:
    int run(const std::string& format) { return work.read("/readecg=hide /opformat=" + format); }
    // The record's recording_num: one past the recording once it has been marked as read.
    int config_recording_num(const std::string& folder = {}) const {
        return record_word(read_file((folder.empty() ? work.card() : folder) + "/config.dat"),
                           kRecordingNumOffset);
    }
    std::vector<std::string> delivered() const { return file_names(work.out()); }

    CardWork work;
};

}  // namespace

TEST_F(ReadEcgMode, ArchiveReadDeliversTheRawFilesAndMarksTheCopyRead) {
    ASSERT_TRUE(work.make({"--format=35", "--duration=3m", "--event=30", "--event=75"}));
    ASSERT_EQ(config_recording_num(), kRecording);
    ASSERT_EQ(run("archive"), 0);
    EXPECT_EQ(delivered(), (std::vector<std::string>{"other.dat", "patevent.dat", "rawecg1.dat",
                                                     "rawecg2.dat", "rawecg3.dat"}));
    // 80 s of preamble (start 10:15:20, 60 calibration seconds) and 3 minutes, padded.
    EXPECT_EQ(std::filesystem::file_size(work.out("rawecg1.dat")), 153600u * 2);
    EXPECT_EQ(read_file(work.out("patevent.dat")), platform_text("110\n155\n"));
    EXPECT_EQ(config_recording_num(), kRecording + 1);
    // A read copy reads again, and stays read.
    EXPECT_EQ(run("archive"), 0);
    EXPECT_EQ(config_recording_num(), kRecording + 1);
}

// The cnav format copies the card's files: the recording's own sectors of ecg.dat, and both the
// card and the copy marked as read.
TEST_F(ReadEcgMode, CnavFormatCopiesTheCardAndMarksBothRead) {
    ASSERT_TRUE(work.make({"--format=35", "--duration=1m"}));
    const std::vector<uint8_t> ecg = read_bytes(work.card() + "/ecg.dat");
    ASSERT_EQ(run("cnav"), 0);
    EXPECT_EQ(delivered(),
              (std::vector<std::string>{"cnav.dat", "config.dat", "ecg.dat", "patient.wav"}));
    const std::vector<uint8_t> copy = read_bytes(work.out("ecg.dat"));
    ASSERT_TRUE(!copy.empty() && copy.size() % 512 == 0 && copy.size() <= ecg.size());
    EXPECT_TRUE(std::equal(copy.begin(), copy.end(), ecg.begin()));
    EXPECT_EQ(config_recording_num(), kRecording + 1);
    EXPECT_EQ(config_recording_num(work.out()), kRecording + 1);
}

// Failed reads leave the recording unread; damaged but readable cards end without hanging.
TEST_F(ReadEcgMode, ExitCodesOfFailedAndDamagedReads) {
    const struct {
        std::vector<std::string> options;
        int exit_code;
    } cases[] = {
        {{"--format=2", "--duration=1m", "--flip-bit=5:4090"}, 108},    // checksum error
        {{"--format=35", "--duration=1m", "--truncate-ecg=300"}, 108},  // no start
        {{"--format=64", "--duration=1m"}, 108},                        // 12-lead sectors
        {{"--format=35", "--duration=1m", "--state=no-valid-ecg"}, 109},
        {{"--format=35", "--duration=1m", "--state=inconsistent"}, 109},
        {{"--format=35", "--duration=2m", "--event-chain-loop"}, 0},
        {{"--format=2", "--duration=2m", "--truncate-ecg=20000"}, 0},  // in a sector
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(work.make(c.options));
        EXPECT_EQ(run("archive"), c.exit_code) << c.options.back();
        // A failed read leaves the copy unread; a copy without valid ECG gets nothing.
        if (c.exit_code == 108) {
            EXPECT_EQ(config_recording_num(), kRecording) << c.options.back();
        }
        if (c.exit_code == 109) {
            EXPECT_TRUE(delivered().empty()) << c.options.back();
        }
    }
}

TEST_F(ReadEcgMode, TerminatorEventFromAnotherProcessStopsLongReadsUnmarked) {
    ASSERT_TRUE(work.make({"--format=35", "--duration=48h"}));
    // An instance name of this run's own: the plain "KADO TERMINATOR" is machine-wide and would
    // also stop the reads of any other test run on the machine. The event is signalled before the
    // read begins: a 48-hour read takes a fraction of a second, less than a loaded machine may
    // leave a signaller waiting for its turn.
    const std::string instance = "kado-e2e-" + std::to_string(std::random_device{}());
    const SignalledTerminator terminator(instance, work.path() + "/terminator-held");
    ASSERT_TRUE(terminator.ready());
    const std::string options = " /duration=48 /instance=" + instance;
    EXPECT_EQ(work.read("/readecg=hide /opformat=archive" + options), 0);
    EXPECT_EQ(config_recording_num(), kRecording);
    // Stopped before its first sector: the channels hold the padding alone.
    EXPECT_EQ(std::filesystem::file_size(work.out("rawecg1.dat")), 153600u * 2);
    // The event stays signalled. The EDF+ header's record count (bytes 236..243) is filled in at
    // the end: none were written.
    EXPECT_EQ(work.read("/readecg=hide /opformat=edf" + options), 0);
    EXPECT_EQ(config_recording_num(), kRecording);
    const std::string edf = read_file(work.out("recording.edf"));
    ASSERT_EQ(edf.size(), 256u * 5);
    EXPECT_EQ(edf.substr(236, 8), "0       ");
}
