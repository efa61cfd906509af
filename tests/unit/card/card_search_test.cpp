// The card search over drives of the test's own (Linux drive maps of labelled folders), and the
// drive kinds.
#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "card/ccf_disk.h"
#include "card/default_drive.h"
#include "test_drives.h"
#include "test_folder.h"

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
    std::string add(const Drive& drive) {
        const std::string root = m_drives.add(drive.letter, drive.label ? drive.label : "");
        fill(root, drive.content);
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
        {"card files only", {{'E', V, F}}, '?', false, "E:"},
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
    add({'F', "VNT_CFR", Content::card_files});
    EXPECT_EQ(find(true, false), "F:");
    // The user's own default is examined whatever it holds; without a root it holds no entry.
    g_default_drive = 'D';
    EXPECT_EQ(find(true, false), "D:>2");
}

TEST_F(CardSearch, SkipsANetworkDriveWithoutTouchingItUnlessItIsTheDefault) {
    const std::string card = add({'E', "VNT_CFR", Content::card_files});
    // The folder is a card in every respect but the mount that the table says serves it.
    m_drives.use_mount_table("server:/export " + card + " nfs4 rw,hard 0 0\n");
    EXPECT_EQ(find(true, true), "?");
    g_default_drive = 'E';
    EXPECT_EQ(find(true, false), "E:");
}

// Standard input that runs an action (a card taken out) before each answer it gives, the way a
// user acts while the question is on the screen. Counts the questions it was asked, the last one
// answered by the end of input.
class UserAtTheKeyboard : public std::streambuf {
  public:
    UserAtTheKeyboard(std::vector<std::string> answers, std::function<void(int)> before)
        : m_answers(std::move(answers)),
          m_before(std::move(before)),
          m_saved(std::cin.rdbuf(this)) {}
    ~UserAtTheKeyboard() override {
        std::cin.rdbuf(m_saved);
        std::cin.clear();
    }
    int questions() const { return m_questions; }

  protected:
    int_type underflow() override {
        const int answer = m_questions++;
        if (answer >= static_cast<int>(m_answers.size())) return traits_type::eof();
        m_before(answer);
        m_line = m_answers[answer] + "\n";
        setg(m_line.data(), m_line.data(), m_line.data() + m_line.size());
        return traits_type::to_int_type(m_line[0]);
    }

  private:
    std::vector<std::string> m_answers;
    std::function<void(int)> m_before;
    std::streambuf* m_saved;
    std::string m_line;
    int m_questions = 0;
};

TEST_F(CardSearch, AsksAgainWhileTheUserPressesOkWithTwoCardsInserted) {
    add({'F', "VNT_CFR", Content::nothing});
    const struct {
        const char* name;
        std::vector<std::string> answers;
        int remove_d_before_answer;  // -1: never
        const char* expected;
        int questions;
    } cases[] = {
        {"cancel", {"c"}, -1, "D:>2", 1},
        {"end of input", {}, -1, "D:>2", 1},
        {"ok, still two, then cancel", {"o", "o", "c"}, -1, "D:>2", 3},
        {"card taken out after a first ok", {"o", "o"}, 1, "F:", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        add({'D', "VNT_CFR", Content::nothing});
        UserAtTheKeyboard user(c.answers, [&](int answer) {
            if (answer == c.remove_d_before_answer) m_drives.remove('D');
        });
        EXPECT_EQ(find(false, true), c.expected);
        EXPECT_EQ(user.questions(), c.questions);
    }
}

TEST(DriveKind, AsksTheSystemAboutDriveLetters) {
    TestDrives drives;
    const std::string root = drives.add('E');
    drives.link('G', drives.folder("gone"));
    EXPECT_EQ(drive_kind("E:"), kDriveKindFixed);
    EXPECT_EQ(drive_kind("e:\\sub"), kDriveKindFixed);
    EXPECT_EQ(drive_kind("G:"), kDriveKindOther);  // a link to nothing is no drive
    EXPECT_EQ(drive_kind("Q:"), kDriveKindOther);
    drives.use_mount_table("server:/x " + root + " nfs rw 0 0\n");
    EXPECT_EQ(drive_kind("E:"), kDriveKindNetwork);
    drives.use_mount_table("/dev/sr0 " + root + " iso9660 ro 0 0\n");
    EXPECT_EQ(drive_kind("E:"), kDriveKindCdrom);
}

#endif

}  // namespace
