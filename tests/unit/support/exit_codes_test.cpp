#include "support/exit_codes.h"

#include <gtest/gtest.h>

#include <string>

#include "test_folder.h"

// The README quotes the table for callers; a code added or renamed here must be added there.
TEST(ExitCodes, ReadmeQuotesEveryCodeWithItsNameAndMeaning) {
#ifdef _WIN32
    GTEST_SKIP() << "the native build checks the README";
#else
    const std::string readme = read_file(KADO_SOURCE_DIR "/README.md");
    ASSERT_FALSE(readme.empty());
    int previous = -1;
    for (const ExitCodeInfo& info : kExitCodes) {
        EXPECT_GT(info.code, previous) << "codes are listed once, in order";
        previous = info.code;
        const std::string row =
            "| " + std::to_string(info.code) + " | " + info.name + " | " + info.meaning + " |";
        EXPECT_NE(readme.find(row), std::string::npos) << row;
    }
#endif
}
