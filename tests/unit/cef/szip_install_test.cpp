// Where the szip search looks, in which order, and what an installation without a carried tool
// leaves behind. The registry comes from the Linux program's INI stand-in, so these run on Linux
// (the Windows program's registry is the machine's own; its installation runs end to end).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "cef/szip_install.h"
#include "test_folder.h"

#if !defined(_WIN32)

namespace {

struct CandidateCase {
    const char* name;
    std::vector<std::string> registry;  // INI lines, "$" standing for the work folder
    bool search_path;                   // the search path holds a copy
    const char* found;                  // below the work folder; "" for none
};

class SzipCandidates : public ::testing::TestWithParam<CandidateCase> {
  protected:
    void SetUp() override {
        for (const char* file :
             {"szipreg/szip", "path/szip", "rm/VEDODAD.EXE", "rm/szip", "ru/VEDODAD.EXE", "ru/szip",
              "rmonly/VEDODAD.EXE", "prog/kado", "prog/szip"}) {
            std::filesystem::create_directories(std::filesystem::path(work / file).parent_path());
            write_file(work / file, "#!/bin/sh\n");
            std::filesystem::permissions(work / file, std::filesystem::perms::owner_all);
        }
        std::filesystem::create_directory(work / "empty");
    }
    void TearDown() override { setenv("PATH", m_path.c_str(), 1); }

    TestFolder work;
    const std::string m_path = std::getenv("PATH");
};

}  // namespace

TEST_P(SzipCandidates, FirstExistingCandidateInOrderWins) {
    std::string ini;
    for (std::string line : GetParam().registry) {
        if (const size_t at = line.find('$'); at != std::string::npos)
            line.replace(at, 1, work.path());
        ini += line + "\n";
    }
    write_file(work / "registry.ini", ini);
    const ScopedEnv registry("KADO_REGISTRY", work / "registry.ini");
    setenv("PATH", (work / (GetParam().search_path ? "path" : "empty")).c_str(), 1);
    const std::string found = GetParam().found;
    EXPECT_EQ(find_szip(), found.empty() ? found : work / found);
}

constexpr const char* kMachineManager = "[HKEY_LOCAL_MACHINE\\Software\\Vantorel\\Rarevo Zavarud]";
constexpr const char* kUserManager = "[HKEY_CURRENT_USER\\Software\\Vantorel\\- Rarevo Zavarud -]";
constexpr const char* kInstall =
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantorel\\Pulsenote CF Interface Program]";

INSTANTIATE_TEST_SUITE_P(
    Registry, SzipCandidates,
    ::testing::Values(CandidateCase{"NothingRegistered", {}, false, ""},
                      CandidateCase{"SzipInstallPath",
                                    {"[HKEY_LOCAL_MACHINE\\software\\vantorel\\szip]",
                                     "Install Path=$/szipreg/szip", kMachineManager,
                                     "Location=$/rm/VEDODAD.EXE"},
                                    false,
                                    "szipreg/szip"},
                      CandidateCase{"SearchPathBeforeReportManager",
                                    {kMachineManager, "Location=$/rm/VEDODAD.EXE"},
                                    true,
                                    "path/szip"},
                      CandidateCase{"MachineReportManager",
                                    {kMachineManager, "Location=$/rm/VEDODAD.EXE", kUserManager,
                                     "Location=$/ru/VEDODAD.EXE"},
                                    false,
                                    "rm/szip"},
                      CandidateCase{"UserReportManagerWhenTheMachinesIsMissing",
                                    {kMachineManager, "Location=$/none/VEDODAD.EXE", kUserManager,
                                     "Location=$/ru/VEDODAD.EXE"},
                                    false,
                                    "ru/szip"},
                      CandidateCase{"ReportManagerBeforeInstallFolder",
                                    {kUserManager, "Location=$/ru/VEDODAD.EXE", kInstall,
                                     "Install Path=$/prog/kado"},
                                    false,
                                    "ru/szip"},
                      CandidateCase{"InstallFolderWhenTheReportManagerHasNone",
                                    {kMachineManager, "Location=$/rmonly/VEDODAD.EXE", kInstall,
                                     "Install Path=$/prog/kado"},
                                    false,
                                    "prog/szip"},
                      CandidateCase{"InstallPathNamingNoFileIsNoCandidate",
                                    {kInstall, "Install Path=$/prog/gone"},
                                    false,
                                    ""}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(SzipInstallation, ProgramCarryingNoToolFailsAndMakesNoFolder) {
    TestFolder work;
    const ScopedEnv programs("KADO_PROGRAM_FILES", work.path());
    const ScopedEnv registry("KADO_REGISTRY", work / "none.ini");
    if (!find_szip().empty()) GTEST_SKIP() << "a tool is installed on this machine";
    EXPECT_FALSE(install_szip(kSzipResource, kSzipReadmeResource));
    EXPECT_TRUE(std::filesystem::is_empty(work.path()));
}

#endif
