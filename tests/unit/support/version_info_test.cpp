#include "support/version_info.h"

#include <gtest/gtest.h>

TEST(VersionInfo, RunningProgramCarriesVersion342InUsEnglish) {
    const VersionInfo own;
    EXPECT_TRUE(own.has_translation());
    EXPECT_EQ(own.translation(), "040904b0");
    EXPECT_EQ(own.language(), 0x409);
    EXPECT_EQ(own.product_version(), "3.42");
    EXPECT_EQ(own.string_value("FileVersion"), "3.42");
    EXPECT_EQ(own.string_value("OriginalFilename"), "kado.EXE");
    EXPECT_EQ(own.string_value("ProductName"), "kado Application");
}

TEST(VersionInfo, MissingNamesAndFilesGiveEmptyStrings) {
    EXPECT_EQ(VersionInfo().string_value("NoSuchName"), "");
    EXPECT_EQ(VersionInfo().string_value(""), "");
    const VersionInfo missing("no-such-program.exe");
    EXPECT_FALSE(missing.has_translation());
    EXPECT_EQ(missing.product_version(), "");
}
