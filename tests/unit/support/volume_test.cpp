#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>

#include "support/drives.h"
#include "support/file_utils.h"
#include "test_folder.h"

namespace {

constexpr uint64_t kInt32Max = std::numeric_limits<int32_t>::max();

TEST(VolumeSpace, MeasuresTheVolumeOfTheFolderThatHoldsThePathAndClampsThe32BitSizes) {
    TestFolder dir;
    const uint64_t total = total_size64(dir.path());
    ASSERT_GT(total, 0u);
    EXPECT_EQ(total_size64(dir / "ecg.dat"), total);
    EXPECT_GT(free_space(dir / "ecg.dat"), 0);
    EXPECT_EQ(static_cast<uint64_t>(total_size(dir.path())), std::min(total, kInt32Max));
    EXPECT_LE(static_cast<uint64_t>(free_space(dir.path())), kInt32Max);
}

// Drive-root cases need a drive of the test's own: Linux maps one through KADO_DRIVES; under Wine
// the tests have no way to add one, and the drive-root logic they exercise is shared code.
#if defined(_WIN32)
// Wine serves Z: from the Unix root, whose free space is what the drive-text cut rules measure.
constexpr char kDriveLetter = 'Z';
#else
constexpr char kDriveLetter = 'E';

// A drive map of its own: KADO_DRIVES names a folder whose link "e:" points at a scratch root.
class DriveMap : public ::testing::Test {
  protected:
    DriveMap() {
        std::filesystem::create_directories(m_card.path() + "/sub");
        std::filesystem::create_directory_symlink(m_card.path(), m_map.path() + "/e:");
    }
    TestFolder m_map;
    TestFolder m_card;
    ScopedEnv m_drives{"KADO_DRIVES", m_map.path()};
};

TEST_F(DriveMap, ResolvesDriveTextsThroughTheLinks) {
    write_file(m_card / "config.dat", "c");
    EXPECT_EQ(native_path("E:/config.dat"), m_map.path() + "/e:/config.dat");
    EXPECT_TRUE(file_exists("e:/config.dat"));
    // Names that differ only in letter case find the entry, as on the card's own file system.
    EXPECT_TRUE(file_exists("E:/CONFIG.DAT"));
    EXPECT_TRUE(file_exists("E:/SUB/../Config.Dat"));
    EXPECT_EQ(native_path("E:/SUB/New.dat"), m_map.path() + "/e:/sub/New.dat");
    EXPECT_TRUE(folder_exists("E:/"));
    EXPECT_NE(logical_drives() & (1u << ('E' - 'A')), 0u);
    EXPECT_EQ(logical_drives() & (1u << ('F' - 'A')), 0u);
    EXPECT_EQ(drive_type("F:/"), DriveType::no_root);
    EXPECT_NE(drive_type("E:/"), DriveType::no_root);
}

TEST_F(DriveMap, DeleteTreeOfABareDriveEmptiesOnlyTheRoot) {
    write_file(m_card / "ecg.dat", "e");
    write_file(m_card / "sub/inner.dat", "i");
    EXPECT_TRUE(delete_tree("E:", false, true));
    EXPECT_FALSE(file_exists("E:/ecg.dat"));
    EXPECT_TRUE(file_exists("E:/sub/inner.dat"));
    EXPECT_TRUE(folder_exists(m_card.path()));
}
#endif

TEST(VolumeSpace, CutsDriveTextsAtTheirOwnRulePositions) {
#if !defined(_WIN32)
    TestFolder card;
    TestFolder map;
    std::filesystem::create_directory_symlink(card.path(), map.path() + "/e:");
    const ScopedEnv drives("KADO_DRIVES", map.path());
#endif
    const std::string drive{kDriveLetter, ':'};
    const std::string file = join_path(drive, "ecg.dat");
    // free_space measures the drive; total_size cuts only from position 4 on and so asks about
    // "E:\ecg.dat\" itself, which is no folder.
    EXPECT_GT(free_space(file), 0);
    EXPECT_EQ(total_size(file), 0);
    EXPECT_EQ(total_size64(file), 0u);
    EXPECT_GT(total_size64(drive), 0u);
}

}  // namespace
