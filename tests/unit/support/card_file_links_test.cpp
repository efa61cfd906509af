// Card files are plain files: a symbolic link in their place is refused by every call that opens
// one, and reported as a reparse point by the directory enumeration.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "format/card_files.h"
#include "support/card_file.h"
#include "support/file_finder.h"
#include "support/file_utils.h"
#include "test_folder.h"

namespace {

// A card folder whose file "link.dat" points at "outside.dat", a file that a link on a card must
// never let the program read or change.
class CardFileLinks : public ::testing::Test {
  protected:
    void SetUp() override {
        write_file(m_card / "outside.dat", "outside");
        std::error_code error;
        std::filesystem::create_symlink(m_card / "outside.dat", m_card / "link.dat", error);
        // Wine 8 neither makes nor shows links: a Unix link is the file it points at there.
        if (error) GTEST_SKIP() << "no symbolic links here: " << error.message();
    }
    std::string link() const { return m_card / "link.dat"; }
    TestFolder m_card;
};

TEST_F(CardFileLinks, EveryCardFileCallRefusesALinkAndLeavesItsTargetAlone) {
    EXPECT_EQ(open_card_file_read(link()), nullptr);
    EXPECT_EQ(open_card_file_for_reading(m_card.path(), "link.dat"), nullptr);
    EXPECT_FALSE(write_card_file(link(), std::vector<uint8_t>{'n', 'e', 'w'}));
    write_file(m_card / "plain.dat", "plain");
    EXPECT_FALSE(copy_file_plain(link(), m_card / "copy.dat"));
    EXPECT_FALSE(std::filesystem::exists(m_card / "copy.dat"));
    EXPECT_FALSE(copy_file_plain(m_card / "plain.dat", link()));
    EXPECT_EQ(read_file(m_card / "outside.dat"), "outside");
    EXPECT_TRUE(std::filesystem::is_symlink(link()));
}

TEST_F(CardFileLinks, EnumerationReportsTheLinkAsAReparsePoint) {
    for (FileFinder finder(m_card / "*.dat", kFindAll); !finder.done(); finder.next()) {
        const bool is_link = (finder.attributes() & kAttributeReparsePoint) != 0;
        EXPECT_EQ(is_link, finder.name() == "link.dat") << finder.name();
    }
}

}  // namespace
