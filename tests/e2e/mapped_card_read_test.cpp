// Card reads handed to a running receiver through the named memory-mapped sections (/opformat=mmf
// and /opformat=path): the receiver's samples against the recording, the padding, the names
// under /basemmfname=, the 32-hour capacity of the program's own sections, and a salvage read.
#include <cmath>

#include "expected_output.h"
#include "harness.h"
#include "mapped_peer.h"

namespace {

// Sections of the size the program makes its own.
constexpr char kOwnSize[] = "--create=29491200";
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
        return expected::raw_channel(
            read_words(work.intended() + "/channel" + std::to_string(channel) + ".dat"),
            {.preamble_seconds = kPreamble, .duration_hours = duration_hours, .pad = false});
    }
    // The receiver's samples of every channel against the recording cut or padded to `count`.
    void expect_samples(const MappedPeer& peer, int duration_hours, size_t count) const {
        for (int channel = 1; channel <= 3; ++channel) {
            std::vector<uint16_t> want = recorded(channel, duration_hours);
            want.resize(count, 0);
            const std::vector<uint16_t> got = read_words(peer.channel_file(channel));
            EXPECT_EQ(first_difference(got, want), -1) << channel;
        }
    }

    CardWork work;
    std::string m_base = unique_section_base();
};

}  // namespace

// Five minutes: format 4 pads to 20 minutes, format 1 a further ten minutes less one sample.
TEST_F(MappedCardRead, ReceiverGetsTheRecordingAtFullResolutionThenThePadding) {
    ASSERT_TRUE(work.make(
        {"--format=35", "--duration=5m", "--event=30", "--event=75", "--pacing=70"}, true));
    for (const auto& [format, final_count] :
         {std::pair{"mmf", size_t{153600}}, std::pair{"path", size_t{153600 + 76799}}}) {
        SCOPED_TRACE(format);
        m_base = unique_section_base();
        MappedPeer peer(work.path(), {"--base=" + m_base, kOwnSize});
        ASSERT_EQ(read(std::string("/opformat=") + format + " /resolution=8"), 0);
        ASSERT_EQ(peer.wait(), 0);
        expect_samples(peer, 24, final_count);
        EXPECT_EQ(read_file(peer.events_file()), "110\n155\n");
    }
}

// A 40-hour recording goes whole into sections the receiver made larger beforehand. (The
// program's own sections end at 32 hours; a receiver that waits for them could miss a read this
// short, so that is the unit tests' to check.)
TEST_F(MappedCardRead, FortyHoursGoWholeIntoLargerSections) {
    ASSERT_TRUE(work.make({"--format=35", "--duration=40h"}, true));
    MappedPeer peer(work.path(), {"--base=" + m_base, "--create=37000000"});
    ASSERT_EQ(read("/opformat=mmf"), 0);
    ASSERT_EQ(peer.wait(), 0);
    expect_samples(peer, 192, size_t{40} * 460800 + kPreamble * 128);
}

// A salvage read hands the receiver every second around a damaged sector: the counts grow on
// past the gap, the channels end finished, and salvage.txt accounts for the gap's seconds.
TEST_F(MappedCardRead, SalvageReadCarriesOnPastADamagedSector) {
    ASSERT_TRUE(work.make({"--format=35", "--duration=25m", "--seek-interval=1m"}, true));
    std::vector<uint8_t> ecg = read_bytes(work.card() + "/ecg.dat");
    std::vector<size_t> compressed;
    for (size_t i = 0; (i + 1) * 512 <= ecg.size(); ++i)
        if (ecg[i * 512] == 0x23) compressed.push_back(i);
    ASSERT_FALSE(compressed.empty());
    const size_t damaged = compressed[compressed.size() / 2];
    std::fill_n(ecg.begin() + static_cast<long>(damaged * 512), 512, 0);
    write_bytes(work.card() + "/ecg.dat", ecg);

    // The receiver makes the sections first: a short read could otherwise come and go between
    // two looks of a receiver that waits for the program's.
    MappedPeer peer(work.path(), {"--base=" + m_base, kOwnSize});
    ASSERT_EQ(read("/opformat=mmf /salvage"), 0);
    ASSERT_EQ(peer.wait(), 0);
    const std::string report = read_file(work.out("salvage.txt"));
    const std::string range = "damaged sectors " + std::to_string(damaged) + "-";
    EXPECT_NE(report.find(range), std::string::npos) << report;
    const size_t lost_at = report.find("seconds lost: ");
    ASSERT_NE(lost_at, std::string::npos) << report;
    const long lost = std::lround(std::stod(report.substr(lost_at + 14)) * 128);
    EXPECT_GT(lost, 0);
    for (int channel = 1; channel <= 3; ++channel) {
        SCOPED_TRACE(channel);
        const std::vector<uint16_t> want = recorded(channel, 192);
        const std::vector<uint16_t> got = read_words(peer.channel_file(channel));
        ASSERT_EQ(got.size(), want.size());
        long gaps = 0, wrong = 0;
        for (size_t i = 0; i < want.size(); ++i) {
            if (got[i] == 0 && want[i] != 0) ++gaps;
            if (got[i] != 0 && got[i] != want[i]) ++wrong;
        }
        EXPECT_EQ(wrong, 0);
        EXPECT_EQ(gaps, lost);
    }
}
