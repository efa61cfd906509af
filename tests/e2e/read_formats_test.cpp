// Every recording format the simulator writes, read from a card copy into raw files and compared
// word for word with what the simulator says the recording holds, after the calibration
// preamble, skip, duration, resolution and padding rules; other.dat byte for byte with the plain
// sectors the simulator wrote.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cardsim_runner.h"
#include "expected_output.h"
#include "harness.h"
#include "output_files.h"
#include "output_text.h"

namespace {

struct FormatCase {
    const char* name;
    int format;
    int channels;
    std::string card_options;  // beyond the format
    std::string read_options;  // beyond the mode, format and folders
    expected::ReadSettings settings;
    bool whole_read = true;  // no skip and no duration cut: other.dat holds the whole recording
};

void PrintTo(const FormatCase& c, std::ostream* os) {
    *os << c.name;
}

expected::ReadSettings settings(int preamble, int skip, int duration, int bits, bool ten_bit) {
    expected::ReadSettings s;
    s.preamble_seconds = preamble;
    s.skip_hours = skip;
    s.duration_hours = duration;
    s.resolution_bits = bits;
    s.ten_bit = ten_bit;
    return s;
}

// Cards start at 10:15:20: 60 calibration seconds make an 80 s preamble.
const FormatCase kCases[] = {
    {"Format1", 1, 2, "--duration=3m", "/duration=1", settings(80, 0, 1, 12, true)},
    {"Format2", 2, 3, "--duration=3m", "/duration=1", settings(80, 0, 1, 12, true)},
    {"Format4", 4, 2, "--duration=3m", "/duration=1", settings(80, 0, 1, 12, false)},
    {"Format5", 5, 3, "--duration=3m", "/duration=1", settings(80, 0, 1, 12, false)},
    {"Format33", 33, 1, "--duration=3m", "/duration=1", settings(80, 0, 1, 12, false)},
    {"Format34", 34, 2, "--duration=3m", "/duration=1", settings(80, 0, 1, 12, false)},
    {"Format35", 35, 3, "--duration=3m", "/duration=1", settings(80, 0, 1, 12, false)},
    {"Format48", 48, 3, "--duration=3m", "/duration=1", settings(80, 0, 1, 12, true)},
    {"Resolution8", 35, 3, "--duration=3m", "/duration=1 /resolution=8",
     settings(80, 0, 1, 8, false)},
    {"NoCalibration", 2, 3, "--duration=3m", "/duration=1 /cal=0", settings(0, 0, 1, 12, true)},
    {"SkipOneHourThroughTheEventTable", 35, 3, "--duration=70m --seek-interval=10m",
     "/duration=1 /skip=1", settings(80, 1, 1, 12, false), false},
    {"DurationCutsTheRecording", 5, 3, "--duration=70m", "/duration=1",
     settings(80, 0, 1, 12, false), false},
    {"PausesBetweenSegments", 35, 3, "--segments=2m,30s,2m", "/duration=1",
     settings(80, 0, 1, 12, false)},
};

class ReadFormats : public ::testing::TestWithParam<FormatCase> {};

}  // namespace

TEST_P(ReadFormats, RawFilesAndPatientEventsMatchTheIntendedRecording) {
    const FormatCase& c = GetParam();
    TempDir work;
    const std::string card = work / "card", intended = work / "intended", out = work / "out";
    std::vector<std::string> options = {"--format=" + std::to_string(c.format), "--event=30.5",
                                        "--event=75", "--event=4000"};
    std::istringstream extra(c.card_options);
    for (std::string option; extra >> option;)
        options.push_back(option);
    ASSERT_TRUE(make_card(card, intended, options));
    std::filesystem::create_directory(out);
    ASSERT_EQ(run_kado("/readecg=hide /opformat=archive " + c.read_options +
                           " /ipdir=" + host_path(card) + " /dir=" + host_path(out),
                       {{"XDG_CONFIG_HOME", work.path()}}, 300),
              0);
    for (int channel = 1; channel <= 3; ++channel) {
        const std::string name = "rawecg" + std::to_string(channel) + ".dat";
        const std::vector<uint16_t> got = read_words<uint16_t>(out + "/" + name);
        if (channel > c.channels) {
            EXPECT_TRUE(got.empty()) << name;
            continue;
        }
        const std::vector<uint16_t> want = expected::raw_channel(
            read_words<uint16_t>(intended + "/channel" + std::to_string(channel) + ".dat"),
            c.settings);
        EXPECT_EQ(got.size(), want.size()) << name;
        EXPECT_EQ(first_difference(got, want), -1) << name;
    }
    if (c.whole_read) {
        EXPECT_EQ(
            first_difference(read_bytes(out + "/other.dat"), read_bytes(intended + "/other.dat")),
            -1);
    }
    const bool event_table = c.format >= 33;
    EXPECT_EQ(read_file_text(out + "/patevent.dat"),
              platform_text(expected::patevent_text(read_events(intended + "/events.txt"),
                                                    event_table, c.settings)));
}

INSTANTIATE_TEST_SUITE_P(Cases, ReadFormats, ::testing::ValuesIn(kCases),
                         [](const auto& param_info) { return std::string(param_info.param.name); });
