// `kado --help` and `kado --version`: the Linux program answers them on standard output; the
// Windows program has no console, so its command-line contract stays whole.
#include "harness.h"

TEST(InformationRequests, HelpAndVersionPrintAndExit0WhileOtherUsesKeepTheContract) {
    // Refused command lines without an output folder report the folder.
    EXPECT_EQ(run_kado("--help --version"), 101);
    if (under_wine()) {
        EXPECT_EQ(run_kado("--help"), 101) << "kado.exe is a window program without a console";
        return;
    }
    const std::string kado = std::getenv("KADO_UNDER_TEST");
    int exit_code = -1;
    const std::string help = run_program_output({kado, "--help"}, exit_code);
    EXPECT_EQ(exit_code, 0);
    for (const char* part : {"Usage: kado", "/readecg=hide", "Run modes:", "Exit codes:"})
        EXPECT_NE(help.find(part), std::string::npos) << part;
    EXPECT_EQ(run_program_output({kado, "--version"}, exit_code), "kado 3.42\n");
    EXPECT_EQ(exit_code, 0);
}
