// A folder of the other system's recording, as the calling application sees it: the program runs
// the loader installed beside it with the caller's values and answers with the loader's result.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "harness.h"

namespace {

// Points the harness at a copy of the program in the folder while it lives.
class ProgramCopy {
  public:
    explicit ProgramCopy(const std::string& folder) : m_original(std::getenv("KADO_UNDER_TEST")) {
        const std::string copy =
            folder + "/" + std::filesystem::path(m_original).filename().string();
        std::filesystem::create_directories(folder);
        std::filesystem::copy_file(m_original, copy);
        setenv("KADO_UNDER_TEST", copy.c_str(), 1);
    }
    ~ProgramCopy() { setenv("KADO_UNDER_TEST", m_original.c_str(), 1); }
    ProgramCopy(const ProgramCopy&) = delete;
    ProgramCopy& operator=(const ProgramCopy&) = delete;

  private:
    std::string m_original;
};

}  // namespace

TEST(LoaderDispatch, RunsTheInstalledLoaderAndReportsItsResult) {
    namespace fs = std::filesystem;
    const TempDir work;
    const std::string program = work / "program";
    const std::string loader = program + "/StratusStandardECGLoader/StratusStandardECGLoader.exe";
    fs::create_directories(fs::path(loader).parent_path());
    const ProgramCopy copy(program);
    fs::copy_file(tool_argv("stubloader", {}).back(), loader);
    fs::create_directories(work / "source dir");
    fs::create_directories(work / "out");
    write_file(work / "source dir/rec.LDSC", "");
    const EnvList env{{"STUBLOADER_LOG", host_path(work / "log")}, {"STUBLOADER_EXIT", "3"}};
    const std::string folders =
        " /ipdir=\"" + host_path(work / "source dir") + "\" /dir=" + host_path(work / "out");

    EXPECT_EQ(run_kado("/readpat=path /skip24 /duration=20" + folders, env), 111);
    std::istringstream log(read_file(work / "log"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);)
        lines.push_back(line);
    const std::string source = host_path(work / "source dir/rec.LDSC");
    const std::vector<std::string> arguments{"getpat", source, "24", "20", host_path(work / "out")};
    ASSERT_EQ(lines.size(), arguments.size() + 1);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.end()), arguments);
    if (under_wine()) {
        EXPECT_EQ(lines[0], "\"" + host_path(loader) + "\" getpat \"" + source + "\" 24 20 \"" +
                                host_path(work / "out") + "\"");
    }

    fs::remove(work / "log");
    EXPECT_EQ(run_kado("/readpat=scan" + folders, env), 100);
    EXPECT_FALSE(fs::exists(work / "log"));
    fs::remove(loader);
    EXPECT_EQ(run_kado("/readecg=hide /opformat=archive" + folders, env), 124);
}
