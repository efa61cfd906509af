// Every recording format the simulator writes, read from a card copy into raw files and compared
// word for word with what the simulator says the recording holds, after the calibration
// preamble, skip, duration, resolution and padding rules; other.dat byte for byte with the plain
// sectors the simulator wrote.
#include "expected_output.h"
#include "harness.h"

namespace {

struct FormatCase {
    const char* name;
    int format;
    int channels;
    std::vector<std::string> card_options = {"--duration=3m"};  // beyond format and events
    std::string read_options = "";  // beyond the mode, format, duration and folders
    int preamble_seconds = 80;      // cards start at 10:15:20, calibration 60 s
    int skip_hours = 0;
    int resolution_bits = 12;
    bool whole_read = true;  // no skip and no duration cut: other.dat holds the whole recording
};

const FormatCase kCases[] = {
    {"Format1", 1, 2},
    {"Format2", 2, 3},
    {"Format4", 4, 2},
    {"Format5", 5, 3},
    {"Format33", 33, 1},
    {"Format34", 34, 2},
    {"Format35", 35, 3},
    {"Format48", 48, 3},
    {"Resolution8", 35, 3, {"--duration=3m"}, "/resolution=8", 80, 0, 8},
    {"NoCalibration", 2, 3, {"--duration=3m"}, "/cal=0", 0},
    {"SkipOneHourThroughTheEventTable", 35, 3,
     std::vector<std::string>{"--duration=70m", "--seek-interval=10m"}, "/skip=1", 80, 1, 12,
     false},
    {"DurationCutsTheRecording", 5, 3, {"--duration=70m"}, "", 80, 0, 12, false},
    {"PausesBetweenSegments", 35, 3, {"--segments=2m,30s,2m"}}};

class ReadFormats : public ::testing::TestWithParam<FormatCase> {};

}  // namespace

TEST_P(ReadFormats, RawFilesAndPatientEventsMatchTheIntendedRecording) {
    const FormatCase& c = GetParam();
    CardWork work;
    std::vector<std::string> options = {"--format=" + std::to_string(c.format), "--event=30.5",
                                        "--event=75", "--event=4000"};
    options.insert(options.end(), c.card_options.begin(), c.card_options.end());
    ASSERT_TRUE(work.make(options, true));
    ASSERT_EQ(work.read("/readecg=hide /opformat=archive /duration=1 " + c.read_options), 0);
    expected::ReadSettings settings;
    settings.preamble_seconds = c.preamble_seconds;
    settings.skip_hours = c.skip_hours;
    settings.duration_hours = 1;
    settings.resolution_bits = c.resolution_bits;
    settings.ten_bit = c.format == 1 || c.format == 2 || c.format == 48;
    for (int channel = 1; channel <= 3; ++channel) {
        const std::string name = "rawecg" + std::to_string(channel) + ".dat";
        const std::vector<uint16_t> got = read_words(work.out(name));
        if (channel > c.channels) {
            EXPECT_TRUE(got.empty()) << name;
            continue;
        }
        const std::vector<uint16_t> want = expected::raw_channel(
            read_words(work.intended() + "/channel" + std::to_string(channel) + ".dat"), settings);
        EXPECT_EQ(first_difference(got, want), -1) << name;
    }
    if (c.whole_read) {
        EXPECT_EQ(first_difference(read_bytes(work.out("other.dat")),
                                   read_bytes(work.intended() + "/other.dat")),
                  -1);
    }
    EXPECT_EQ(read_file(work.out("patevent.dat")),
              platform_text(expected::patevent_text(read_events(work.intended() + "/events.txt"),
                                                    c.format >= 33, settings)));
}

INSTANTIATE_TEST_SUITE_P(Cases, ReadFormats, ::testing::ValuesIn(kCases), case_name);
