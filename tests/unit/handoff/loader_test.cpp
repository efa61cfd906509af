#include "handoff/loader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "card/card_drive.h"
#include "support/file_utils.h"
#include "test_folder.h"

namespace {

// An input folder holding a loader source, an output folder and a program folder beside which
// the stand-in loader is installed on request; the stand-in records its calls to a log.
class LoaderTest : public ::testing::Test {
  protected:
    LoaderRequest request(RunMode mode, OutputFormat format = kFormatNone) const {
        std::filesystem::create_directories(work / "card copy");
        write_file(work / "card copy/rec.LDSC", "");
        return {mode, format, work / "card copy", work / "out" + kPathSeparator, "",
                24,   20,     work / "program"};
    }
    void install(const std::string& path) const {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::filesystem::copy_file(tool_path(KADO_STUBLOADER), path);
    }
    std::string installed() const {
        return work / (std::string("program/StratusStandardECGLoader/") + kLoaderFileName);
    }
    // The raw command line and then each argument the loader parsed; empty when it never ran.
    std::vector<std::string> calls() const {
        std::istringstream log(file_exists(work / "log") ? read_file(work / "log") : "");
        std::vector<std::string> lines;
        for (std::string line; std::getline(log, line);)
            lines.push_back(line);
        return lines;
    }

    TestFolder work;
    ScopedEnv m_log{"STUBLOADER_LOG", work / "log"};
};

}  // namespace

TEST_F(LoaderTest, CommandLinesHaveTheFourFormsByteForByte) {
    struct Case {
        RunMode mode;
        OutputFormat format;
        const char* procedure_id;
        const char* tail;  // after the loader and the source
    };
    for (const Case& c : {Case{kModeReadPatPath, kFormatNone, "", " 24 20 \"O\""},
                          Case{kModeReadEcgHide, kFormatArchive, "x", " 24 20"},
                          Case{kModeReadEcgHide, kFormatPn12File, "P7", " 24 20 \"O\" \"P7\""},
                          Case{kModeReadEcgHide, kFormatPn12File, "", " 24 20 \"O\" \"<NONE>\""}}) {
        LoaderRequest r{c.mode, c.format, "I", "O", c.procedure_id, 24, 20, ""};
        const auto arguments = loader_arguments(r, "S");
        ASSERT_TRUE(arguments);
        const std::string verb = c.mode == kModeReadPatPath    ? "getpat"
                                 : c.format == kFormatPn12File ? "getecg12"
                                                               : "getecg";
        EXPECT_EQ(command_line_of("L", *arguments), "\"L\" " + verb + " \"S\"" + c.tail);
    }
    EXPECT_FALSE(loader_arguments(request(kModeReadPatScan), "S"));
}

// Blanks, quotes and a trailing separator reach the loader as they were meant.
TEST_F(LoaderTest, ArgumentsSurviveTheTripToTheLoader) {
    install(installed());
    LoaderRequest r = request(kModeReadEcgHide, kFormatPn12File);
    r.procedure_id = "a \"b\\\" c\\";
    EXPECT_EQ(run_loader(r, nullptr), 109);
    const std::vector<std::string> expected{"getecg12",   r.input_dir + kPathSeparator + "rec.LDSC",
                                            "24",         "20",
                                            r.output_dir, r.procedure_id};
    const std::vector<std::string> seen = calls();
    ASSERT_EQ(seen.size(), expected.size() + 1);
    EXPECT_EQ(std::vector<std::string>(seen.begin() + 1, seen.end()), expected);
}

TEST_F(LoaderTest, ExitCodesMapToTheRecordingFound) {
    install(installed());
    for (const auto& [loader_exit, expected] :
         std::vector<std::pair<std::string, int>>{{"0", 109},
                                                  {"1", 115},
                                                  {"2", 110},
                                                  {"3", 111},
                                                  {"8", 123},
                                                  {"5", 108},
                                                  {"255", 108},
                                                  {"crash", 108}}) {
        const ScopedEnv exit_code("STUBLOADER_EXIT", loader_exit);
        EXPECT_EQ(run_loader(request(kModeReadPatPath), nullptr), expected) << loader_exit;
    }
}

// Without a loader every mode says so first; with one, modes that have no loader form end 100.
TEST_F(LoaderTest, DispatchChecksTheLoaderThenTheSourceThenTheMode) {
    for (const RunMode mode : {kModeReadPatCnav, kModeReadPatPath, kModeReadPatScan}) {
        const ScriptedMessages messages;
        EXPECT_EQ(run_loader(request(mode), nullptr), 124);
        EXPECT_EQ(messages.ids, std::vector<int>{166});
    }
    install(installed());
    for (const RunMode mode : {kModeReadPatCnav, kModeReadPatScan, kModeWriteCnav}) {
        const ScriptedMessages messages;
        EXPECT_EQ(run_loader(request(mode), nullptr), 100);
        EXPECT_TRUE(messages.ids.empty());
    }
    EXPECT_TRUE(calls().empty());
    LoaderRequest no_source = request(kModeReadPatPath);
    no_source.input_dir = work / "out";
    const ScriptedMessages messages;
    EXPECT_EQ(run_loader(no_source, nullptr), 125);
    ASSERT_EQ(messages.ids, std::vector<int>{167});
    EXPECT_TRUE(messages.texts[0].ends_with("\n" + no_source.input_dir));
}

TEST_F(LoaderTest, SourceIsALdscFileWithoutACardEcgBesideIt) {
    const std::string folder = work / "f";
    std::filesystem::create_directories(folder + kPathSeparator + "dir.LDSC");
    EXPECT_FALSE(has_loader_source(folder));
    write_file(folder + kPathSeparator + "x.ldsc", "");
    EXPECT_TRUE(has_loader_source(folder));
    write_file(folder + kPathSeparator + "ECG.DAT", "");
    EXPECT_FALSE(has_loader_source(folder));
}

TEST_F(LoaderTest, FindsOnlyALoaderFileAndPrefersTheDevelopmentBuild) {
    std::filesystem::create_directories(installed());  // a folder of that name is no loader
    EXPECT_EQ(find_loader(work / "program"), "");
    std::filesystem::remove(installed());
    install(installed());
    EXPECT_EQ(find_loader(work / "program"), installed());
#if !defined(_WIN32)
    // Linux reaches the development build's drive through the drive map.
    TestDrives drives;
    const std::string c = drives.add('C');
    const std::string development =
        c +
        "/TFROOT/Root/Main/CorriePlugins/Deliverables/Applications/Analyse/Stratus/ECGLoader/"
        "bin/Debug/" +
        kLoaderFileName;
    install(development);
    EXPECT_TRUE(same_file(find_loader(work / "program"), development));
#endif
}

TEST_F(LoaderTest, TerminatorEndsALoaderThatNeverExits) {
    install(installed());
    const ScopedEnv hang("STUBLOADER_EXIT", "hang");
    const auto terminator = NamedEvent::create_or_open("kado-unit-loader-terminator");
    ASSERT_TRUE(terminator);
    terminator->signal();
    EXPECT_EQ(run_loader(request(kModeReadPatPath), terminator.get()), 108);
}

// What runs is the program named, whole: never a program at a prefix of its path that ends at a
// blank, and never a line cut to fit.
TEST_F(LoaderTest, LaunchRunsOnlyTheNamedProgramWithItsWholeLine) {
    install(work / "my loader.exe");
    std::filesystem::copy_file(tool_path(KADO_SZIPSTUB), work / "my.exe");
    const ScopedEnv planted_log("SZIPSTUB_LOG", work / "planted");
    const ScopedEnv exit_code("STUBLOADER_EXIT", "7");
    EXPECT_EQ(launch_process(work / "my loader.exe", {"x"}, nullptr).exit_code, 7);
    EXPECT_FALSE(file_exists(work / "planted"));

    std::filesystem::remove(work / "log");
    const std::string long_argument(kMaxCommandLineLength, 'a');
    const ProgramRun refused = launch_process(work / "my loader.exe", {long_argument}, nullptr);
    EXPECT_EQ(refused.outcome, ProgramRun::Outcome::kNotStarted);
    EXPECT_TRUE(calls().empty());
    EXPECT_EQ(launch_process(work / "missing.exe", {}, nullptr).outcome,
              ProgramRun::Outcome::kNotStarted);
}
