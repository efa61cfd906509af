#include "support/mapped_section.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "scratch_tmpfs.h"
#include "support/named_event.h"
#include "support/shared_objects.h"

TEST(MappedSection, RefusesNamesThePlatformCannotTakeInsteadOfAlteringThem) {
    MappedSection section;
    EXPECT_FALSE(section.create("", 4096, true));
    EXPECT_FALSE(section.create("bad/name\\x", 4096, true));
    EXPECT_EQ(section.view(), nullptr);
    EXPECT_EQ(section.size(), 0u);
    EXPECT_TRUE(section.name().empty());
}

// Opening finds only a section another owner made, and never makes one. A receiver that opened
// the read's sections keeps them alive after the read closed its own handles; a later create
// finds them, with their bytes, instead of making new ones.
TEST(MappedSection, OpensOnlyWhatAnotherOwnerMadeAndLivesWhileAnyoneHoldsIt) {
    PrivateSharedObjects objects;
    const std::string name = "kado unit ECGCTRL.MMF";
    MappedSection receiver;
    EXPECT_FALSE(receiver.open_existing(name, true));
    MappedSection sender(name, 8192, true);
    ASSERT_NE(sender.view(), nullptr);
    EXPECT_TRUE(sender.created_here());
    sender.view()[8191] = 0x42;
    ASSERT_TRUE(receiver.open_existing(name, false));
    EXPECT_FALSE(receiver.created_here());
    sender.close();
    MappedSection next(name, 48, true);
    ASSERT_NE(next.view(), nullptr);
    EXPECT_FALSE(next.created_here());
    EXPECT_GE(next.size(), 8192u);
    EXPECT_EQ(next.view()[8191], 0x42);
    EXPECT_EQ(receiver.view()[8191], 0x42);
    receiver.close();
    next.close();
    EXPECT_FALSE(receiver.open_existing(name, false));
}

#if !defined(_WIN32)
// A killed read leaves its sections behind with counts and finished flags in them; nobody holds
// them. A sender gets them empty and of its own size, a receiver that waits does not find them.
TEST(MappedSection, StaleSectionIsMadeAfreshForCreatorsAndMissingForOpeners) {
    PrivateSharedObjects objects;
    const std::string name = "kado unit stale ECGCTRL.MMF";
    write_bytes(objects.file(name), std::vector<uint8_t>(100, 0xFF));
    MappedSection sender(name, 48, true);
    ASSERT_NE(sender.view(), nullptr);
    EXPECT_TRUE(sender.created_here());
    EXPECT_EQ(sender.size(), 48u);
    EXPECT_EQ(std::vector<uint8_t>(sender.view(), sender.view() + 48), std::vector<uint8_t>(48, 0));
    sender.close();
    EXPECT_FALSE(std::filesystem::exists(objects.file(name)));

    write_bytes(objects.file(name), std::vector<uint8_t>(100, 0xFF));
    MappedSection receiver;
    EXPECT_FALSE(receiver.open_existing(name, false));
    EXPECT_FALSE(std::filesystem::exists(objects.file(name)));
}

// Docker gives /dev/shm 64 MiB, less than the 88.5 MB of a read's three sample sections. A
// section whose pages cannot be reserved must count as missing; a sparse one would kill the
// writer with SIGBUS when it reaches the missing pages.
TEST(MappedSection, OnAFolderTooSmallForItTheSectionIsMissing) {
    PrivateSharedObjects objects;
    const std::string small = objects.file("small");
    const ScratchTmpfs tmpfs(small, 16 << 20);
    SKIP_UNLESS_MOUNTED(tmpfs);
    const ScopedEnv shm_dir("KADO_SHM_DIR", small);
    MappedSection section;
    EXPECT_FALSE(section.create("kado unit RAWECG1.MMF", 29491200, true));
    EXPECT_TRUE(std::filesystem::is_empty(small));
    ASSERT_TRUE(section.create("kado unit RAWECG1.MMF", 16 << 20, true));
    section.view()[section.size() - 1] = 1;
    // Not a page left: the event cannot be made either, and says so.
    EXPECT_EQ(NamedEvent::create_or_open("kado unit event"), nullptr);
    section.close();
    EXPECT_NE(NamedEvent::create_or_open("kado unit event"), nullptr);
}
#endif
