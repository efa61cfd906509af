// Card reads handed to a running receiver through the named memory-mapped sections (/opformat=mmf
// and /opformat=path): the receiver's samples against the recording, the padding, the names
// under /basemmfname=, and the 32-hour capacity of the program's own sections.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cardsim_runner.h"
#include "expected_output.h"
#include "harness.h"
#include "mapped_peer.h"
#include "output_files.h"

namespace {

constexpr uint32_t kOwnSectionBytes = 29491200;
constexpr size_t kOwnSectionSamples = kOwnSectionBytes / 2;
// Cards start at 10:15:20: 60 calibration seconds make an 80 s preamble.
constexpr int kPreamble = 80;

class MappedCardRead : public ::testing::Test {
  protected:
    void make(const std::vector<std::string>& options) {
        ASSERT_TRUE(make_card(card(), intended(), options));
        std::filesystem::create_directory(out());
    }
    int read(const std::string& arguments) {
        // The instance names the terminator event too, which then no other run can signal.
        return run_kado("/readecg=hide " + arguments + " /basemmfname=" + m_base + " /instance=" +
                            m_base + " /ipdir=" + host_path(card()) + " /dir=" + host_path(out()),
                        {{"XDG_CONFIG_HOME", m_work.path()}}, 600);
    }
    // The recording's words at full resolution, without the archive road's padding.
    std::vector<uint16_t> recorded(int channel, int duration_hours) const {
        expected::ReadSettings settings;
        settings.preamble_seconds = kPreamble;
        settings.duration_hours = duration_hours;
        settings.pad = false;
        return expected::raw_channel(
            read_words<uint16_t>(intended() + "/channel" + std::to_string(channel) + ".dat"),
            settings);
    }
    std::string card() const { return m_work / "card"; }
    std::string intended() const { return m_work / "intended"; }
    std::string out() const { return m_work / "out"; }

    TempDir m_work;
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
    make({"--format=35", "--duration=5m", "--event=30", "--event=75", "--pacing=70"});
    MappedPeer peer(m_work.path(),
                    {"--base=" + m_base, "--create=" + std::to_string(kOwnSectionBytes)});
    ASSERT_EQ(read(std::string("/opformat=") + GetParam().format + " /resolution=8"), 0);
    ASSERT_EQ(peer.wait(), 0);
    for (int channel = 1; channel <= 3; ++channel) {
        std::vector<uint16_t> want = recorded(channel, 24);
        want.resize(GetParam().final_count, 0);
        const std::vector<uint16_t> got = read_words<uint16_t>(peer.channel_file(channel));
        EXPECT_EQ(got.size(), want.size()) << channel;
        EXPECT_EQ(first_difference(got, want), -1) << channel;
    }
    EXPECT_EQ(read_file_text(peer.events_file()), "110\n155\n");
}

INSTANTIATE_TEST_SUITE_P(Formats, MappedCardPadding,
                         ::testing::Values(PaddingCase{"mmf", 153600},
                                           PaddingCase{"path", 153600 + 76799}),
                         [](const auto& param_info) {
                             return std::string(param_info.param.format);
                         });

// A 40-hour recording: the program's own sections end every channel at 32 hours; sections the
// receiver made larger beforehand take all of it.
TEST_F(MappedCardRead, FortyHoursFillOurOwnSectionsExactlyAndLargerOnesWhole) {
    make({"--format=35", "--duration=40h"});
    {
        MappedPeer peer(m_work.path(), {"--base=" + m_base});
        ASSERT_EQ(read("/opformat=mmf"), 0);
        ASSERT_EQ(peer.wait(), 0);
        for (int channel = 1; channel <= 3; ++channel) {
            std::vector<uint16_t> want = recorded(channel, 192);
            want.resize(kOwnSectionSamples);
            const std::vector<uint16_t> got = read_words<uint16_t>(peer.channel_file(channel));
            EXPECT_EQ(got.size(), kOwnSectionSamples) << channel;
            EXPECT_EQ(first_difference(got, want), -1) << channel;
        }
    }
    m_base = unique_section_base();
    MappedPeer peer(m_work.path(), {"--base=" + m_base, "--create=37000000"});
    ASSERT_EQ(read("/opformat=mmf"), 0);
    ASSERT_EQ(peer.wait(), 0);
    for (int channel = 1; channel <= 3; ++channel) {
        const std::vector<uint16_t> want = recorded(channel, 192);
        const std::vector<uint16_t> got = read_words<uint16_t>(peer.channel_file(channel));
        EXPECT_EQ(got.size(), size_t{40} * 460800 + kPreamble * 128) << channel;
        EXPECT_EQ(first_difference(got, want), -1) << channel;
    }
}
