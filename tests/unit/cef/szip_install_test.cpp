// Where the szip search looks and in which order. The registry comes from the Linux program's INI
// stand-in, so these run on Linux (the Windows program's registry is the machine's own; its
// installation runs end to end).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cef/szip_install.h"
#include "test_folder.h"
#include "test_registry.h"

#if !defined(_WIN32)

namespace {

// Registered paths below the work folder, nullptr for none.
struct CandidateCase {
    const char* name;
    const char* szip;             // the szip installation's own value
    bool search_path;             // the search path holds a copy
    const char* machine_manager;  // the report manager, as the machine registers it
    const char* user_manager;     // ... and as the user does
    const char* install;          // this program's install path
    const char* found;
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
    }
    TestFolder work;
};

}  // namespace

TEST_P(SzipCandidates, FirstExistingCandidateInOrderWins) {
    const CandidateCase& c = GetParam();
    std::string ini;
    const auto value = [&](const char* key, const char* name, const char* path) {
        if (path != nullptr)
            ini += std::string("[") + key + "]\n" + name + "=" + work / path + "\n";
    };
    value("HKEY_LOCAL_MACHINE\\software\\vantorel\\szip", "Install Path", c.szip);
    value("HKEY_LOCAL_MACHINE\\Software\\Vantorel\\Rarevo Zavarud", "Location", c.machine_manager);
    value("HKEY_CURRENT_USER\\Software\\Vantorel\\- Rarevo Zavarud -", "Location", c.user_manager);
    value("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantorel\\Pulsenote CF Interface Program", "Install Path",
          c.install);
    const TestRegistry registry(work);
    registry.write(ini);
    const ScopedEnv path("PATH", work / (c.search_path ? "path" : "none"));
    EXPECT_EQ(find_szip(), *c.found ? work / c.found : "");
}

INSTANTIATE_TEST_SUITE_P(
    Registry, SzipCandidates,
    ::testing::Values(CandidateCase{"NothingRegistered", nullptr, false, nullptr, nullptr, nullptr,
                                    ""},
                      CandidateCase{"SzipInstallPath", "szipreg/szip", false, "rm/VEDODAD.EXE",
                                    nullptr, nullptr, "szipreg/szip"},
                      CandidateCase{"SearchPathBeforeReportManager", nullptr, true,
                                    "rm/VEDODAD.EXE", nullptr, nullptr, "path/szip"},
                      CandidateCase{"MachineReportManager", nullptr, false, "rm/VEDODAD.EXE",
                                    "ru/VEDODAD.EXE", nullptr, "rm/szip"},
                      CandidateCase{"UserReportManagerWhenTheMachinesIsMissing", nullptr, false,
                                    "none/VEDODAD.EXE", "ru/VEDODAD.EXE", nullptr, "ru/szip"},
                      CandidateCase{"ReportManagerBeforeInstallFolder", nullptr, false, nullptr,
                                    "ru/VEDODAD.EXE", "prog/kado", "ru/szip"},
                      CandidateCase{"InstallFolderWhenTheReportManagerHasNone", nullptr, false,
                                    "rmonly/VEDODAD.EXE", nullptr, "prog/kado", "prog/szip"},
                      CandidateCase{"InstallPathNamingNoFileIsNoCandidate", nullptr, false, nullptr,
                                    nullptr, "prog/gone", ""}),
    [](const auto& test) { return std::string(test.param.name); });

#endif
