#include "handoff/mapped_output.h"

#include <gtest/gtest.h>

#include "extract/card_read_fixture.h"

namespace {

// 10:15:20 on 1 March 2014: with 60 calibration seconds an 80-second preamble.
constexpr TimeBytes kStart = {20, 15, 10, 1, 3, 14};
constexpr int64_t kPreamble = 80 * 128;

// The end-to-end MappedCardRead tests hand whole recordings to a receiver; these cover the
// sections a receiver made too small and the reads that fail.
class MappedRead : public CardReadTest {
  protected:
    MappedRead() { card.disk.m_read_settings = ReadSettings{0, 192, 60}; }

    SectionNames names() const { return card_road_names(settings.mmf_base_name); }
    // A 3-channel 10-bit recording of `seconds`, every 100th sector marked as a patient event.
    void write_recording(int seconds) {
        std::vector<Sector> sectors = {start_sector(2, kStart)};
        for (int s = 0; s < seconds; ++s)
            sectors.push_back(packed_sector({101, 0, 1023}, {5}, s % 100 == 0));
        sectors.push_back(Sector{});
        card.write(sectors);
    }
};

}  // namespace

TEST_F(MappedRead, ChannelsEndAtTheCapacityOfSectionsTheReceiverMadeSmaller) {
    // 20480 samples for channels 1 and 3, 4096 for channel 2; whole pages on both platforms.
    MappedReceiver receiver(names(), 1, 40960);
    MappedSection small(names().samples[1], 8192, true);
    MappedSection third(names().samples[2], 40960, true);
    write_recording(300);
    ASSERT_TRUE(read(kFormatPath));
    EXPECT_EQ(receiver.count(0), 20480u);
    EXPECT_EQ(receiver.count(1), 4096u);
    EXPECT_EQ(receiver.count(2), 20480u);
    EXPECT_EQ(receiver.finished(1), 1u);
    // The read ended as at the duration limit: the last second written is 80 + 79.
    EXPECT_EQ(receiver.events(), (std::vector<int32_t>{80}));
}

TEST_F(MappedRead, MissingSectionFailsTheReadAndMarksTheExistingChannelsFinished) {
    // An event section too small for its 4096 entries cannot be used.
    MappedReceiver receiver(names(), 3, kSampleSectionSize, 4096);
    write_recording(10);
    EXPECT_FALSE(read(kFormatMmf));
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(receiver.count(c), 0u);
        EXPECT_EQ(receiver.finished(c), 1u);
    }
}

TEST_F(MappedRead, FailedReadStillPadsAndFinishesAndANewReadStartsFromZero) {
    MappedReceiver receiver(names(), 3, kSampleSectionSize);
    // Left over from an earlier read into the same sections.
    put_u32le(receiver.control().view(), 999999);
    put_u32le(receiver.control().view() + kFinishedOffset, 1);
    Sector damaged = sealed(SectorBuilder(0x30).field(0, 101).build());
    damaged[100] ^= 0x01;
    card.write({start_sector(48, kStart), sealed(SectorBuilder(0x30).field(0, 101).build()),
                damaged, Sector{}});
    EXPECT_FALSE(read(kFormatMmf));
    EXPECT_EQ(receiver.count(0), 153600u);
    EXPECT_EQ(receiver.samples(0)[kPreamble], 404);
    EXPECT_EQ(receiver.samples(0)[kPreamble + 127], 4);
    EXPECT_EQ(receiver.samples(0)[kPreamble + 128], 0);
    EXPECT_EQ(receiver.finished(0), 1u);
}

// Without a receiver the output makes its sections itself, 32 hours each: a longer recording fills
// them exactly and the read ends there as at its duration limit.
TEST(MappedOwnSections, AreFilledToTheirEndAndStopTheRead) {
    const SectionNames names = card_road_names(unique_base_name());
    MappedOutput output(40 * kTimePointsPerHour, false, names);
    ASSERT_TRUE(output.open());
    output.begin_recording({3, 0});
    DecodedBlock second;
    for (BlockSamples& channel : second.channels)
        channel.fill(2048);
    int64_t seconds = 0;
    for (; output.below_limit() && seconds < 40 * 3600; ++seconds)
        output.write_second(second);
    EXPECT_EQ(seconds * kSamplesPerBlock, kSampleSectionSize / 2);
    MappedSection control, samples;
    ASSERT_TRUE(control.open_existing(names.control, false));
    ASSERT_TRUE(samples.open_existing(names.samples[2], false));
    EXPECT_EQ(samples.size(), kSampleSectionSize);
    for (size_t channel = 0; channel < 3; ++channel)
        EXPECT_EQ(get_u32le(control.view() + kControlRecordSize * channel + kSampleCountOffset),
                  kSampleSectionSize / 2);
}
