// The card search over drives of the test's own (Linux drive maps of labelled folders), and the
// drive kinds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "card/card_drive.h"

#if !defined(_WIN32)
namespace {

// What a drive holds; `dangling` maps the letter to nothing, `network` serves the card files
// from a mount the table calls nfs.
enum class Content { nothing, card_files, archive_pair, both, dangling, network };

struct Drive {
    char letter;
    const char* label;  // nullptr: no label file
    Content content;
};

void add(TestDrives& drives, const Drive& d) {
    if (d.content == Content::dangling) return drives.link(d.letter, drives.folder("gone"));
    const std::string root = drives.add(d.letter, d.label ? d.label : "");
    if (d.content != Content::nothing && d.content != Content::archive_pair)
        for (const char* name : {"config.dat", "cnav.dat", "patient.wav", "ecg.dat"})
            write_file(root + "/" + name, "x");
    if (d.content == Content::archive_pair || d.content == Content::both) {
        write_file(root + "/REC1.LDSC", "s");
        write_file(root + "/REC1.LECG", "e");
    }
    if (d.content == Content::network)
        drives.use_mount_table("server:/export " + root + " nfs4 rw,hard 0 0\n");
}

}  // namespace

TEST(CardSearch, ChoosesAmongLabelledDrivesAndTheDefaultDrive) {
    constexpr Content N = Content::nothing, F = Content::card_files, A = Content::archive_pair,
                      B = Content::both, X = Content::dangling, W = Content::network;
    const char* V = "VNT_CFR";
    const struct {
        const char* name;
        std::vector<Drive> drives;
        char default_drive;
        bool accept_all;
        const char* expected;
    } cases[] = {
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
        {"dangling link", {{'D', nullptr, X}, {'F', V, F}}, '?', false, "F:"},
        // The user's own default is examined whatever it holds; without a root it holds no entry.
        {"dangling default", {{'D', nullptr, X}, {'F', V, F}}, 'D', false, "D:>2"},
        // A card in every respect but the mount that serves it.
        {"network drive", {{'E', V, W}}, '?', true, "?"},
        {"network default", {{'E', V, W}}, 'E', false, "E:"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestDrives drives;
        for (const Drive& d : c.drives)
            add(drives, d);
        const DefaultDrive chosen(c.default_drive);
        EXPECT_EQ(CCFDisk().find_card(true, c.accept_all), c.expected);
    }
}

TEST(CardSearch, AsksAgainWhileTheUserPressesOkWithTwoCardsInserted) {
    TestDrives drives;
    const DefaultDrive none('?');
    add(drives, {'F', "VNT_CFR", Content::nothing});
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
        add(drives, {'D', "VNT_CFR", Content::nothing});
        const ScriptedMessages user(c.answers, [&](size_t answer) {
            if (static_cast<int>(answer) == c.remove_d_before_answer) drives.unmap('D');
        });
        EXPECT_EQ(CCFDisk().find_card(false, true), c.expected);
        EXPECT_EQ(user.ids.size(), c.questions);
    }
}

// Floppies are told by their letter alone, without asking the system about the drive.
TEST(DriveKind, TellsFloppiesByTheLetterAndAsksTheSystemAboutOthers) {
    TestDrives drives;
    const std::string root = drives.add('E');
    EXPECT_EQ(drive_kind("e:\\sub"), kDriveKindFixed);
    drives.use_mount_table("server:/x " + root + " nfs rw 0 0\n");
    const std::pair<const char*, int> cases[] = {
        {"a:", kDriveKindFloppy}, {"B:\\data", kDriveKindFloppy}, {"E:", kDriveKindNetwork},
        {"Q:", kDriveKindOther},  {"1:", kDriveKindOther},        {"data", kDriveKindOther},
    };
    for (const auto& [path, kind] : cases)
        EXPECT_EQ(drive_kind(path), kind) << path;
}
#endif
