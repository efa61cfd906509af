#include "support/version_info.h"

#include <gtest/gtest.h>

TEST(VersionInfo, RunningProgramCarriesVersion342AndMissingNamesGiveEmpty) {
    const VersionInfo own;
    EXPECT_EQ(own.translation(), "040904b0");
    EXPECT_EQ(own.product_version(), "3.42");
    EXPECT_EQ(own.string_value("FileVersion"), "3.42");
    EXPECT_EQ(own.string_value("OriginalFilename"), "kado.EXE");
    EXPECT_EQ(own.string_value("NoSuchName"), "");
    EXPECT_EQ(VersionInfo("no-such-program.exe").product_version(), "");
}
