// The modes that find their card among the drives rather than in /ipdir=: initialising
// (/write=cnav), the patient change (/changepat=cnav), the speech probe (/wav), the patient's
// name and identifier from an INI file (/setpat=, the same files for both builds) and the reads,
// as the calling application sees them: exit codes and what is left on the card.
#include "harness.h"
#include "scratch_tmpfs.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRecording = 4;  // cardsim's recording number

class CardDriveModes : public DriveTest {
  protected:
    int run(const std::string& arguments, const std::vector<std::string>& answers = {},
            const std::function<void(size_t)>& before_answer = {}) {
        return run_kado_answering(arguments, answers, env(), before_answer);
    }
    // A fresh card in the folder, and that mapped as the drive with the card's label.
    void make(const std::string& folder, std::vector<std::string> options = {}) {
        options.insert(options.begin(), {"--format=35", "--duration=2m"});
        ASSERT_TRUE(make_card(folder, "", options));
    }
    void card_in(char letter, const std::string& folder, std::vector<std::string> options = {}) {
        make(folder, std::move(options));
        m_drives.map(letter, folder, "VNT_CFR");
    }
    // The card in E:, beside a second card in F: for two, and no drive for none.
    void cards(int count, const std::vector<std::string>& options = {}) {
        m_drives.unmap('F');
        card_in('E', card(), options);
        if (count == 0) m_drives.unmap('E');
        if (count == 2) card_in('F', m_work / "second");
    }
    void write_summary() {
        write_file(out() + "/patsumm.dat", platform_text("Bea Newman\nNEW-42\n"));
    }
    std::string config() const { return read_file(card() + "/config.dat"); }
};

constexpr char kValidFile[] =
    "; written by the analysis application\r\n"
    "[Patient Details]\r\n"
    "PatientName=Bea Newman ; ward 4\r\n"
    "PatientId=NEW-42\r\n";

// The record with both patient fields blanked: what /setpat= must leave as it was.
std::string without_patient(std::string record) {
    record.replace(kPatientNameOffset, 320, 320, '\0');
    return record;
}

class PatientFileMode : public CardDriveModes {
  protected:
    void SetUp() override {
        make(card(), {"--patient-name=Ann Example", "--patient-id=ID-7"});
        write_file(ini(), kValidFile);
    }
    int set_patient(const std::string& ini_path) { return run("/setpat=" + host_path(ini_path)); }
    std::string ini() const { return m_work / "patient.ini"; }
};

}  // namespace

TEST_F(CardDriveModes, InitialiseExitCodesLeaveTheCardAlone) {
    const struct {
        const char* name;
        int cards_at_once;  // mapped before the run
        int cards_later;    // mapped while the program asks whether to select a drive
        bool summary;
        std::vector<std::string> answers;
        int exit_code;
    } cases[] = {
        {"no card, no drive selected", 0, 0, true, {"n"}, 102},
        {"no card, input ended", 0, 0, true, {}, 102},
        // A folder drive has room left: unconditioned, and conditioning it is declined.
        {"unconditioned card", 1, 0, true, {"n"}, 104},
        {"no patient summary", 1, 0, false, {}, 106},
        {"two cards, warning cancelled", 2, 0, true, {"c"}, 104},
        // The dialog for the selected drive, left at the end of input.
        {"one card after selecting", 0, 1, true, {"y"}, 104},
        {"two cards after selecting", 0, 2, true, {"y"}, 117},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.cards_later > 0 && under_wine()) continue;  // headless Wine never answers Yes
        fs::remove(out() + "/patsumm.dat");
        if (c.summary) write_summary();
        m_drives.unmap('E');
        m_drives.unmap('F');
        make(card());
        const std::string before = config();
        const auto map_cards = [&](int count) {
            if (count >= 1) m_drives.map('E', card(), "VNT_CFR");
            if (count >= 2) card_in('F', m_work / "second");
        };
        map_cards(c.cards_at_once);
        const auto at_question = [&](size_t question) {
            map_cards(question == 0 ? c.cards_later : 0);
        };
        EXPECT_EQ(run("/write=cnav /dir=" + host_path(out()), c.answers, at_question), c.exit_code);
        EXPECT_EQ(config(), before);
    }
}

// Both programs: the dialogs end as Exit when there is nothing to answer them (the end of standard
// input on Linux, no display for the windows under headless Wine), and the card stays as it was.
TEST_F(CardDriveModes, DialogsLeftWithoutAnswersEndAsExit) {
    const struct {
        const char* arguments;
        int cards;
        int exit_code;
    } cases[] = {
        {"/write=path", 1, 104}, {"/write=scan", 1, 104},  {"/write=westbury", 1, 104},
        {"/write=stand", 1, 0},  {"/readpat=stand", 1, 0}, {"/readecg=stand", 1, 0},
        {"/write=stand", 0, 0},  {"/readpat=stand", 0, 0}, {"/readecg=stand", 0, 0},
    };
    write_summary();
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.arguments) + " cards " + std::to_string(c.cards));
        cards(c.cards, {"--state=read"});
        const std::string before = config();
        EXPECT_EQ(run(std::string(c.arguments) + " /dir=" + host_path(out())), c.exit_code);
        EXPECT_EQ(config(), before);
    }
}

// A full card (no free space, as conditioning leaves it) takes the next patient without a
// question; ecg.dat stays as it was.
TEST_F(CardDriveModes, InitialiseWritesTheNextPatientIntoAFullCard) {
    const std::string root = m_work / "small";
    const ScratchTmpfs small(root, 4 << 20);
    SKIP_UNLESS_MOUNTED(small);
    ASSERT_TRUE(copy_card_into(root, {"--format=35", "--duration=1m", "--state=read"}, true));
    const std::string ecg = read_file(root + "/ecg.dat");
    const std::string before = read_file(root + "/config.dat");
    write_summary();
    ASSERT_EQ(run("/write=cnav /dir=" + host_path(out())), 0);
    const std::string after = read_file(root + "/config.dat");
    EXPECT_EQ(record_word(after, kRecordingNumOffset),
              record_word(before, kRecordingNumOffset) + 1);
    EXPECT_EQ(record_word(after, kPatientDataNumOffset), record_word(after, kRecordingNumOffset));
    EXPECT_EQ(record_text(after), "Bea Newman");
    EXPECT_EQ(read_file(root + "/ecg.dat"), ecg);
}

TEST_F(CardDriveModes, ChangePatientExitCodes) {
    const struct {
        const char* name;
        std::vector<std::string> options;
        int cards;
        const char* extra;
        int exit_code;
    } cases[] = {
        {"patient not yet attached", {"--patient-data-num=3"}, 1, "", 0},
        {"attached, confirmed", {}, 1, " /confirmed", 0},
        {"attached, not confirmed", {}, 1, "", 116},
        {"no start sector", {"--truncate-ecg=300"}, 1, "", 108},
        {"two cards", {}, 2, "", 117},
        {"no card", {}, 0, "", 102},
    };
    write_summary();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        cards(c.cards, c.options);
        const std::string before = config();
        EXPECT_EQ(run("/changepat=cnav /dir=" + host_path(out()) + c.extra), c.exit_code);
        EXPECT_EQ(record_text(config()), c.exit_code == 0 ? "Bea Newman" : record_text(before));
        if (c.exit_code != 0) {
            EXPECT_EQ(config(), before);
        }
    }
}

TEST_F(CardDriveModes, SpeechProbeAnswersTheDriveLetterOfASpeechRecordingThatBelongs) {
    const struct {
        char letter;  // '\0': no card
        const char* speech;
        int exit_code;
    } cases[] = {
        {'E', "belongs", 'E'}, {'G', "belongs", 'G'}, {'E', "old", 0},
        {'E', "none", 0},      {'\0', "belongs", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(1, c.letter) + c.speech);
        m_drives.unmap('E');
        m_drives.unmap('G');
        card_in(c.letter != '\0' ? c.letter : 'E', card(), {std::string("--speech=") + c.speech});
        if (c.letter == '\0') m_drives.unmap('E');
        EXPECT_EQ(run("/wav"), c.exit_code);
    }
}

TEST_F(CardDriveModes, ReadsFindTheirCardInADrive) {
    const struct {
        const char* arguments;
        int cards;
        int exit_code;
        const char* delivered;  // a file in the output folder, or nothing
        int recording_num;      // config.dat's afterwards
    } cases[] = {
        {"/readpat=cnav", 1, 0, "cnav.dat", kRecording},
        {"/readecg=hide /opformat=archive", 1, 0, "rawecg1.dat", kRecording + 1},
        {"/readpat=cnav", 2, 117, nullptr, kRecording},
        {"/readecg=hide /opformat=archive", 2, 117, nullptr, kRecording},
        {"/readpat=cnav", 0, 102, nullptr, kRecording},
        {"/readecg=hide /opformat=archive", 0, 102, nullptr, kRecording},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.arguments) + " cards " + std::to_string(c.cards));
        cards(c.cards);
        fs::remove_all(out());
        fs::create_directory(out());
        EXPECT_EQ(run(std::string(c.arguments) + " /dir=" + host_path(out())), c.exit_code);
        EXPECT_TRUE(c.delivered != nullptr ? fs::exists(out() + "/" + c.delivered)
                                           : fs::is_empty(out()));
        EXPECT_EQ(record_word(config(), kRecordingNumOffset), c.recording_num);
    }
}

TEST_F(PatientFileMode, WritesNameAndIdentifierAndNothingElseIntoTheCardsRecord) {
    m_drives.map('E', card(), "VNT_CFR");
    const std::string before = config();
    ASSERT_EQ(before.size(), 512u);
    ASSERT_EQ(set_patient(ini()), 0);
    const std::string after = config();
    // Cut before the comment's semicolon, the blank before it kept.
    EXPECT_EQ(record_text(after), "Bea Newman ");
    EXPECT_EQ(record_text(after, kPatientIdOffset), "NEW-42");
    EXPECT_EQ(without_patient(after), without_patient(before));
}

TEST_F(PatientFileMode, WritesAReadOnlyRecordAndLeavesItReadOnly) {
    m_drives.map('E', card(), "VNT_CFR2");
    const std::string record = card() + "/config.dat";
    fs::permissions(record,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    ASSERT_EQ(set_patient(ini()), 0);
    EXPECT_EQ(record_text(config(), kPatientIdOffset), "NEW-42");
    EXPECT_EQ(fs::status(record).permissions() & fs::perms::owner_write, fs::perms::none);
}

TEST_F(PatientFileMode, ReportsEachFailureWithItsExitCodeAndLeavesTheCardAlone) {
    const struct {
        const char* name;
        const char* ini_text;  // nullptr: no file at all
        int exit_code;
    } cases[] = {
        {"no file", nullptr, 118},
        {"last section empty", "[Patient Details]\r\nPatientName=Bea\r\nPatientId=7\r\n[End]\r\n",
         118},
        {"no name", "[Patient Details]\r\nPatientId=7\r\n", 119},
        {"no identifier", "[Patient Details]\r\nPatientName=Bea\r\n", 120},
    };
    m_drives.map('E', card(), "VNT_CFR");
    const std::string before = config();
    for (const auto& c : cases) {
        const std::string path = m_work / "case.ini";
        std::filesystem::remove(path);
        if (c.ini_text != nullptr) write_file(path, c.ini_text);
        EXPECT_EQ(set_patient(path), c.exit_code) << c.name;
        EXPECT_EQ(config(), before) << c.name;
    }
}

TEST_F(PatientFileMode, NeedsExactlyOneCardAmongTheDrives) {
    const std::string before = config();
    // No drive carries the card's label.
    m_drives.map('E', card(), "DATA");
    EXPECT_EQ(set_patient(ini()), 102);
    // A link to nothing is no drive.
    m_drives.link('D', m_work / "gone");
    EXPECT_EQ(set_patient(ini()), 102);
    // Two cards: neither is chosen.
    m_drives.map('E', card(), "VNT_CFR");
    m_drives.map('F', m_work / "second", "VNT_CFR");
    EXPECT_EQ(set_patient(ini()), 117);
    EXPECT_EQ(config(), before);
    // A labelled drive without the card's record is found but cannot take the patient.
    m_drives.unmap('E');
    EXPECT_EQ(set_patient(ini()), 103);
    EXPECT_FALSE(std::filesystem::exists(m_work / "second/config.dat"));
}
