// Every I/O step of a real run made to fail in turn through KADO_IO_FAULT, in every build: the
// steps of a clean run are counted from the trace, then each is failed once. An ECG read that
// loses a step ends with 108 and leaves the recording unread, unless the lost step belongs to
// marking the recording as read or to the card's side files, after which its outputs are
// complete and it ends 0. A patient read keeps its exit code and delivers each file whole or not
// at all. The card always keeps a readable record.
#include <iterator>
#include <optional>
#include <sstream>

#include "harness.h"
#include "mapped_peer.h"

namespace {

// The steps of one run are replayed one by one; a case must stay well below this.
constexpr int kMostSteps = 80;

struct FaultCase {
    const char* name;
    const char* card;  // cardsim options, separated by blanks
    const char* read;  // mode, format and read options
    bool receiver;     // a receiver prepares the mapped sections first
    bool ecg_read;
};

// An older speech recording on the card makes the read write the empty patient.wav first.
const FaultCase kCases[] = {
    {"ArchiveRead", "--format=35 --duration=5m --event=30 --speech=old",
     "/readecg=hide /opformat=archive", false, true},
    {"TwelveLeadRead", "--format=64 --duration=1m", "/readecg=hide /opformat=pn12file /cal=0",
     false, true},
    {"MappedRead", "--format=35 --duration=5m --event=30", "/readecg=hide /opformat=mmf", true,
     true},
    {"PatientCnavMode", "--format=35 --duration=5m --event=30 --speech=belongs", "/readpat=cnav",
     false, false},
};

// What a run left behind.
struct RunResult {
    int code = -1;
    // The output folder's files, and the receiver's under "peer/".
    std::map<std::string, std::string> files;
    std::string config;
    std::string card_wav;
    int steps = 0;
    bool step_failed = false;
};

class IoFaultRuns : public ::testing::TestWithParam<FaultCase> {
  protected:
    void SetUp() override {
        std::istringstream words(GetParam().card);
        const std::vector<std::string> options{std::istream_iterator<std::string>(words), {}};
        ASSERT_TRUE(make_card(m_work / "pristine", "", options));
        std::filesystem::create_directory(m_work / "shm");
    }

    // One run on a fresh copy of the card into an empty output folder; fault "any:0" only
    // counts the steps.
    RunResult run(const std::string& fault) {
        const FaultCase& c = GetParam();
        std::filesystem::remove_all(card());
        std::filesystem::copy(m_work / "pristine", card());
        std::filesystem::remove_all(out());
        std::filesystem::create_directory(out());
        std::filesystem::remove(trace());
        // Private names: no other run's terminator or sections can meet this one's, and on Linux
        // sections left by a receiver killed below stay in the test's own folder.
        const std::string base = unique_section_base();
        const EnvList shared = {{"KADO_SHM_DIR", m_work / "shm"}};
        std::optional<MappedPeer> peer;
        if (c.receiver)
            peer.emplace(m_work.path(),
                         std::vector<std::string>{"--base=" + base, "--create=29491200"}, shared);
        std::string line =
            std::string(c.read) + " /ipdir=" + host_path(card()) + " /dir=" + host_path(out());
        if (c.ecg_read) line += " /basemmfname=" + base + " /instance=" + base;
        RunResult result;
        result.code = run_kado(line, {{"XDG_CONFIG_HOME", m_work.path()},
                                      {"KADO_TRACE", host_path(trace())},
                                      {"KADO_IO_FAULT", fault},
                                      shared.front()});
        result.files = folder_files(out());
        // A receiver whose read failed may wait for ever; it goes with its object.
        if (peer && result.code == 0) {
            EXPECT_EQ(peer->wait(), 0) << fault;
            for (const auto& [name, bytes] : folder_files(m_work / "peer"))
                result.files["peer/" + name] = bytes;
        }
        result.config = read_file(card() + "/config.dat");
        result.card_wav = read_file(card() + "/patient.wav");
        const std::string text = read_file(trace());
        for (size_t at = 0; (at = text.find("I/O step ", at)) != std::string::npos; ++at)
            ++result.steps;
        result.step_failed = text.find(" fails\n") != std::string::npos;
        return result;
    }

    std::string card() const { return m_work / "card"; }
    std::string out() const { return m_work / "out"; }
    std::string trace() const { return m_work / "trace.txt"; }
    std::string pristine(const char* name) const { return read_file(m_work / "pristine/" + name); }

    TestFolder m_work;
};

}  // namespace

TEST_P(IoFaultRuns, EveryFailedStepGivesItsExitCodeAndNothingPartialPassesForComplete) {
    const FaultCase& c = GetParam();
    const RunResult clean = run("any:0");
    ASSERT_EQ(clean.code, 0);
    ASSERT_FALSE(clean.step_failed);
    ASSERT_GT(clean.steps, 0);
    ASSERT_LE(clean.steps, kMostSteps);
    const std::string config = pristine("config.dat");
    const std::string wav = pristine("patient.wav");

    for (int step = 1; step <= clean.steps; ++step) {
        const RunResult r = run("any:" + std::to_string(step));
        SCOPED_TRACE("failing step " + std::to_string(step) + " of " + std::to_string(clean.steps));
        ASSERT_TRUE(r.step_failed) << "exit code " << r.code;
        EXPECT_TRUE(r.card_wav == wav || r.card_wav == clean.card_wav);
        if (!c.ecg_read) {
            EXPECT_EQ(r.code, clean.code);
            EXPECT_EQ(r.config, config);
            for (const auto& [name, bytes] : r.files)
                EXPECT_EQ(bytes, clean.files.at(name)) << name << " is partial";
            continue;
        }
        if (r.code == 108) {
            EXPECT_EQ(r.config, config) << "a failed read marked the recording as read";
            continue;
        }
        ASSERT_EQ(r.code, 0);
        EXPECT_TRUE(r.config == config || r.config == clean.config);
        EXPECT_EQ(r.files.size(), clean.files.size());
        for (const auto& [name, bytes] : r.files)
            EXPECT_EQ(bytes, clean.files.at(name)) << name << " is partial after exit code 0";
    }
}

INSTANTIATE_TEST_SUITE_P(Reads, IoFaultRuns, ::testing::ValuesIn(kCases), case_name);
