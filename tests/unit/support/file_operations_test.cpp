#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/file_finder.h"
#include "support/file_utils.h"
#include "test_folder.h"

namespace {

// Every test works in a folder of its own.
class FileOperations : public ::testing::Test {
  protected:
    TestFolder dir;
};

}  // namespace

TEST_F(FileOperations, ReadOnlyRefusesTouchAndPlainDeletionUntilCleared) {
    const std::string file = dir / "config.dat";
    write_file(file, "record");
    set_read_only(file);
    ASSERT_TRUE(is_read_only(file));
    EXPECT_FALSE(touch_file(file));
    EXPECT_FALSE(delete_tree(dir.path(), false, false));
    EXPECT_EQ(read_file(file), "record");
    clear_read_only(file);
    EXPECT_FALSE(is_read_only(file));
    EXPECT_TRUE(touch_file(file));
}

TEST_F(FileOperations, CopyFilePlainReplacesReadOnlyTargetsWritableAndNeverLosesData) {
    write_file(dir / "source", "new bytes");
    write_file(dir / "target", "old");
    set_read_only(dir / "source");
    set_read_only(dir / "target");
    ASSERT_TRUE(copy_file_plain(dir / "source", dir / "target"));
    EXPECT_EQ(read_file(dir / "target"), "new bytes");
    EXPECT_FALSE(is_read_only(dir / "target"));
    EXPECT_TRUE(copy_file_plain(dir / "source", dir / "fresh"));
    EXPECT_EQ(read_file(dir / "fresh"), "new bytes");
    // A missing source fails and keeps the target.
    EXPECT_FALSE(copy_file_plain(dir / "missing", dir / "target"));
    EXPECT_EQ(read_file(dir / "target"), "new bytes");
}

// The same file under another spelling or through a hard link: copying it onto itself succeeds
// and leaves it whole, whatever its attributes.
TEST_F(FileOperations, CopyFilePlainOntoItselfSucceedsAndChangesNothing) {
    write_file(dir / "patient.wav", "speech");
    std::filesystem::create_hard_link(dir / "patient.wav", dir / "link.wav");
    set_read_only(dir / "patient.wav");
    for (const char* target : {"patient.wav", "PATIENT.WAV", "link.wav"}) {
        EXPECT_TRUE(same_file(dir / "patient.wav", dir / target)) << target;
        EXPECT_TRUE(copy_file_plain(dir / "patient.wav", dir / target)) << target;
        EXPECT_EQ(read_file(dir / "patient.wav"), "speech") << target;
    }
    EXPECT_TRUE(is_read_only(dir / "patient.wav"));
    write_file(dir / "other.wav", "speech");
    EXPECT_FALSE(same_file(dir / "patient.wav", dir / "other.wav"));
    EXPECT_FALSE(same_file(dir / "patient.wav", dir / "missing.wav"));
}

TEST_F(FileOperations, DeleteFileSucceedsWhenNothingOfThatNameRemains) {
    write_file(dir / "ro", "x");
    set_read_only(dir / "ro");
    EXPECT_TRUE(delete_file(dir / "ro"));
    EXPECT_FALSE(file_exists(dir / "ro"));
    EXPECT_TRUE(delete_file(dir / "never there"));
    create_folder(dir / "sub");
    EXPECT_FALSE(delete_file(dir / "sub"));
}

#if !defined(_WIN32)
TEST(DeleteTree, RemovesLinksWithoutTouchingWhatTheyPointAt) {
    TestFolder tree, outside;
    write_file(tree / "a.dat", "a");
    write_file(outside / "kept.dat", "k");
    set_read_only(outside / "kept.dat");
    std::filesystem::create_directory_symlink(outside.path(), tree / "link");
    std::filesystem::create_symlink(outside / "kept.dat", tree / "file-link");
    EXPECT_TRUE(delete_tree(tree.path(), true, true));
    EXPECT_EQ(read_file(outside / "kept.dat"), "k");
    EXPECT_TRUE(is_read_only(outside / "kept.dat"));
}
#endif

TEST_F(FileOperations, FileFinderReportsMatchingEntriesButNeverDotNames) {
    write_file(dir / "a.txt", "a");
    write_file(dir / "b.LDSC", "b");
    write_file(dir / "ro.dat", "r");
    set_read_only(dir / "ro.dat");
    write_file(dir / ".hidden", "h");
    create_folder(dir / "sub");
    const std::vector<std::string> all = {"a.txt", "b.LDSC", "ro.dat", "sub"};
    const struct {
        const char* pattern;
        uint32_t mask;
        std::vector<std::string> names;
    } cases[] = {
        {"*.*", kFindFiles, {"a.txt", "b.LDSC", "ro.dat"}},
        {"*.*", kFindAll, all},
        {"*", kFindAll, all},
        {"*.*", kAttributeDirectory, {"sub"}},
        {"*.*", kAttributeReadOnly, {"ro.dat"}},
        {"*.ldsc", kFindAll, {"b.LDSC"}},
        {"A.TXT", kFindFiles, {"a.txt"}},
        {"?o.*", kFindFiles, {"ro.dat"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> found;
        for (FileFinder finder(dir / c.pattern, c.mask); !finder.done(); finder.next())
            found.push_back(finder.name());
        std::sort(found.begin(), found.end());
        EXPECT_EQ(found, c.names) << c.pattern << " " << c.mask;
    }
}

TEST_F(FileOperations, FileFinderTellsAMissingFolderFromNoMatch) {
    FileFinder none(dir / "*.LECG", kFindAll);
    EXPECT_TRUE(none.done());
    EXPECT_FALSE(none.failed());
    FileFinder missing(dir / with_separators("missing\\*.*"), kFindAll);
    EXPECT_TRUE(missing.done());
    EXPECT_TRUE(missing.failed());
}
