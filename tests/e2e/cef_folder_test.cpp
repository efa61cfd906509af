// Inputs that already hold an unpacked recording: the patient files and channel exit codes of the
// patient read modes, the ECG through the plain-named sections in the ECG read mode, and the
// modes without such an output.
#include "harness.h"
#include "mapped_peer.h"

namespace {

constexpr uint32_t kHourBytes = 921600;

std::string channel_bytes(int channel, uint32_t size) {
    std::string bytes(size, '\0');
    for (uint32_t i = 0; i + 1 < size; i += 2) {
        const uint32_t word = (i / 2 * 7 + static_cast<uint32_t>(channel) * 1000) & 0x0FFF;
        bytes[i] = static_cast<char>(word & 0xFF);
        bytes[i + 1] = static_cast<char>(word >> 8);
    }
    return bytes;
}

// The input folder takes the card's place in the work folder.
class CefFolder : public ::testing::Test {
  protected:
    CefFolder() { std::filesystem::create_directory(work.card()); }
    // The whole file set of an unpacked recording, each channel file channel_size bytes long.
    void make_full(int channels, uint32_t channel_size = 4096) {
        for (const char* name : {"PATIENT.WAV", "PATEVENT.DAT", "PATIENT.TXT", "PATSUMM.DAT",
                                 "OTHER.DAT", "CNAVOP.DAT"})
            write_file(in(name), std::string(name) + " of the recording\n");
        for (int n = 1; n <= channels; ++n)
            write_file(channel_path(n), channel_bytes(n, channel_size));
    }
    std::string in(const std::string& name) const { return work.card() + "/" + name; }
    std::string channel_path(int n) const { return in("RAWECG" + std::to_string(n) + ".DAT"); }

    CardWork work;
};

}  // namespace

TEST_F(CefFolder, DescriptionOnlyFolderIsAcceptedAndReportsOneChannel) {
    for (const char* name : {"CEFDESC.TXT", "PATIENT.TXT"})
        write_file(in(name), "text\n");
    write_file(channel_path(1), channel_bytes(1, 64));
    EXPECT_EQ(work.run("/readpat=path"), 115);
    EXPECT_TRUE(std::filesystem::is_empty(work.out()));
}

TEST_F(CefFolder, ModesWithoutACefOutputOrFormatFail) {
    make_full(3);
    EXPECT_EQ(work.run("/readpat=stand"), 122);
    EXPECT_EQ(work.run("/readecg=hide /opformat=archive"), 105);
    EXPECT_FALSE(std::filesystem::exists(work.out("OTHER.DAT")));
}

TEST_F(CefFolder, EcgModeHandsTheWindowAfterTheSkipToTheReceiverUnderPlainNames) {
    const PlainSectionTurn turn;
    make_full(2, 3 * kHourBytes);
    write_file(in("PATEVENT.DAT"), "100\n3700\n7199\n7200\n9000\n");
    MappedPeer peer(work.path(), {"--channels=2", "--create=29491200"});
    // The base name applies to card reads only.
    EXPECT_EQ(work.run("/readecg=hide /opformat=mmf /skip=1 /duration=1 /basemmfname=unused"), 0);
    ASSERT_EQ(peer.wait(), 0);
    for (int n = 1; n <= 2; ++n) {
        const std::string bytes = read_file(channel_path(n)).substr(kHourBytes, kHourBytes);
        EXPECT_TRUE(read_file(peer.channel_file(n)) == bytes) << n;
    }
    EXPECT_EQ(read_file(peer.events_file()), "100\n3599\n");
    EXPECT_EQ(read_file(work.out("OTHER.DAT")), read_file(in("OTHER.DAT")));
}

TEST_F(CefFolder, SkipBeyondTheChannelFilesFailsWith105AndStillFinishes) {
    const PlainSectionTurn turn;
    make_full(2, 2 * kHourBytes);
    MappedPeer peer(work.path(), {"--channels=2", "--create=29491200"});
    EXPECT_EQ(work.run("/readecg=hide /opformat=path /skip=24"), 105);
    ASSERT_EQ(peer.wait(), 0);
    EXPECT_TRUE(read_file(peer.channel_file(1)).empty());
}
