// Card reads handed to a running receiver through the named memory-mapped sections (/opformat=mmf
// and /opformat=path): the receiver's samples against the recording, the padding, the names
// under /basemmfname=, and the 32-hour capacity of the program's own sections.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <string>
#include <utility>
#include <vector>

#include "expected_output.h"
#include "harness.h"
#include "mapped_peer.h"

namespace {

constexpr uint32_t kOwnSectionBytes = 29491200;
constexpr size_t kOwnSectionSamples = kOwnSectionBytes / 2;
// Cards start at 10:15:20: 60 calibration seconds make an 80 s preamble.
constexpr int kPreamble = 80;

class MappedCardRead : public ::testing::Test {
  protected:
    int read(const std::string& arguments) {
        // The instance names the terminator event too, which then no other run can signal.
        return work.read(
            "/readecg=hide " + arguments + " /basemmfname=" + m_base + " /instance=" + m_base, {},
            600);
    }
    // The recording's words at full resolution, without the archive road's padding.
    std::vector<uint16_t> recorded(int channel, int duration_hours) const {
        expected::ReadSettings settings;
        settings.preamble_seconds = kPreamble;
        settings.duration_hours = duration_hours;
        settings.pad = false;
        return expected::raw_channel(
            read_words(work.intended() + "/channel" + std::to_string(channel) + ".dat"), settings);
    }
    // The receiver's samples of every channel against the recording cut or padded to `count`.
    void expect_samples(const MappedPeer& peer, int duration_hours, size_t count) const {
        for (int channel = 1; channel <= 3; ++channel) {
            std::vector<uint16_t> want = recorded(channel, duration_hours);
            want.resize(count, 0);
            const std::vector<uint16_t> got = read_words(peer.channel_file(channel));
            EXPECT_EQ(got.size(), want.size()) << channel;
            EXPECT_EQ(first_difference(got, want), -1) << channel;
        }
    }

    CardWork work;
    std::string m_base = unique_section_base();
};

struct PaddingCase {
    const char* format;
    size_t final_count;
};

class MappedCardPadding : public MappedCardRead,
                          public ::testing::WithParamInterface<PaddingCase> {};

}  // namespace

// Five minutes: format 4 pads to 20 minutes, format 1 a further ten minutes less one sample.
TEST_P(MappedCardPadding, ReceiverGetsTheRecordingAtFullResolutionThenThePadding) {
    ASSERT_TRUE(work.make(
        {"--format=35", "--duration=5m", "--event=30", "--event=75", "--pacing=70"}, true));
    MappedPeer peer(work.path(),
                    {"--base=" + m_base, "--create=" + std::to_string(kOwnSectionBytes)});
    ASSERT_EQ(read(std::string("/opformat=") + GetParam().format + " /resolution=8"), 0);
    ASSERT_EQ(peer.wait(), 0);
    expect_samples(peer, 24, GetParam().final_count);
    EXPECT_EQ(read_file(peer.events_file()), "110\n155\n");
}

INSTANTIATE_TEST_SUITE_P(Formats, MappedCardPadding,
                         ::testing::Values(PaddingCase{"mmf", 153600},
                                           PaddingCase{"path", 153600 + 76799}),
                         [](const auto& param_info) {
                             return std::string(param_info.param.format);
                         });

namespace {

// The receiver either waits for the read's sections or makes them first.
class MappedCardStaleSections : public MappedCardRead, public ::testing::WithParamInterface<bool> {
  protected:
    // Sections as a read killed mid-way leaves them on Linux: nobody holds them, the counts stand
    // at 1000 and every channel is marked finished.
    void plant_stale_sections() {
        std::string control(48, '\0');
        for (int record = 0; record < 3; ++record) {
            control[16 * record + 1] = 0x03;  // count 1000 = 0x03E8
            control[16 * record] = static_cast<char>(0xE8);
            control[16 * record + 8] = 1;
        }
        plant("ECGCTRL.MMF", control);
        for (int channel = 1; channel <= 3; ++channel)
            plant("RAWECG" + std::to_string(channel) + ".MMF", std::string(2000, 0x55));
        plant("Patient Events", std::string("\3\0\0\0", 4) + std::string(12, 0x11));
    }
    ~MappedCardStaleSections() override {
        for (const std::string& file : m_planted)
            std::filesystem::remove(file);
    }

  private:
    void plant(const std::string& name, const std::string& bytes) {
        m_planted.push_back("/dev/shm/" + m_base + name);
        write_file(m_planted.back(), bytes);
    }
    std::vector<std::string> m_planted;
};

}  // namespace

TEST_P(MappedCardStaleSections, AreNeitherInheritedByTheNextReadNorHandedToItsReceiver) {
    if (under_wine()) GTEST_SKIP() << "Windows removes a section with its last handle";
    // Long enough that a waiting receiver finds the sections while the read still writes.
    ASSERT_TRUE(work.make({"--format=35", "--duration=6h"}, true));
    plant_stale_sections();
    std::vector<std::string> options = {"--base=" + m_base};
    if (GetParam()) options.push_back("--create=" + std::to_string(kOwnSectionBytes));
    MappedPeer peer(work.path(), options);
    ASSERT_EQ(read("/opformat=mmf"), 0);
    ASSERT_EQ(peer.wait(), 0);
    for (int channel = 1; channel <= 3; ++channel) {
        const std::vector<uint16_t> want = recorded(channel, 24);
        const std::vector<uint16_t> got = read_words<uint16_t>(peer.channel_file(channel));
        EXPECT_EQ(got.size(), want.size()) << channel;
        EXPECT_EQ(first_difference(got, want), -1) << channel;
    }
    EXPECT_EQ(read_file(peer.events_file()), "");
}

INSTANTIATE_TEST_SUITE_P(Receivers, MappedCardStaleSections, ::testing::Bool(),
                         [](const auto& param_info) {
                             return std::string(param_info.param ? "ReceiverMakesThemFirst"
                                                                 : "ReceiverWaitsForThem");
                         });

namespace {

// A 16 MiB tmpfs on an empty folder, for as long as the object lives.
class SmallTmpfs {
  public:
    explicit SmallTmpfs(std::string folder) : m_folder(std::move(folder)) {
        std::filesystem::create_directory(m_folder);
        m_mounted = mount("tmpfs", m_folder.c_str(), "tmpfs", 0, "size=16m") == 0;
    }
    ~SmallTmpfs() {
        if (m_mounted) umount2(m_folder.c_str(), MNT_DETACH);
    }
    SmallTmpfs(const SmallTmpfs&) = delete;
    SmallTmpfs& operator=(const SmallTmpfs&) = delete;
    bool mounted() const { return m_mounted; }

  private:
    std::string m_folder;
    bool m_mounted = false;
};

}  // namespace

// Docker's /dev/shm of 64 MiB cannot take the 88.5 MB of a read's sections: the read reports
// the missing sections (message 141) and fails, instead of dying of SIGBUS on the way.
TEST_F(MappedCardRead, SharedMemoryTooSmallForTheSectionsFailsTheReadWith108) {
    if (under_wine()) GTEST_SKIP() << "the folder of shared-memory objects is a Linux matter";
    const std::string shm = work.path() + "/shm";
    const SmallTmpfs tmpfs(shm);
    if (!tmpfs.mounted()) GTEST_SKIP() << "mounting a tmpfs needs root";
    ASSERT_TRUE(work.make({"--format=35", "--duration=5m"}));
    const std::string config = read_file(work.card() + "/config.dat");
    EXPECT_EQ(work.read("/readecg=hide /opformat=mmf", {{"KADO_SHM_DIR", shm}}), 108);
    EXPECT_EQ(read_file(work.card() + "/config.dat"), config);
    EXPECT_TRUE(std::filesystem::is_empty(shm));
}

// A 40-hour recording: the program's own sections end every channel at 32 hours; sections the
// receiver made larger beforehand take all of it.
TEST_F(MappedCardRead, FortyHoursFillOurOwnSectionsExactlyAndLargerOnesWhole) {
    ASSERT_TRUE(work.make({"--format=35", "--duration=40h"}, true));
    {
        MappedPeer peer(work.path(), {"--base=" + m_base});
        ASSERT_EQ(read("/opformat=mmf"), 0);
        ASSERT_EQ(peer.wait(), 0);
        expect_samples(peer, 192, kOwnSectionSamples);
    }
    m_base = unique_section_base();
    MappedPeer peer(work.path(), {"--base=" + m_base, "--create=37000000"});
    ASSERT_EQ(read("/opformat=mmf"), 0);
    ASSERT_EQ(peer.wait(), 0);
    expect_samples(peer, 192, size_t{40} * 460800 + kPreamble * 128);
}
