// CEF archive inputs: archives that cefpack makes from a simulated recording go through the
// program's unpacking into the patient modes and the ECG hand-off; broken archives end 121 without
// a trace outside the output folder; a failing szip is asked about; the tool is found or installed.
#include <memory>
#include <tuple>

#include "harness.h"
#include "mapped_peer.h"

namespace fs = std::filesystem;

namespace {

// A recording as a simulated card read delivers it, packed into archive.cef in the work folder;
// the program's temporary files go to a private folder that must be empty after every run.
class CefArchiveInput : public ::testing::Test {
  protected:
    CefArchiveInput() {
        for (const std::string& folder : {src(), work.out(), temp()})
            fs::create_directories(folder);
        make_card(work.card(), work.path() + "/intended", {"--duration=10m"});
        for (int n = 1; n <= 3; ++n)
            fs::copy_file(work.path() + "/intended/channel" + std::to_string(n) + ".dat",
                          src("RAWECG" + std::to_string(n) + ".DAT"));
        fs::copy_file(work.card() + "/patient.wav", src("PATIENT.WAV"));
        write_file(src("PATEVENT.DAT"), "100\n3700\n");
        write_file(src("PATIENT.TXT"), "Name=Ada Lovelace\r\n");
        write_file(src("PATSUMM.DAT"), "summary of the recording\n");
        write_file(src("CNAV.DAT"), std::string(1024, 'c'));
        write_file(src("CNAVOP.DAT"), "options\n");
        write_file(src("OTHER.DAT"), std::string(1536, 'o'));
    }
    int pack(std::vector<std::string> args) {
        args.insert(args.end(), {host_path(src()), host_path(archive())});
        return run_program(tool_argv("cefpack", args));
    }
    void fresh_out() const {
        fs::remove_all(work.out());
        fs::create_directory(work.out());
    }
    std::string src(const std::string& name = "") const { return work.path() + "/src/" + name; }
    std::string temp() const { return work.path() + "/tmp"; }
    std::string archive() const { return work.path() + "/archive.cef"; }
    std::string trace() const { return read_file(work.path() + "/trace.txt"); }
    // Wine keeps its server's socket under TMPDIR, so kado.exe gets its folder through TMP alone.
    // On Linux the program-files folder and the registry are the work folder's own.
    EnvList env() const {
        const std::pair<std::string, std::string> trace{"KADO_TRACE",
                                                        host_path(work.path() + "/trace.txt")};
        if (under_wine()) return {{"TMP", host_path(temp())}, trace};
        return {{"TMPDIR", temp()},
                {"KADO_PROGRAM_FILES", work.path() + "/programs"},
                {"KADO_REGISTRY", work.path() + "/registry.ini"},
                trace};
    }
    std::string line(const std::string& arguments) const {
        return arguments + " /dir=" + host_path(work.out()) + " /ipdir=" + host_path(archive());
    }
    int run(const std::string& arguments, EnvList extra = {}) {
        const EnvList base = env();
        extra.insert(extra.end(), base.begin(), base.end());
        return run_kado(line(arguments), extra);
    }

    CardWork work;
};

}  // namespace

TEST_F(CefArchiveInput, PatientModesDeliverThePatientFilesAndChannelCode) {
    // Fewer channel files make fewer channel members; without CNAV.DAT the cnav files stop there.
    for (const auto& [channels, code] : {std::pair{3, 111}, {2, 110}, {1, 115}}) {
        fs::remove(src("RAWECG" + std::to_string(channels + 1) + ".DAT"));
        if (channels == 1) fs::remove(src("CNAV.DAT"));
        for (const std::vector<std::string>& options : {std::vector<std::string>{}, {"--pack"}}) {
            ASSERT_EQ(pack(options), 0);
            for (const auto& [mode, cnav] : {std::pair{"/readpat=path", false},
                                             {"/readpat=scan", false},
                                             {"/readpat=cnav", true}}) {
                const std::string what =
                    mode + std::to_string(channels) + std::to_string(options.size());
                fresh_out();
                EXPECT_EQ(run(mode), code) << what;
                for (const char* name : {"PATSUMM.DAT", "PATIENT.WAV", "PATEVENT.DAT"})
                    EXPECT_EQ(read_file(work.out(name)), read_file(src(name))) << name << what;
                for (const char* name : {"CNAV.DAT", "CNAVOP.DAT"})
                    EXPECT_EQ(fs::exists(work.out(name)), cnav && fs::exists(src("CNAV.DAT")))
                        << name << what;
                EXPECT_TRUE(fs::is_empty(temp())) << what;
            }
        }
    }
}

TEST_F(CefArchiveInput, EcgModeHandsOverTheRestoredWordsOfShiftedChannels) {
    const PlainSectionTurn turn;
    for (const auto& [format, options, shift] :
         {std::tuple{"mmf", std::vector<std::string>{"--pack", "--shift=3"}, 3},
          {"path", {"--shift=5"}, 5}}) {
        ASSERT_EQ(pack(options), 0);
        fresh_out();
        MappedPeer peer(work.path(), {"--channels=3", "--create=29491200"});
        EXPECT_EQ(run(std::string("/readecg=hide /opformat=") + format), 0);
        ASSERT_EQ(peer.wait(), 0);
        for (int n = 1; n <= 3; ++n) {
            // The reader restores the words of a channel stored shifted right.
            std::vector<uint16_t> want = read_words(src("RAWECG" + std::to_string(n) + ".DAT"));
            for (uint16_t& word : want)
                word = static_cast<uint16_t>(word >> shift << shift);
            EXPECT_EQ(fs::file_size(peer.channel_file(n)), 2 * want.size()) << n << format;
            EXPECT_TRUE(read_words(peer.channel_file(n)) == want) << n << format;
        }
        EXPECT_EQ(read_file(work.out("OTHER.DAT")), read_file(src("OTHER.DAT")));
        EXPECT_TRUE(fs::is_empty(temp()));
    }
}

struct BrokenCase {
    const char* name;
    const char* fault;
    int exit_code;
};

class BrokenArchiveInput : public CefArchiveInput,
                           public ::testing::WithParamInterface<BrokenCase> {};

TEST_P(BrokenArchiveInput, EndsWithItsCodeAndLeavesNothingBehind) {
    ASSERT_EQ(pack({"--pack", std::string("--fault=") + GetParam().fault}), 0);
    EXPECT_EQ(run("/readpat=path"), GetParam().exit_code);
    EXPECT_TRUE(fs::is_empty(work.out()));
    EXPECT_TRUE(fs::is_empty(temp()));
    // The output and temporary folders' parent: the work folder.
    EXPECT_FALSE(fs::exists(work.path() + "/escaped.txt"));
}

// The reader's table (unit tests) gives each fault its error; here one of each road out: a wrong
// magic is no CEF file at all (the main flow takes the file for a card folder and cannot read it),
// a damaged archive ends 121, whatever its names say.
INSTANTIATE_TEST_SUITE_P(Faults, BrokenArchiveInput,
                         ::testing::Values(BrokenCase{"Magic", "magic", 103},
                                           BrokenCase{"Checksum", "checksum", 121},
                                           BrokenCase{"EscapingName", "escaping-name", 121}),
                         case_name);

// The program copied into a folder of its own, with nothing beside it. Under Wine the
// program-files folder and the registry are the prefix's own: the installed copy and its
// registry value are removed before and after each test, so that the tool is installed afresh.
class CopiedProgram : public CefArchiveInput {
  protected:
    ~CopiedProgram() override { forget_installed_tool(); }

    // The folder the program is copied into; blanks in its name, as in "Program Files".
    std::string bin() const { return work.path() + "/Program Files/bin"; }
    std::string exe() const { return under_wine() ? ".exe" : ""; }
    std::string programs() const {
        if (under_wine()) return std::string(std::getenv("WINEPREFIX")) + "/drive_c/Program Files";
        return work.path() + "/programs";
    }
    // Copies one of the build's programs (szip, szipstub) to the path.
    void plant(const std::string& tool, const std::string& path) const {
        const std::string built = tool == "szip" ? szip_file() : tool_argv(tool, {}).back();
        fs::create_directories(fs::path(path).parent_path());
        fs::copy_file(built, path);
    }
    size_t bin_entries() const { return file_names(bin()).size(); }

  private:
    void forget_installed_tool() const {
        if (!under_wine()) return;
        run_program({std::getenv("KADO_WINE"), "reg", "delete", "HKLM\\Software\\Vantorel\\SZIP",
                     "/f", "/reg:32"});
        std::error_code ignored;
        fs::remove_all(programs() + "/Vantorel", ignored);
    }
    // The program under test becomes the copy; the tool is forgotten first.
    std::string copy_program() const {
        forget_installed_tool();
        const std::string kado = std::getenv("KADO_UNDER_TEST");
        const std::string copy = bin() + "/" + fs::path(kado).filename().string();
        fs::create_directories(bin());
        fs::copy_file(kado, copy);
        return copy;
    }

    const ScopedEnv m_program{"KADO_UNDER_TEST", copy_program()};
};

TEST_F(CopiedProgram, FailingToolIsRetriedOnRAndCancelledAtEndOfInput) {
    plant("szipstub", bin() + "/szip" + exe());
    ASSERT_EQ(pack({"--pack"}), 0);
    EnvList env = this->env();
    env.push_back({"SZIPSTUB_LOG", host_path(work.path() + "/calls.txt")});
    std::string shown;
    EXPECT_EQ(run_kado_answering(line("/readpat=path"), {"r"}, env, {}, &shown), 121);
    const std::string calls = read_file(work.path() + "/calls.txt");
    // Under Wine the box takes its safe answer, Cancel, at once, and shows nothing here.
    EXPECT_EQ(std::count(calls.begin(), calls.end(), '\n'), under_wine() ? 1 : 2) << calls;
    EXPECT_EQ(shown.find("error code 3") != std::string::npos, !under_wine()) << shown;
    EXPECT_TRUE(fs::is_empty(temp()));
}

// The tool's path holds a blank; a program at its prefix ("C:\Program.exe" for
// "C:\Program Files\...") would run instead if the path reached the platform unquoted.
TEST_F(CopiedProgram, ToolBesideTheProgramIsRunAndNothingIsInstalled) {
    plant("szip", bin() + "/szip" + exe());
    plant("szipstub", work.path() + "/Program" + exe());
    ASSERT_EQ(pack({"--pack"}), 0);
    EXPECT_EQ(run("/readpat=path", {{"SZIPSTUB_LOG", host_path(work.path() + "/planted.txt")}}),
              111);
    EXPECT_EQ(read_file(work.out("PATIENT.WAV")), read_file(src("PATIENT.WAV")));
    EXPECT_FALSE(fs::exists(work.path() + "/planted.txt"));
    EXPECT_EQ(bin_entries(), 2u);
    EXPECT_FALSE(fs::exists(programs() + "/Vantorel"));
    EXPECT_EQ(trace().find("message 165"), std::string::npos);
}

TEST_F(CopiedProgram, UnusableProgramFilesFolderPutsTheToolBesideTheProgram) {
    if (!under_wine()) GTEST_SKIP() << "the Linux program carries no tool";
    write_file(programs() + "/Vantorel", "a file where the folder would go");
    ASSERT_EQ(pack({"--pack"}), 0);
    EXPECT_EQ(run("/readpat=path"), 111);
    EXPECT_TRUE(fs::exists(bin() + "/SZIP.EXE") && fs::exists(bin() + "/szip.readme.txt"));
    EXPECT_EQ(trace().find("message 165"), std::string::npos);
}

// Linux: no tool anywhere. Windows: a read-only copy where it would be installed.
TEST_F(CopiedProgram, ToolThatCannotBeInstalledIsReportedAndTheRunGoesOn) {
    const std::string installed = programs() + "/Vantorel/Common/SZIP.EXE";
    if (under_wine()) {
        fs::create_directories(fs::path(installed).parent_path());
        write_file(installed, "an older tool");
        fs::permissions(installed, fs::perms::owner_read | fs::perms::group_read);
    }
    EXPECT_EQ(run_kado("/readecg=hide /opformat=archive /dir=" + host_path(work.out()) +
                           " /ipdir=" + host_path(work.card()),
                       env()),
              0);
    EXPECT_NE(trace().find("message 165"), std::string::npos);
    EXPECT_EQ(bin_entries(), 1u);
    if (under_wine())
        EXPECT_EQ(read_file(installed), "an older tool");
    else
        EXPECT_FALSE(fs::exists(programs()));
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
