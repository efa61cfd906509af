// Drive texts on Linux: KADO_DRIVES names a folder of links such as "e:" to the drives' roots.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/drives.h"
#include "support/file_utils.h"
#include "test_folder.h"

#if !defined(_WIN32)
TEST(DriveMap, ResolvesDriveTextsThroughTheLinks) {
    TestFolder map, card;
    const ScopedEnv drives("KADO_DRIVES", map.path());
    std::filesystem::create_directories(card.path() + "/sub");
    std::filesystem::create_directory_symlink(card.path(), map.path() + "/e:");
    write_file(card / "config.dat", "c");
    EXPECT_EQ(native_path("E:/config.dat"), map.path() + "/e:/config.dat");
    EXPECT_TRUE(file_exists("e:/config.dat"));
    // Names that differ only in letter case find the entry, as on the card's own file system.
    EXPECT_TRUE(file_exists("E:/CONFIG.DAT"));
    EXPECT_TRUE(file_exists("E:/SUB/../Config.Dat"));
    EXPECT_EQ(native_path("E:/SUB/New.dat"), map.path() + "/e:/sub/New.dat");
    EXPECT_TRUE(folder_exists("E:/"));
    EXPECT_NE(logical_drives() & (1u << ('E' - 'A')), 0u);
    EXPECT_NE(drive_type("E:/"), DriveType::no_root);
}
#endif
