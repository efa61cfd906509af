#include "support/mapped_section.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(MappedSection, AnotherOpenerSeesTheSameBytesWithTheCreatorsSize) {
    MappedSection first("kado unit RAWECG1.MMF", 8192, true);
    ASSERT_NE(first.view(), nullptr);
    EXPECT_TRUE(first.created_here());
    EXPECT_EQ(first.size(), 8192u);
    std::memcpy(first.view(), "samples", 7);

    // Asking for a smaller section of the same name gives the existing, larger one.
    MappedSection second("kado unit RAWECG1.MMF", 48, true);
    ASSERT_NE(second.view(), nullptr);
    EXPECT_FALSE(second.created_here());
    EXPECT_GE(second.size(), 8192u);
    EXPECT_EQ(std::memcmp(second.view(), "samples", 7), 0);
    second.view()[8191] = 0x5A;
    EXPECT_EQ(first.view()[8191], 0x5A);
}

TEST(MappedSection, CreatingAgainReleasesTheFirstSection) {
    MappedSection section("kado unit first", 4096, true);
    ASSERT_NE(section.view(), nullptr);
    section.view()[0] = 7;
    ASSERT_TRUE(section.create("kado unit second", 4096, true));
    EXPECT_EQ(section.name(), "kado unit second");
    // The first one is gone: a new section of its name starts from zeros.
    MappedSection again("kado unit first", 4096, true);
    ASSERT_NE(again.view(), nullptr);
    EXPECT_TRUE(again.created_here());
    EXPECT_EQ(again.view()[0], 0);
}

TEST(MappedSection, RefusesNamesThePlatformCannotTakeInsteadOfAlteringThem) {
    MappedSection section;
    EXPECT_FALSE(section.create("", 4096, true));
    EXPECT_FALSE(section.create("bad/name\\x", 4096, true));
    EXPECT_EQ(section.view(), nullptr);
    EXPECT_EQ(section.size(), 0u);
    EXPECT_TRUE(section.name().empty());
}

TEST(MappedSection, OpeningOnlyMapsASectionThatAnotherOwnerMade) {
    MappedSection reader;
    EXPECT_FALSE(reader.open_existing("kado unit not made", true));
    // The failed open must not have made one either.
    MappedSection maker("kado unit not made", 4096, true);
    ASSERT_NE(maker.view(), nullptr);
    EXPECT_TRUE(maker.created_here());

    maker.view()[4095] = 0x33;
    ASSERT_TRUE(reader.open_existing("kado unit not made", false));
    EXPECT_FALSE(reader.created_here());
    EXPECT_GE(reader.size(), 4096u);
    EXPECT_EQ(reader.view()[4095], 0x33);
}
