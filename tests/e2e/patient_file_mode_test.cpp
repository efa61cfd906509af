// Run mode 14 (/setpat=) end to end: the patient's name and identifier from an INI file into the
// record of the card found on the drives, with the same INI files for both builds (the Linux
// program answers on standard input, which is empty here).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "harness.h"
#include "output_files.h"

namespace {

constexpr size_t kPatientNameOffset = 96;
constexpr size_t kPatientIdOffset = 256;
constexpr size_t kFieldWidth = 160;

constexpr char kValidFile[] =
    "; written by the analysis application\r\n"
    "[Patient Details]\r\n"
    "PatientName=Bea Newman ; ward 4\r\n"
    "PatientId=NEW-42\r\n";

std::string field(const std::string& record, size_t offset) {
    const std::string text = record.substr(offset, kFieldWidth);
    return text.substr(0, text.find('\0'));
}

// The record with both patient fields blanked: what mode 14 must leave as it was.
std::string without_patient(std::string record) {
    record.replace(kPatientNameOffset, 2 * kFieldWidth, 2 * kFieldWidth, '\0');
    return record;
}

class PatientFileMode : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(make_card(
            card(), "",
            {"--format=35", "--duration=2m", "--patient-name=Ann Example", "--patient-id=ID-7"}));
        write_file(ini(), kValidFile);
    }
    int run(const std::string& ini_path) {
        EnvList env = m_drives.env();
        env.emplace_back("XDG_CONFIG_HOME", m_work.path());
        return run_kado("/setpat=" + host_path(ini_path), env);
    }
    std::string card() const { return m_work / "card"; }
    std::string ini() const { return m_work / "patient.ini"; }
    std::string config() const { return read_file(card() + "/config.dat"); }

    TempDir m_work;
    TestDriveSet m_drives{m_work.path()};
};

TEST_F(PatientFileMode, WritesNameAndIdentifierAndNothingElseIntoTheCardsRecord) {
    m_drives.map('E', card(), "VNT_CFR");
    const std::string before = config();
    ASSERT_EQ(before.size(), 512u);
    ASSERT_EQ(run(ini()), 0);
    const std::string after = config();
    ASSERT_EQ(after.size(), 512u);
    // Cut before the comment's semicolon, the blank before it kept.
    EXPECT_EQ(field(after, kPatientNameOffset), "Bea Newman ");
    EXPECT_EQ(field(after, kPatientIdOffset), "NEW-42");
    EXPECT_EQ(without_patient(after), without_patient(before));
}

TEST_F(PatientFileMode, WritesAReadOnlyRecordAndLeavesItReadOnly) {
    namespace fs = std::filesystem;
    m_drives.map('E', card(), "VNT_CFR2");
    const std::string record = card() + "/config.dat";
    fs::permissions(record,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    ASSERT_EQ(run(ini()), 0);
    EXPECT_EQ(field(config(), kPatientIdOffset), "NEW-42");
    EXPECT_EQ(fs::status(record).permissions() & fs::perms::owner_write, fs::perms::none);
}

TEST_F(PatientFileMode, ReportsEachFailureWithItsExitCodeAndLeavesTheCardAlone) {
    const struct {
        const char* name;
        const char* ini_text;  // nullptr: no file at all
        int exit_code;
    } cases[] = {
        {"no file", nullptr, 118},
        {"no section header", "PatientName=Bea\r\nPatientId=7\r\n", 119},
        {"last section empty", "[Patient Details]\r\nPatientName=Bea\r\nPatientId=7\r\n[End]\r\n",
         118},
        {"no name", "[Patient Details]\r\nPatientId=7\r\n", 119},
        {"empty name", "[Patient Details]\r\nPatientName=\r\nPatientId=7\r\n", 119},
        {"name only a comment", "[Patient Details]\r\nPatientName=;Bea\r\nPatientId=7\r\n", 119},
        {"no identifier", "[Patient Details]\r\nPatientName=Bea\r\n", 120},
        {"other section", "[Patient]\r\nPatientName=Bea\r\nPatientId=7\r\n", 119},
    };
    m_drives.map('E', card(), "VNT_CFR");
    const std::string before = config();
    for (const auto& c : cases) {
        const std::string path = m_work / "case.ini";
        std::filesystem::remove(path);
        if (c.ini_text != nullptr) write_file(path, c.ini_text);
        EXPECT_EQ(run(path), c.exit_code) << c.name;
        EXPECT_EQ(config(), before) << c.name;
    }
}

TEST_F(PatientFileMode, NeedsExactlyOneCardAmongTheDrives) {
    const std::string before = config();
    // No drive carries the card's label.
    m_drives.map('E', card(), "DATA");
    EXPECT_EQ(run(ini()), 102);
    // A link to nothing is no drive.
    m_drives.link('D', m_work / "gone");
    EXPECT_EQ(run(ini()), 102);
    // Two cards: neither is chosen.
    m_drives.map('E', card(), "VNT_CFR");
    m_drives.map('F', m_work / "second", "VNT_CFR");
    EXPECT_EQ(run(ini()), 117);
    EXPECT_EQ(config(), before);
    // A labelled drive without the card's record is found but cannot take the patient.
    m_drives.unmap('E');
    EXPECT_EQ(run(ini()), 103);
    EXPECT_FALSE(std::filesystem::exists(m_work / "second/config.dat"));
}

}  // namespace
