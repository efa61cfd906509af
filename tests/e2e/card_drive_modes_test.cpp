// The modes that find their card among the drives rather than in /ipdir=: initialising
// (/write=cnav), the patient change (/changepat=cnav), the speech probe (/wav) and the reads,
// as the calling application sees them: exit codes and what is left on the card.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "expected_output.h"
#include "harness.h"
#include "mapped_peer.h"
#include "output_files.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRecording = 4;  // cardsim's recording number
constexpr size_t kRecordingNumOffset = 1;
constexpr size_t kPatientDataNumOffset = 10;
constexpr size_t kPatientNameOffset = 96;

int word_at(const std::string& record, size_t offset) {
    return static_cast<uint8_t>(record.at(offset)) | static_cast<uint8_t>(record.at(offset + 1))
                                                         << 8;
}

std::string name_of(const std::string& record) {
    return record.substr(kPatientNameOffset,
                         record.find('\0', kPatientNameOffset) - kPatientNameOffset);
}

// A 4 MiB tmpfs: a card small enough to be filled, for as long as the object lives.
class SmallCard {
  public:
    explicit SmallCard(std::string folder) : m_folder(std::move(folder)) {
        fs::create_directory(m_folder);
        m_mounted = mount("tmpfs", m_folder.c_str(), "tmpfs", 0, "size=4m") == 0;
    }
    ~SmallCard() {
        if (m_mounted) umount2(m_folder.c_str(), MNT_DETACH);
    }
    SmallCard(const SmallCard&) = delete;
    SmallCard& operator=(const SmallCard&) = delete;
    bool mounted() const { return m_mounted; }

  private:
    std::string m_folder;
    bool m_mounted = false;
};

class CardDriveModes : public ::testing::Test {
  protected:
    void SetUp() override { fs::create_directory(out()); }
    int run(const std::string& arguments, const std::vector<std::string>& answers = {},
            const std::function<void(size_t)>& before_answer = {}) {
        EnvList env = m_drives.env();
        env.emplace_back("XDG_CONFIG_HOME", m_work.path());
        return run_kado_answering(arguments, answers, env, before_answer);
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
    void write_summary() {
        write_file(out() + "/patsumm.dat", platform_text("Bea Newman\nNEW-42\n"));
    }
    std::string out() const { return m_work / "out"; }
    std::string card() const { return m_work / "card"; }
    std::string config() const { return read_file(card() + "/config.dat"); }

    TempDir m_work;
    TestDriveSet m_drives{m_work.path()};
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
        // Selecting the drive needs the Initialise dialog's window.
        {"one card after selecting", 0, 1, true, {"y"}, 103},
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
        EXPECT_EQ(run("/write=cnav /dir=" + host_path(out()), c.answers,
                      [&](size_t question) {
                          if (question == 0) map_cards(c.cards_later);
                      }),
                  c.exit_code);
        EXPECT_EQ(config(), before);
    }
}

// A full card (no free space, as conditioning leaves it) takes the next patient without a
// question; ecg.dat stays as it was.
TEST_F(CardDriveModes, InitialiseWritesTheNextPatientIntoAFullCard) {
    const std::string root = m_work / "small";
    const SmallCard small(root);
    if (!small.mounted()) GTEST_SKIP() << "mounting a tmpfs needs root";
    ASSERT_TRUE(make_card(m_work / "made", "", {"--format=35", "--duration=1m", "--state=read"}));
    m_drives.map('E', root, "VNT_CFR");
    for (const auto& entry : fs::directory_iterator(m_work / "made"))
        fs::copy(entry.path(), root + "/" + entry.path().filename().string());
    {
        std::ofstream ecg(root + "/ecg.dat", std::ios::binary | std::ios::app);
        const std::string sector(512, '\0');
        while (ecg.write(sector.data(), sector.size()) && ecg.flush()) {
        }
    }
    const std::string ecg = read_file(root + "/ecg.dat");
    const std::string before = read_file(root + "/config.dat");
    write_summary();
    ASSERT_EQ(run("/write=cnav /dir=" + host_path(out())), 0);
    const std::string after = read_file(root + "/config.dat");
    EXPECT_EQ(word_at(after, kRecordingNumOffset), word_at(before, kRecordingNumOffset) + 1);
    EXPECT_EQ(word_at(after, kPatientDataNumOffset), word_at(after, kRecordingNumOffset));
    EXPECT_EQ(name_of(after), "Bea Newman");
    EXPECT_EQ(read_file(root + "/ecg.dat"), ecg);
}

// An empty medium in the default drive, conditioned when the user agrees, then initialised.
TEST_F(CardDriveModes, InitialiseConditionsASmallCardInTheDefaultDriveThenInitialisesIt) {
    if (under_wine()) GTEST_SKIP() << "headless Wine never agrees to conditioning";
    const std::string root = m_work / "small";
    const SmallCard small(root);
    if (!small.mounted()) GTEST_SKIP() << "mounting a tmpfs needs root";
    m_drives.map('E', root, "");
    fs::create_directory(m_work / "kado");
    write_file(m_work / "kado/profile.ini", "[Settings]\nDefault Drive=69\n");
    write_summary();
    ASSERT_EQ(run("/write=cnav /dir=" + host_path(out()), {"y"}), 0);
    EXPECT_EQ(fs::space(root).available, 0u);
    const std::string ecg = read_file(root + "/ecg.dat");
    const std::string before = read_file(root + "/config.dat");
    ASSERT_EQ(run("/write=cnav /dir=" + host_path(out())), 0);
    const std::string after = read_file(root + "/config.dat");
    EXPECT_GT(word_at(after, kRecordingNumOffset), word_at(before, kRecordingNumOffset));
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
        m_drives.unmap('F');
        card_in('E', card(), c.options);
        if (c.cards == 0) m_drives.unmap('E');
        if (c.cards == 2) card_in('F', m_work / "second");
        const std::string before = config();
        EXPECT_EQ(run("/changepat=cnav /dir=" + host_path(out()) + c.extra), c.exit_code);
        EXPECT_EQ(name_of(config()), c.exit_code == 0 ? "Bea Newman" : name_of(before));
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
        m_drives.unmap('F');
        card_in('E', card());
        if (c.cards == 0) m_drives.unmap('E');
        if (c.cards == 2) card_in('F', m_work / "second");
        fs::remove_all(out());
        fs::create_directory(out());
        EXPECT_EQ(run(std::string(c.arguments) + " /dir=" + host_path(out())), c.exit_code);
        EXPECT_TRUE(c.delivered != nullptr ? fs::exists(out() + "/" + c.delivered)
                                           : fs::is_empty(out()));
        EXPECT_EQ(word_at(config(), kRecordingNumOffset), c.recording_num);
    }
}

// Five minutes at full resolution, then the padding to 20 minutes, handed to a live receiver.
TEST_F(CardDriveModes, MappedReadFromADriveReachesTheReceiver) {
    ASSERT_TRUE(make_card(card(), m_work / "intended", {"--format=35", "--duration=5m"}));
    m_drives.map('E', card(), "VNT_CFR");
    m_drives.env();  // under Wine a restart of the server now, not under the running peer
    const std::string base = unique_section_base();
    MappedPeer peer(m_work.path(), {"--base=" + base, "--create=29491200"});
    ASSERT_EQ(run("/readecg=hide /opformat=mmf /resolution=8 /basemmfname=" + base +
                  " /instance=" + base + " /dir=" + host_path(out())),
              0);
    ASSERT_EQ(peer.wait(), 0);
    expected::ReadSettings settings;
    settings.preamble_seconds = 80;  // start 10:15:20 and 60 calibration seconds
    settings.duration_hours = 24;
    settings.pad = false;
    for (int channel = 1; channel <= 3; ++channel) {
        std::vector<uint16_t> want = expected::raw_channel(
            read_words(m_work / ("intended/channel" + std::to_string(channel) + ".dat")), settings);
        want.resize(153600, 0);
        EXPECT_EQ(first_difference(read_words(peer.channel_file(channel)), want), -1) << channel;
    }
    EXPECT_EQ(word_at(config(), kRecordingNumOffset), kRecording + 1);
}
