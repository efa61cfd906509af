// A folder of the other system's recording, as the calling application sees it: the program runs
// the loader installed beside it with the caller's values and answers with the loader's result.
#include "harness.h"

TEST(LoaderDispatch, RunsTheInstalledLoaderWithTheCallersValues) {
    namespace fs = std::filesystem;
    const TestFolder work;
    const std::string kado = std::getenv("KADO_UNDER_TEST");
    const std::string copy = work / fs::path(kado).filename().string();
    const std::string loader = work / "StratusStandardECGLoader/StratusStandardECGLoader.exe";
    for (const char* folder : {"StratusStandardECGLoader", "source dir", "out"})
        fs::create_directories(work / folder);
    fs::copy_file(kado, copy);
    fs::copy_file(tool_argv("stubloader", {}).back(), loader);
    write_file(work / "source dir/rec.LDSC", "");
    const std::string source = host_path(work / "source dir/rec.LDSC");
    const std::string out = host_path(work / "out/");  // a trailing separator survives

    const ScopedEnv program("KADO_UNDER_TEST", copy);  // the copy finds the loader beside itself
    EXPECT_EQ(run_kado("/readecg=hide /opformat=pn12file /skip=3 /duration=20 /ipdir=\"" +
                           host_path(work / "source dir") + "\" /dir=" + out + " /procedure_id=P",
                       {{"STUBLOADER_LOG", host_path(work / "log")}, {"STUBLOADER_EXIT", "8"}}),
              123);
    const std::string log = read_file(work / "log");  // the raw line, then each argument
    EXPECT_EQ(log.substr(log.find('\n')), "\ngetecg12\n" + source + "\n3\n20\n" + out + "\nP\n");
    if (under_wine()) {
        EXPECT_EQ(log.substr(0, log.find('\n')), "\"" + host_path(loader) + "\" getecg12 \"" +
                                                     source + "\" 3 20 \"" + out + "\\\" \"P\"");
    }
}
