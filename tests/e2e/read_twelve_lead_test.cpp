// 12-lead recordings read from a card copy into the 12-lead files and compared word for word with
// what the simulator says the recording holds: headers with the output start's calendar time and
// each lead's range, the calibration preamble, pauses, the closing no-data words and the pulses;
// other.dat byte for byte.
#include "expected_output.h"
#include "harness.h"

namespace {

struct TwelveLeadCase {
    const char* name;
    const char* output_format;
    std::string procedure_id;
    int preamble_seconds;
    expected::HeaderTime output_start;  // second, minute, hour, day, month, year - 1900
    std::vector<std::string> card_options;
    int skip_hours = 0;
};

using Options = std::vector<std::string>;
using Time = expected::HeaderTime;

const char* const kLeadLabels[] = {"Lead I", "Lead II", "V1", "V2", "V3", "V4", "V5", "V6"};

// The calibration preamble moves the output start back across midnight and a leap day.
const TwelveLeadCase kCases[] = {
    {"Format64BackIntoALeapDay", "pn12file", "HOLTER-12", 90, Time{0, 59, 23, 29, 2, 116},
     Options{"--format=64", "--start=2016-03-01 00:00:30", "--duration=3m", "--pacing=75",
             "--event=20", "--event=95"}},
    {"Format65WithAPauseBackOverMidnight", "pn12arch", "ABCDEFGHIJKLMNOP", 70,
     Time{0, 59, 23, 31, 12, 113},
     Options{"--format=65", "--start=2014-01-01 00:00:10", "--segments=2m,30s,90s", "--pacing=60",
             "--dual-chamber", "--event=200", "--aux-every=16"}},
    {"Format64WithoutCalibration", "pn12file", "", 0, Time{58, 59, 23, 28, 2, 112},
     Options{"--format=64", "--start=2012-02-28 23:59:58", "--duration=2m", "--pace-pattern"}},
    {"Format65SkipsAnHourThroughTheEventTable", "pn12file", "", 60, Time{0, 29, 0, 1, 1, 116},
     Options{"--format=65", "--start=2015-12-31 23:30:00", "--duration=62m", "--seek-interval=10m",
             "--pacing=70", "--event=1800", "--event=3610"},
     1},
};

class ReadTwelveLead : public ::testing::TestWithParam<TwelveLeadCase> {};

}  // namespace

TEST_P(ReadTwelveLead, LeadAndPacingFilesMatchTheIntendedRecording) {
    const TwelveLeadCase& c = GetParam();
    CardWork work;
    ASSERT_TRUE(work.make(c.card_options, true));
    // No calibration, or the default 60 s; the skip is the case's.
    const std::string read = std::string("/readecg=hide /opformat=") + c.output_format +
                             " /duration=1" + (c.preamble_seconds == 0 ? " /cal=0" : "") +
                             (c.skip_hours ? " /skip=" + std::to_string(c.skip_hours) : "") +
                             (c.procedure_id.empty() ? "" : " /procedure_id=" + c.procedure_id);
    ASSERT_EQ(work.read(read), 0);
    for (int lead = 0; lead < 8; ++lead) {
        const std::string name = "pn12ecg" + std::to_string(lead + 1) + ".dat";
        const std::vector<uint16_t> recorded =
            read_words(work.intended() + "/lead" + std::to_string(lead + 1) + ".dat");
        ASSERT_FALSE(recorded.empty()) << name;
        EXPECT_EQ(read_bytes(work.out(name), 59),
                  expected::pn12_lead_header(c.procedure_id, c.output_start, kLeadLabels[lead],
                                             expected::pn12_lead_range(recorded, c.skip_hours)))
            << name;
        const std::vector<uint16_t> got = read_words(work.out(name), 59);
        const std::vector<uint16_t> want =
            expected::pn12_lead(recorded, c.preamble_seconds, c.skip_hours);
        EXPECT_EQ(first_difference(got, want), -1) << name;
    }
    EXPECT_EQ(read_bytes(work.out("pn12pac.dat"), 29),
              expected::pn12_pacing_header(c.procedure_id, c.output_start));
    const std::vector<uint32_t> pulses = read_words<uint32_t>(work.intended() + "/pace.dat");
    EXPECT_FALSE(pulses.empty());
    EXPECT_EQ(read_words<uint32_t>(work.out("pn12pac.dat"), 29),
              expected::pn12_pacing(pulses, c.preamble_seconds, c.skip_hours));
    if (c.skip_hours == 0) {
        EXPECT_EQ(first_difference(read_bytes(work.out("other.dat")),
                                   read_bytes(work.intended() + "/other.dat")),
                  -1);
    }
    const expected::ReadSettings s{
        .preamble_seconds = c.preamble_seconds, .skip_hours = c.skip_hours, .duration_hours = 1};
    EXPECT_EQ(read_file(work.out("patevent.dat")),
              platform_text(
                  expected::patevent_text(read_events(work.intended() + "/events.txt"), true, s)));
}

INSTANTIATE_TEST_SUITE_P(Cases, ReadTwelveLead, ::testing::ValuesIn(kCases), case_name);
