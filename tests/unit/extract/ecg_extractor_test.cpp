#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "expected_output.h"
#include "extract/card_read_fixture.h"
#include "extract/patient_events.h"
#include "extract/pn12_header.h"
#include "support/byte_order.h"

namespace {

// 10:15:20 on 1 March 2014.
constexpr TimeBytes kStart = {20, 15, 10, 1, 3, 14};

TimeBytes later(int seconds) {
    const int add[] = {seconds % 60, seconds / 60 % 60, seconds / 3600 % 24, seconds / 86400};
    TimeBytes t = kStart;
    for (size_t i = 0; i < std::size(add); ++i)
        t[i] = static_cast<uint8_t>(t[i] + add[i]);
    return t;
}

class Extraction : public CardReadTest {
  protected:
    Extraction() { card.disk.m_read_settings = ReadSettings{0, 24, 0}; }

    std::vector<uint16_t> raw(int channel) const {
        return read_words(out("rawecg" + std::to_string(channel) + ".dat"));
    }
};

// Duration zero ends an archive read after the first sector with only the preamble.
TEST_F(Extraction, DurationLimitEndsTheRead) {
    card.disk.m_read_settings = ReadSettings{0, 0, 1};
    card.write(
        {start_sector(2, {0, 0, 9, 1, 3, 14}), packed_sector({100, 100, 100}, {}, true), Sector{}});
    ASSERT_TRUE(read());
    const std::vector<uint16_t> ch1 = raw(1);
    ASSERT_EQ(ch1.size(), 153600u);
    EXPECT_EQ(ch1[127], 2253);
    EXPECT_EQ(std::vector<uint16_t>(ch1.begin() + 128, ch1.end()),
              std::vector<uint16_t>(153600 - 128, 0));
    EXPECT_EQ(read_bytes(out("other.dat")).size(), 512u);
    EXPECT_EQ(read_text(out("patevent.dat")), "");

    // A pause of a week stops at the duration limit.
    card.disk.m_read_settings = ReadSettings{0, 1, 0};
    card.write({start_sector(2, kStart), packed_sector({100, 100, 100}),
                packed_sector({100, 100, 100}), start_sector(2, later(2 + 604800)),
                packed_sector({200, 200, 200}), Sector{}});
    ASSERT_TRUE(read());
    EXPECT_EQ(raw(1).size(), 460800u);
    EXPECT_EQ(read_bytes(out("other.dat")).size(), 512u + 64 + 512);
}

// A sector of another recording is passed over before the first start sector and ends the read
// after it, without error.
TEST_F(Extraction, SectorsOfAnotherRecordingArePassedOverAtFirstAndEndTheReadLater) {
    card.write({packed_sector({9, 9, 9}, {}, false, kTestRecording - 1), start_sector(2, kStart),
                packed_sector({100, 100, 100}),
                packed_sector({200, 200, 200}, {}, false, kTestRecording - 1),
                packed_sector({300, 300, 300})});
    ASSERT_TRUE(read());
    EXPECT_EQ(raw(1)[0], 400);
    EXPECT_EQ(raw(1)[127], 400);
    EXPECT_EQ(raw(1)[128], 0);
    EXPECT_TRUE(card.marked_as_read());
}

struct ResumeCase {
    const char* name;
    int resume_after;  // seconds after the start; the first segment lasts 2 s
    uint8_t resume_format;
    bool accepted;
};

class ResumingStartSector : public Extraction, public ::testing::WithParamInterface<ResumeCase> {};

TEST_P(ResumingStartSector, FillsThePauseWithGapSecondsOrFailsWhenInconsistent) {
    const ResumeCase& c = GetParam();
    card.write({start_sector(2, kStart), packed_sector({100, 100, 100}),
                packed_sector({100, 100, 100}),
                start_sector(c.resume_format, later(c.resume_after)),
                packed_sector({200, 200, 200}), Sector{}});
    EXPECT_EQ(read(), c.accepted);
    if (!c.accepted) return;
    const std::vector<uint16_t> ch2 = raw(2);
    const size_t gap_end = static_cast<size_t>(c.resume_after) * 128;
    EXPECT_EQ(ch2[255], 400);
    EXPECT_EQ(std::vector<uint16_t>(ch2.begin() + 256, ch2.begin() + gap_end),
              std::vector<uint16_t>(gap_end - 256, 0));
    EXPECT_EQ(ch2[gap_end], 800);
}

INSTANTIATE_TEST_SUITE_P(Extraction, ResumingStartSector,
                         ::testing::Values(ResumeCase{"AfterAPause", 5, 2, true},
                                           ResumeCase{"RightAway", 2, 2, true},
                                           ResumeCase{"EarlierThanTheClock", 1, 2, false},
                                           ResumeCase{"InAnotherFormat", 5, 5, false},
                                           ResumeCase{"AfterMoreThanAWeek", 2 + 604801, 2, false}),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

TEST_F(Extraction, FullEventListEndsANonTableReadAtThe4097thEvent) {
    std::vector<Sector> sectors = {start_sector(2, kStart)};
    sectors.insert(sectors.end(), 4097, packed_sector({100, 100, 100}, {}, true));
    card.write(sectors);
    MappedReceiver receiver(card_road_names(settings.mmf_base_name), 3, kSampleSectionSize);
    EXPECT_FALSE(read(kFormatMmf));
    const std::vector<int32_t> events = receiver.events();
    ASSERT_EQ(events.size(), 4096u);
    EXPECT_EQ(events[4095], 4095);
    EXPECT_EQ(receiver.count(0), 4096u * 128);
}

// Skipping past the end keeps its exit code and padded files but delivers no recorded second,
// so the card keeps its recording unread; a damaged seek point past ecg.dat is not followed.
TEST_F(Extraction, SkipPastTheEndDeliversNothingAndLeavesTheRecordingUnread) {
    card.disk.m_read_settings = ReadSettings{1, 24, 0};
    for (const uint32_t seek_sector : {0u, 999u}) {
        std::vector<Sector> sectors = {start_sector(35, kStart)};
        if (seek_sector != 0) sectors.push_back(event_sector({{2, later(3600), seek_sector, 40}}));
        for (const Sector& s : compressed_sectors(0x23, 3, 2, {50, 50, 50}))
            sectors.push_back(s);
        sectors.push_back(Sector{});
        card.write(sectors);
        ASSERT_TRUE(read()) << seek_sector;
        EXPECT_EQ(raw(1), std::vector<uint16_t>(153600, 0)) << seek_sector;
        EXPECT_FALSE(card.marked_as_read()) << seek_sector;
    }
}

// Second 255 carries into the minute after the first second, and the clock falls behind the
// start: sector events before the output start are left out. Event table formats take patient
// events from the table only, and those inside the duration are offset by the preamble.
TEST_F(Extraction, PatientEventsComeFromTheSectorsOrTheTableOnTheOutputTimeAxis) {
    card.write({start_sector(2, {255, 15, 10, 1, 3, 14}), packed_sector({1, 2, 3}, {}, true),
                packed_sector({1, 2, 3}, {}, true), Sector{}});
    ASSERT_TRUE(read());
    EXPECT_EQ(read_text(out("patevent.dat")), "0\n");

    const Sector flagged = sealed(SectorBuilder(0x30).byte(6, 1).build());
    card.write(
        {start_sector(48, kStart), event_sector({{3, later(1)}}), flagged, flagged, Sector{}});
    ASSERT_TRUE(read());
    EXPECT_EQ(read_text(out("patevent.dat")), "1\n");

    card.disk.m_read_settings = ReadSettings{0, 1, 60};  // 80 s preamble
    card.write({start_sector(48, kStart),
                event_sector({{3, kStart}, {3, later(3599)}, {3, later(3600)}, {2, later(10)}}),
                Sector{}});
    ASSERT_TRUE(read());
    EXPECT_EQ(read_text(out("patevent.dat")), "80\n3679\n");
    EXPECT_EQ(read_bytes(out("other.dat")).size(), 1024u);
}

// 2015-03-01 is day 5538 after 2000-01-01; ReadTwelveLead crosses leap days and years.
TEST(HeaderTimeOf, GivesTheCalendarTimeWithTheYearFrom1900) {
    EXPECT_EQ(header_time_of(0), (HeaderTime{0, 0, 0, 1, 1, 100}));
    EXPECT_EQ(header_time_of(5538 * 86400), (HeaderTime{0, 0, 0, 1, 3, 115}));
    EXPECT_EQ(header_time_of(-1), (HeaderTime{59, 59, 23, 31, 12, 99}));
}

// The end-to-end ReadTwelveLead tests compare headers, lead words and pulses of whole recordings;
// a recording's pulses never come as close as these.
TEST_F(Extraction, TwelveLeadKeepsAtMostSixPacingIndicesOfASector) {
    card.write({start_sector(64, {0, 0, 12, 1, 3, 16}),
                twelve_lead_sector(
                    -100, {0 << 3, 1 << 3, 2 << 3, 3 << 3, 4 << 3, 5 << 3, 6 << 3, 7 << 3, 8 << 3}),
                Sector{}});
    ASSERT_TRUE(read(kFormatPn12File));
    EXPECT_EQ(read_words<uint32_t>(out("pn12pac.dat"), 29),
              (std::vector<uint32_t>{0, 1, 2, 3, 4, 5}));
}

// A 12-lead recording's leads without samples report the empty statistics; a three-channel
// recording fails a 12-lead read.
TEST_F(Extraction, TwelveLeadReadsOfRecordingsWithoutLeadSamples) {
    card.write({start_sector(65, {0, 0, 12, 1, 3, 16}), Sector{}});
    ASSERT_TRUE(read(kFormatPn12Arch));
    const std::vector<uint8_t> lead8 = read_bytes(out("pn12ecg8.dat"));
    ASSERT_EQ(lead8.size(), 59u + 2 * 76800);
    EXPECT_EQ(std::vector<uint8_t>(lead8.begin(), lead8.begin() + 59),
              expected::pn12_lead_header("PROC-1", {0, 0, 12, 1, 3, 116}, "V6", {}));
    card.write({start_sector(2, {0, 0, 12, 1, 3, 16}), Sector{}});
    EXPECT_FALSE(read(kFormatPn12File));
}

}  // namespace

// The list lives in memory the receiver shares: whatever it writes into the count, the events
// go on at our own count, and the count never runs ahead of its entry.
TEST(PatientEventList, KeepsItsOwnCountWhateverTheReceiverWrites) {
    std::vector<uint8_t> list(kEventListSize, 0xEE);
    PatientEvents events;
    events.set_list(std::span<uint8_t, kEventListSize>(list.data(), list.size()));
    EXPECT_EQ(get_u32le(list.data()), 0u);
    ASSERT_TRUE(events.add(5));
    put_u32le(list.data(), kMaxListedEvents);
    ASSERT_TRUE(events.add(6));
    EXPECT_EQ(std::vector<uint8_t>(list.begin(), list.begin() + 12),
              (std::vector<uint8_t>{2, 0, 0, 0, 5, 0, 0, 0, 6, 0, 0, 0}));
}
