#include "app/console_help.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/exit_codes.h"

TEST(ConsoleHelp, OnlyALoneHelpOrVersionIsAnswered) {
    using Args = std::vector<std::string>;
    EXPECT_EQ(information_text(Args{"--help"}), help_text());
    EXPECT_EQ(information_text(Args{"--version"}), "kado 3.42\n");
    // Everything else keeps the command-line contract.
    for (const Args& other :
         {Args{}, Args{"--HELP"}, Args{"-h"}, Args{"/help"}, Args{"--help", "x"},
          Args{"/readpat=scan", "--version"}, Args{"--versions"}})
        EXPECT_FALSE(information_text(other).has_value()) << other.size();
}

TEST(ConsoleHelp, ListsEveryRunModeOptionAndExitCode) {
    const std::string help = help_text();
    for (const char* option :
         {"/write=", "/readpat=", "/readecg=", "/changepat=", "/wav",
          "/setpat=", "/opformat=", "/dir=", "/ipdir=", "/duration=", "/basemmfname="})
        EXPECT_NE(help.find(option), std::string::npos) << option;
    for (const ExitCodeInfo& info : kExitCodes)
        EXPECT_NE(help.find(std::to_string(info.code) + "  " + info.name), std::string::npos)
            << info.code;
}
