#include "app/console_help.h"

#include <gtest/gtest.h>

#include "support/exit_codes.h"

// The help prints the exit-code table itself; a code added there shows here without an edit.
TEST(ConsoleHelp, ListsEveryExitCodeAndAnswersOnlyALoneWord) {
    const std::string help = help_text();
    for (const ExitCodeInfo& info : kExitCodes)
        EXPECT_NE(help.find(std::to_string(info.code) + "  " + info.name), std::string::npos);
    EXPECT_FALSE(information_text({"--HELP"}).has_value());
    EXPECT_FALSE(information_text({"/readpat=scan", "--version"}).has_value());
}
