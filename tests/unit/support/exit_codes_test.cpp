#include "support/exit_codes.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

// The README quotes the table for callers; a code added or renamed here must be added there.
TEST(ExitCodes, ReadmeQuotesEveryCodeWithItsNameAndMeaning) {
#ifdef _WIN32
    GTEST_SKIP() << "the native build checks the README";
#else
    std::ifstream file(KADO_SOURCE_DIR "/README.md");
    ASSERT_TRUE(file);
    std::stringstream readme;
    readme << file.rdbuf();
    int previous = -1;
    for (const ExitCodeInfo& info : kExitCodes) {
        EXPECT_GT(info.code, previous) << "codes are listed once, in order";
        previous = info.code;
        const std::string row =
            "| " + std::to_string(info.code) + " | " + info.name + " | " + info.meaning + " |";
        EXPECT_NE(readme.str().find(row), std::string::npos) << row;
    }
#endif
}
