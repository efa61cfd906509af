// `kado --help` and `kado --version`: the Linux program answers them on standard output; the
// Windows program has no console, so its command-line contract stays whole.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "harness.h"

namespace {

// Standard output of the program run with the argument; its exit code goes to `exit_code`.
std::string printed_by(const std::string& argument, int& exit_code) {
    FILE* pipe = popen((std::getenv("KADO_UNDER_TEST") + (" " + argument)).c_str(), "r");
    std::string out;
    char buffer[4096];
    for (size_t n; pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    const int status = pipe ? pclose(pipe) : -1;
    exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
}

}  // namespace

TEST(InformationRequests, HelpAndVersionPrintAndExit0WhileOtherUsesKeepTheContract) {
    // Refused command lines without an output folder report the folder.
    EXPECT_EQ(run_kado("--help --version"), 101);
    if (under_wine()) {
        EXPECT_EQ(run_kado("--help"), 101) << "kado.exe is a window program without a console";
        return;
    }
    int exit_code = -1;
    const std::string help = printed_by("--help", exit_code);
    EXPECT_EQ(exit_code, 0);
    for (const char* part : {"Usage: kado", "/readecg=hide", "Run modes:", "Exit codes:"})
        EXPECT_NE(help.find(part), std::string::npos) << part;
    EXPECT_EQ(printed_by("--version", exit_code), "kado 3.42\n");
    EXPECT_EQ(exit_code, 0);
}
