#include <gtest/gtest.h>

#include "harness.h"

TEST(CommandLine, BareWordIsRejectedWithExitCode100) {
    TempDir out;
    EXPECT_EQ(run_kado("hello /dir=" + host_path(out.path())), 100);
}
