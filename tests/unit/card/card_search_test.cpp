// The card search over drives of the test's own (Linux drive maps of labelled folders), and the
// drive kinds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "card/card_drive.h"
#include "card/default_drive.h"

namespace {

TEST(DriveKind, TellsFloppiesAndNonDrivesWithoutAskingTheSystem) {
    const struct {
        const char* path;
        int kind;
    } cases[] = {
        {"a:", kDriveKindFloppy}, {"B:\\data", kDriveKindFloppy}, {"b:", kDriveKindFloppy},
        {"x", kDriveKindOther},   {"", kDriveKindOther},          {"data", kDriveKindOther},
        {"1:", kDriveKindOther},
    };
    for (const auto& c : cases)
        EXPECT_EQ(drive_kind(c.path), c.kind) << '"' << c.path << '"';
}

#if !defined(_WIN32)

enum class Content { nothing, card_files, archive_pair, both };

struct Drive {
    char letter;
    const char* label;  // nullptr: no label file
    Content content;
};

struct SearchCase {
    const char* name;
    std::vector<Drive> drives;
    char default_drive;
    bool accept_all;
    const char* expected;
};

void fill(const std::string& root, Content content) {
    if (content == Content::card_files || content == Content::both)
        for (const char* name : {"config.dat", "cnav.dat", "patient.wav", "ecg.dat"})
            write_file(root + "/" + name, "x");
    if (content == Content::archive_pair || content == Content::both) {
        write_file(root + "/REC1.LDSC", "s");
        write_file(root + "/REC1.LECG", "e");
    }
}

class CardSearch : public ::testing::Test {
  protected:
    void TearDown() override { g_default_drive = '?'; }
    std::string add(char letter, Content content) {
        const std::string root = m_drives.add(letter, "VNT_CFR");
        fill(root, content);
        return root;
    }
    std::string find(bool no_prompt, bool accept_all) const {
        CCFDisk disk;
        return disk.find_card(no_prompt, accept_all);
    }
    TestDrives m_drives;
};

TEST_F(CardSearch, ChoosesAmongLabelledDrivesAndTheDefaultDrive) {
    constexpr Content N = Content::nothing, F = Content::card_files, A = Content::archive_pair,
                      B = Content::both;
    const char* V = "VNT_CFR";
    const SearchCase cases[] = {
        {"one card", {{'E', V, F}}, '?', false, "E:"},
        {"longer label", {{'E', "VNT_CFR2", F}}, '?', false, "E:"},
        {"short label", {{'E', "VNT_CF", F}}, '?', true, "?"},
        {"other label", {{'E', "DATA", F}}, '?', true, "?"},
        {"no label", {{'E', nullptr, F}}, '?', true, "?"},
        {"lowest letter of two", {{'F', V, N}, {'D', V, N}}, '?', true, "D:>2"},
        {"default of two", {{'D', V, N}, {'F', V, N}}, 'F', true, "F:>2"},
        {"lower-case default", {{'D', V, N}, {'F', V, N}}, 'f', true, "F:>2"},
        {"card on C", {{'C', V, F}}, '?', true, "?"},
        {"card on C as default", {{'C', V, F}}, 'C', true, "C:"},
        {"unlabelled default", {{'G', nullptr, B}}, 'G', true, "G:"},
        {"default on A", {{'A', nullptr, F}}, 'A', false, "A:"},
        {"empty labelled drive", {{'E', V, N}}, '?', false, "E:"},
        {"archive pair only", {{'E', V, A}}, '?', false, "E:"},
        {"card files and archive", {{'E', V, B}}, '?', false, "?"},
        {"card files and archive, all", {{'E', V, B}}, '?', true, "E:"},
        {"refused drive does not count", {{'D', V, B}, {'E', V, F}}, '?', false, "E:"},
        {"refused default falls back", {{'D', V, B}, {'E', V, N}}, 'D', false, "E:"},
    };
    for (const SearchCase& c : cases) {
        SCOPED_TRACE(c.name);
        TestDrives drives;
        for (const Drive& d : c.drives)
            fill(drives.add(d.letter, d.label ? d.label : ""), d.content);
        g_default_drive = c.default_drive;
        EXPECT_EQ(find(true, c.accept_all), c.expected);
    }
}

TEST_F(CardSearch, ADanglingLinkIsNoDriveUnlessItIsTheDefault) {
    m_drives.link('D', m_drives.folder("gone"));
    add('F', Content::card_files);
    EXPECT_EQ(find(true, false), "F:");
    // The user's own default is examined whatever it holds; without a root it holds no entry.
    g_default_drive = 'D';
    EXPECT_EQ(find(true, false), "D:>2");
}

TEST_F(CardSearch, SkipsANetworkDriveWithoutTouchingItUnlessItIsTheDefault) {
    const std::string card = add('E', Content::card_files);
    // The folder is a card in every respect but the mount that the table says serves it.
    m_drives.use_mount_table("server:/export " + card + " nfs4 rw,hard 0 0\n");
    EXPECT_EQ(find(true, true), "?");
    g_default_drive = 'E';
    EXPECT_EQ(find(true, false), "E:");
}

TEST_F(CardSearch, AsksAgainWhileTheUserPressesOkWithTwoCardsInserted) {
    add('F', Content::nothing);
    const struct {
        const char* name;
        std::vector<MessageAnswer> answers;
        int remove_d_before_answer;  // -1: never
        const char* expected;
        size_t questions;
    } cases[] = {
        {"cancel", {MessageAnswer::kCancel}, -1, "D:>2", 1},
        {"ok, still two, then cancel", {MessageAnswer::kOk, MessageAnswer::kOk}, -1, "D:>2", 3},
        {"card taken out after a first ok", {MessageAnswer::kOk, MessageAnswer::kOk}, 1, "F:", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        add('D', Content::nothing);
        const ScriptedMessages user(c.answers, [&](size_t answer) {
            if (static_cast<int>(answer) == c.remove_d_before_answer) m_drives.remove('D');
        });
        EXPECT_EQ(find(false, true), c.expected);
        EXPECT_EQ(user.ids.size(), c.questions);
    }
}

TEST(DriveKind, AsksTheSystemAboutDriveLetters) {
    TestDrives drives;
    const std::string root = drives.add('E');
    EXPECT_EQ(drive_kind("e:\\sub"), kDriveKindFixed);
    EXPECT_EQ(drive_kind("Q:"), kDriveKindOther);
    drives.use_mount_table("server:/x " + root + " nfs rw 0 0\n");
    EXPECT_EQ(drive_kind("E:"), kDriveKindNetwork);
    drives.use_mount_table("/dev/sr0 " + root + " iso9660 ro 0 0\n");
    EXPECT_EQ(drive_kind("E:"), kDriveKindCdrom);
}

#endif

}  // namespace
