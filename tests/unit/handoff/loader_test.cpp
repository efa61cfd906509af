#include "handoff/loader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "card/card_drive.h"
#include "support/file_utils.h"
#include "test_folder.h"

namespace {

// An input folder holding a loader source and a program folder beside which the stand-in loader
// is installed on request; the stand-in writes how it was called to the log.
class LoaderTest : public ::testing::Test {
  protected:
    LoaderRequest request(RunMode mode) const {
        write_file(work / "rec.LDSC", "");
        return {mode, kFormatNone, work.path(), work.path(), "", 24, 20, work / "program"};
    }
    void install(const std::string& path) const {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::filesystem::copy_file(tool_path(KADO_STUBLOADER), path);
    }
    std::string installed() const {
        return work / (with_separators("program\\StratusStandardECGLoader\\") + kLoaderFileName);
    }
    std::string log() const { return file_exists(work / "log") ? read_file(work / "log") : ""; }

    TestFolder work;
    ScopedEnv m_log{"STUBLOADER_LOG", work / "log"};
};

}  // namespace

TEST_F(LoaderTest, CommandLinesHaveTheFourFormsByteForByte) {
    const auto line = [](RunMode mode, OutputFormat format, const char* procedure_id) {
        const LoaderRequest r{mode, format, "I", "O", procedure_id, 24, 20, ""};
        return command_line_of("L", loader_arguments(r, "S").value());
    };
    EXPECT_EQ(line(kModeReadPatPath, kFormatNone, ""), R"("L" getpat "S" 24 20 "O")");
    EXPECT_EQ(line(kModeReadEcgHide, kFormatArchive, "x"), R"("L" getecg "S" 24 20)");
    EXPECT_EQ(line(kModeReadEcgHide, kFormatPn12File, "P7"), R"("L" getecg12 "S" 24 20 "O" "P7")");
    EXPECT_EQ(line(kModeReadEcgHide, kFormatPn12File, ""),
              R"("L" getecg12 "S" 24 20 "O" "<NONE>")");
    EXPECT_FALSE(loader_arguments(request(kModeReadPatScan), "S"));
}

// A loader that never exits ends when the terminator is signalled.
TEST_F(LoaderTest, ExitCodesMapToTheRecordingFound) {
    install(installed());
    const auto terminator = NamedEvent::create_or_open("kado-unit-loader-terminator");
    terminator->signal();
    // clang-format off
    for (const auto& [loader_exit, expected] : std::vector<std::pair<std::string, int>>{
             {"0", 109}, {"1", 115}, {"2", 110}, {"3", 111}, {"8", 123}, {"5", 108}, {"255", 108},
             {"crash", 108}, {"hang", 108}}) {
        // clang-format on
        const ScopedEnv exit_code("STUBLOADER_EXIT", loader_exit);
        EXPECT_EQ(run_loader(request(kModeReadPatPath),
                             loader_exit == "hang" ? terminator.get() : nullptr),
                  expected)
            << loader_exit;
    }
}

// Without a loader every mode says so first; with one, modes without a loader form end 100.
TEST_F(LoaderTest, DispatchChecksTheLoaderThenTheSourceThenTheMode) {
    for (const bool installed_loader : {false, true}) {
        if (installed_loader) install(installed());
        for (const RunMode mode : {kModeReadPatCnav, kModeReadPatScan, kModeWriteCnav}) {
            const ScriptedMessages messages;
            EXPECT_EQ(run_loader(request(mode), nullptr), installed_loader ? 100 : 124);
            EXPECT_EQ(messages.ids, installed_loader ? std::vector<int>{} : std::vector<int>{166});
        }
    }
    EXPECT_EQ(log(), "");
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
    const std::string development =
        drives.add('C') + "/TFROOT/Root/Main/CorriePlugins/Deliverables/Applications/Analyse/" +
        "Stratus/ECGLoader/bin/Debug/" + kLoaderFileName;
    install(development);
    EXPECT_TRUE(same_file(find_loader(work / "program"), development));
#endif
}

// What runs is the program named, with its arguments as they were (blanks, quotes, trailing
// backslashes): never a program at a prefix of its path that ends at a blank, never a cut line.
TEST_F(LoaderTest, LaunchRunsOnlyTheNamedProgramWithItsWholeLine) {
    install(work / "my loader.exe");
    std::filesystem::copy_file(tool_path(KADO_SZIPSTUB), work / "my.exe");
    const ScopedEnv planted_log("SZIPSTUB_LOG", work / "planted");
    const ScopedEnv exit_code("STUBLOADER_EXIT", "7");
    const std::vector<CommandArgument> arguments{"a b", "q\"uote\\\"", "tail\\", "",
                                                 bare_argument("7")};
    EXPECT_EQ(launch_process(work / "my loader.exe", arguments, nullptr).exit_code, 7);
    EXPECT_EQ(log().substr(log().find('\n')), "\na b\nq\"uote\\\"\ntail\\\n\n7\n");
#if defined(_WIN32)
    EXPECT_EQ(log().substr(0, log().find('\n')),
              command_line_of(work / "my loader.exe", arguments));
#endif
    EXPECT_FALSE(file_exists(work / "planted"));
    std::filesystem::remove(work / "log");
    const std::string too_long(kMaxCommandLineLength, 'a');
    EXPECT_EQ(launch_process(work / "my loader.exe", {too_long}, nullptr).outcome,
              ProgramRun::Outcome::kNotStarted);
    EXPECT_EQ(log(), "");
    EXPECT_EQ(launch_process(work / "missing.exe", {}, nullptr).outcome,
              ProgramRun::Outcome::kNotStarted);
}
