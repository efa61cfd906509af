// `kado --help` and `kado --version`: the Linux program answers them on standard output; the
// Windows program has no console, so its command-line contract stays whole.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "harness.h"

namespace {

struct Printed {
    int exit_code;
    std::string out;
};

Printed run_printing(const std::string& argument) {
    const std::string command = std::string(std::getenv("KADO_UNDER_TEST")) + " " + argument;
    FILE* pipe = popen(command.c_str(), "r");
    Printed printed{-1, {}};
    if (pipe == nullptr) return printed;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        printed.out.append(buffer, n);
    const int status = pclose(pipe);
    if (WIFEXITED(status)) printed.exit_code = WEXITSTATUS(status);
    return printed;
}

}  // namespace

TEST(InformationRequests, HelpAndVersionPrintAndExit0) {
    if (under_wine()) GTEST_SKIP() << "kado.exe is a window program without a console";
    const Printed help = run_printing("--help");
    EXPECT_EQ(help.exit_code, 0);
    for (const char* part : {"Usage: kado", "/readecg=hide", "Run modes:", "Exit codes:", "125"})
        EXPECT_NE(help.out.find(part), std::string::npos) << part;
    const Printed version = run_printing("--version");
    EXPECT_EQ(version.exit_code, 0);
    EXPECT_EQ(version.out, "kado 3.42\n");
}

TEST(InformationRequests, AnyOtherUseOfTheWordsKeepsTheCommandLineContract) {
    // Refused command lines without an output folder report the folder.
    EXPECT_EQ(run_kado("--help --version"), 101);
    EXPECT_EQ(run_kado("-h"), 101);
    if (under_wine()) {
        EXPECT_EQ(run_kado("--help"), 101);
    }
}
