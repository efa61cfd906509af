// CEF archive inputs: archives that cefpack makes from a simulated recording go through the
// program's unpacking into the patient modes and the ECG hand-off; broken archives end 121 without
// a trace outside the output folder; a failing szip is asked about; the tool is found or installed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "harness.h"
#include "mapped_peer.h"

namespace fs = std::filesystem;

namespace {

// A recording as a simulated card read delivers it, packed into archive.cef in the work folder;
// the program's temporary files go to a private folder that must be empty after every run.
class CefArchiveInput : public ::testing::Test {
  protected:
    CefArchiveInput() {
        fs::create_directories(src());
        fs::create_directories(work.out());
        fs::create_directories(temp());
        make_card(work.card(), work.path() + "/intended", {"--duration=10m"});
        for (int n = 1; n <= 3; ++n)
            fs::copy_file(work.path() + "/intended/channel" + std::to_string(n) + ".dat",
                          src("RAWECG" + std::to_string(n) + ".DAT"));
        fs::copy_file(work.card() + "/patient.wav", src("PATIENT.WAV"));
        write_file(src("PATEVENT.DAT"), "100\n3700\n");
        write_file(src("PATIENT.TXT"), "Name=Ada Lovelace\r\n");
        write_file(src("PATSUMM.DAT"), "summary of the recording\n");
        write_file(src("OTHER.DAT"), std::string(1536, 'o'));
    }
    int pack(const std::vector<std::string>& options) {
        std::vector<std::string> args = options;
        args.push_back(host_path(src()));
        args.push_back(host_path(archive()));
        return run_program(tool_argv("cefpack", args));
    }
    std::string src(const std::string& name = "") const { return work.path() + "/src/" + name; }
    std::string temp() const { return work.path() + "/tmp"; }
    std::string archive() const { return work.path() + "/archive.cef"; }
    // Wine keeps its server's socket under TMPDIR, so kado.exe gets its folder through TMP alone.
    EnvList env() const {
        if (under_wine()) return {{"TMP", host_path(temp())}};
        return {{"TMPDIR", temp()}};
    }
    int run(const std::string& arguments) {
        return run_kado(
            arguments + " /dir=" + host_path(work.out()) + " /ipdir=" + host_path(archive()),
            env());
    }

    CardWork work;
};

// Words as the reader restores them from a channel stored shifted right.
std::string restored(const std::string& bytes, int shift) {
    std::string words = bytes;
    for (size_t i = 0; i + 1 < words.size(); i += 2) {
        const unsigned word =
            (static_cast<uint8_t>(words[i]) | static_cast<uint8_t>(words[i + 1]) << 8) >>
            shift << shift;
        words[i] = static_cast<char>(word & 0xFF);
        words[i + 1] = static_cast<char>(word >> 8);
    }
    return words;
}

}  // namespace

TEST_F(CefArchiveInput, PatientModesDeliverThePatientFilesAndChannelCode) {
    for (const char* options : {"", "--pack"}) {
        ASSERT_EQ(pack(*options ? std::vector<std::string>{options} : std::vector<std::string>{}),
                  0);
        for (const char* mode : {"/readpat=path", "/readpat=scan", "/readpat=cnav"}) {
            fs::remove_all(work.out());
            fs::create_directory(work.out());
            EXPECT_EQ(run(mode), 111) << mode << options;
            for (const char* name : {"PATSUMM.DAT", "PATIENT.WAV", "PATEVENT.DAT"})
                EXPECT_EQ(read_file(work.out(name)), read_file(src(name))) << name << mode;
            EXPECT_TRUE(fs::is_empty(temp())) << mode << options;
        }
    }
}

TEST_F(CefArchiveInput, EcgModeHandsOverTheRestoredWordsOfPackedShiftedChannels) {
    const PlainSectionTurn turn;
    ASSERT_EQ(pack({"--pack", "--shift=3"}), 0);
    MappedPeer peer(work.path(), {"--channels=3", "--create=29491200"});
    EXPECT_EQ(run("/readecg=hide /opformat=mmf"), 0);
    ASSERT_EQ(peer.wait(), 0);
    for (int n = 1; n <= 3; ++n) {
        const std::string source = read_file(src("RAWECG" + std::to_string(n) + ".DAT"));
        EXPECT_TRUE(read_file(peer.channel_file(n)) == restored(source, 3)) << n;
    }
    EXPECT_TRUE(fs::is_empty(temp()));
}

struct BrokenCase {
    const char* fault;
    int exit_code;
};

class BrokenArchiveInput : public CefArchiveInput,
                           public ::testing::WithParamInterface<BrokenCase> {};

TEST_P(BrokenArchiveInput, EndsWithItsCodeAndLeavesNothingBehind) {
    ASSERT_EQ(pack({"--pack", std::string("--fault=") + GetParam().fault}), 0);
    const fs::path escaped = fs::path(work.out()).parent_path() / "escaped.txt";
    EXPECT_EQ(run("/readpat=path"), GetParam().exit_code);
    EXPECT_TRUE(fs::is_empty(work.out()));
    EXPECT_TRUE(fs::is_empty(temp()));
    EXPECT_FALSE(fs::exists(escaped));
    EXPECT_FALSE(fs::exists(fs::path(temp()).parent_path() / "escaped.txt"));
}

// A wrong magic is no CEF file at all: the main flow takes the file for a card folder and cannot
// read it.
INSTANTIATE_TEST_SUITE_P(Faults, BrokenArchiveInput,
                         ::testing::Values(BrokenCase{"magic", 103}, BrokenCase{"checksum", 121},
                                           BrokenCase{"past-end", 121},
                                           BrokenCase{"escaping-name", 121},
                                           BrokenCase{"long-name", 121},
                                           BrokenCase{"missing-nul", 121},
                                           BrokenCase{"huge-channels", 121},
                                           BrokenCase{"shift16", 121}, BrokenCase{"bad-flag", 121}),
                         [](const auto& test) {
                             std::string name = test.param.fault;
                             std::erase(name, '-');
                             return name;
                         });

// The program copied into a folder of its own, with the stand-in copied beside it as szip.
class CopiedProgram : public CefArchiveInput {
  protected:
    CopiedProgram() {
        fs::create_directories(bin());
        const std::string kado = std::getenv("KADO_UNDER_TEST");
        const std::string exe = under_wine() ? ".exe" : "";
        fs::copy_file(kado, bin() + "/" + fs::path(kado).filename().string());
        fs::copy_file(tool_argv("szipstub", {}).back(), bin() + "/szip" + exe);
        m_program.set(bin() + "/" + fs::path(kado).filename().string());
    }
    std::string bin() const { return work.path() + "/bin"; }

    struct ProgramOverride {
        void set(const std::string& program) {
            m_old = std::getenv("KADO_UNDER_TEST");
            setenv("KADO_UNDER_TEST", program.c_str(), 1);
        }
        ~ProgramOverride() { setenv("KADO_UNDER_TEST", m_old.c_str(), 1); }
        std::string m_old;
    } m_program;
};

TEST_F(CopiedProgram, FailingToolIsRetriedOnRAndCancelledAtEndOfInput) {
    ASSERT_EQ(pack({"--pack"}), 0);
    EnvList env = this->env();
    env.push_back({"SZIPSTUB_LOG", host_path(work.path() + "/calls.txt")});
    EXPECT_EQ(run_kado_answering(
                  "/readpat=path /dir=" + host_path(work.out()) + " /ipdir=" + host_path(archive()),
                  {"r"}, env),
              121);
    const std::string calls = read_file(work.path() + "/calls.txt");
    // Under Wine the box takes its safe answer, Cancel, at once.
    EXPECT_EQ(std::count(calls.begin(), calls.end(), '\n'), under_wine() ? 1 : 2) << calls;
    EXPECT_TRUE(fs::is_empty(temp()));
}

// Each run copies its packed members to files of its own, so two runs at once never swap data.
TEST_F(CefArchiveInput, TwoRunsUnpackingAtOnceEachDeliverTheirOwnData) {
    if (under_wine()) GTEST_SKIP() << "started through the native harness only";
    std::vector<std::unique_ptr<BackgroundProgram>> runs;
    for (const char* id : {"1", "2"}) {
        const std::string wav = std::string(300000, id[0]);
        write_file(src("PATIENT.WAV"), wav);
        ASSERT_EQ(pack({"--pack"}), 0);
        fs::rename(archive(), archive() + id);
        fs::create_directories(work.out() + id);
        runs.push_back(std::make_unique<BackgroundProgram>(
            std::vector<std::string>{
                std::getenv("KADO_UNDER_TEST"),
                "/readpat=path /dir=" + work.out() + id + " /ipdir=" + archive() + id},
            env()));
    }
    for (const char* id : {"1", "2"}) {
        EXPECT_EQ(runs[static_cast<size_t>(id[0] - '1')]->wait(), 111) << id;
        EXPECT_EQ(read_file(work.out() + id + "/PATIENT.WAV"), std::string(300000, id[0]));
    }
    EXPECT_TRUE(fs::is_empty(temp()));
}
