#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "card/ccf_disk.h"
#include "cardsim/lib/card_writer.h"
#include "expected_output.h"
#include "extract/card_read.h"
#include "extract/test_card.h"
#include "format/sector_types.h"

namespace {

void set_trace_file(const std::string& path) {
#if defined(_WIN32)
    _putenv_s("KADO_TRACE", path.c_str());
#else
    if (path.empty()) {
        unsetenv("KADO_TRACE");
    } else {
        setenv("KADO_TRACE", path.c_str(), 1);
    }
#endif
}

std::vector<double> read_event_seconds(const std::string& path) {
    std::vector<double> seconds;
    std::ifstream in(path);
    for (double t = 0; in >> t;)
        seconds.push_back(t);
    return seconds;
}

// Text files end their lines with CR LF on Windows.
std::string read_text(const std::string& path) {
    std::string lines;
    for (const uint8_t byte : read_bytes(path))
        if (byte != '\r') lines += static_cast<char>(byte);
    return lines;
}

// The index of the first differing word, or -1: a failure then names one time point.
int64_t first_difference(const std::vector<uint16_t>& a, const std::vector<uint16_t>& b) {
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        if (a[i] != b[i]) return static_cast<int64_t>(i);
    return a.size() == b.size() ? -1 : static_cast<int64_t>(std::min(a.size(), b.size()));
}

struct RoundTripCase {
    const char* name;
    int format;
    cardsim::SynthSettings synth;
    cardsim::NibblePolicy nibbles;
};

cardsim::SynthSettings ecg_like() {
    return {};
}

// Noise of about 1.5 mV between samples: steps that only the long codes and correction nibbles
// reach, and more of them than a delta sector has nibbles for.
cardsim::SynthSettings random_like() {
    cardsim::SynthSettings s;
    s.seed = 99;
    s.noise_uv = 1500;
    s.amplitude = 2;
    s.ectopic = 0.2;
    return s;
}

class CardRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(CardRoundTrip, ReadWritesTheIntendedWordsEventsAndPulses) {
    const RoundTripCase& c = GetParam();
    TestFolder folder;
    NoAnswers no_answers;
    cardsim::RecordingSpec description;
    description.format = c.format;
    description.synth = c.synth;
    description.nibbles = c.nibbles;
    description.segments = {{61, 7},
                            {40, 0}};  // a pause, and 61 s that end mid-sector for 1.5-s types
    description.events = {0.5, 30.2, 64, 70.7};
    description.pace_pattern = true;
    description.absences = {{1, 5, 9}};
    description.event_sector_interval = 30;  // event sectors among the data sectors
    description.seek_interval = 20;
    const std::string card = folder.file("card"), want = folder.file("want"),
                      out = folder.file("out");
    cardsim::RecordingResult result;
    std::string error;
    ASSERT_TRUE(cardsim::write_card(description, card, want, result, error)) << error;

    const auto format = static_cast<uint8_t>(c.format);
    const bool twelve = channels_of_format(format) == 12;
    std::filesystem::create_directories(out);
    CCFDisk disk;
    disk.set_card_path(card);
    disk.m_read_settings = ReadSettings{0, 24, 0};
    // Every decompression index agrees with the stream: the decoder never has to resynchronise.
    const std::string trace_file = folder.file("trace.txt");
    set_trace_file(trace_file);
    const bool read = read_card(disk, twelve ? kFormatPn12File : kFormatArchive, out);
    set_trace_file("");
    ASSERT_TRUE(read);
    EXPECT_EQ(read_text(trace_file), "");

    expected::ReadSettings settings;
    settings.ten_bit = c.format == 1 || c.format == 2 || c.format == 48;
    if (twelve) {
        for (int lead = 1; lead <= 8; ++lead) {
            const std::string n = std::to_string(lead);
            std::vector<uint16_t> words = read_words(want + "/lead" + n + ".dat");
            words.resize(words.size() + 76800, 0x8000);  // ten closing minutes of no data
            EXPECT_EQ(first_difference(read_words(out + "/pn12ecg" + n + ".dat", 59), words), -1)
                << "lead " << lead;
        }
        EXPECT_EQ(read_words(out + "/pn12pac.dat", 29), read_words(want + "/pace.dat"));
    } else {
        // Channels the format does not record leave their files empty.
        for (int ch = 1; ch <= 3; ++ch) {
            const std::string n = std::to_string(ch);
            const std::vector<uint16_t> words =
                ch > channels_of_format(format)
                    ? std::vector<uint16_t>{}
                    : expected::raw_channel(read_words(want + "/channel" + n + ".dat"), settings);
            EXPECT_EQ(first_difference(read_words(out + "/rawecg" + n + ".dat"), words), -1)
                << "channel " << ch;
        }
    }
    EXPECT_EQ(read_text(out + "/patevent.dat"),
              expected::patevent_text(read_event_seconds(want + "/events.txt"),
                                      is_event_table_format(format), settings));
}

INSTANTIATE_TEST_SUITE_P(
    EverySectorKind, CardRoundTrip,
    ::testing::Values(RoundTripCase{"packed_two", 1, ecg_like(), {}},
                      RoundTripCase{"packed_three", 2, ecg_like(), {}},
                      RoundTripCase{"packed_three_b", 48, random_like(), {}},
                      RoundTripCase{"delta_two", 4, ecg_like(), {}},
                      RoundTripCase{"delta_three", 5, ecg_like(), {}},
                      RoundTripCase{"delta_two_random", 4, random_like(), {}},
                      RoundTripCase{"delta_three_random", 5, random_like(), {}},
                      RoundTripCase{"compressed_one", 33, ecg_like(), {}},
                      RoundTripCase{"compressed_two", 34, ecg_like(), {}},
                      RoundTripCase{"compressed_three", 35, ecg_like(), {}},
                      RoundTripCase{"compressed_three_random", 35, random_like(), {}},
                      RoundTripCase{"compressed_every_nibble_type",
                                    35,
                                    ecg_like(),
                                    {cardsim::NibblePolicy::Choice::cycle, 0}},
                      RoundTripCase{"compressed_every_nibble_type_random",
                                    34,
                                    random_like(),
                                    {cardsim::NibblePolicy::Choice::cycle, 0}},
                      RoundTripCase{"twelve_lead", 64, ecg_like(), {}},
                      RoundTripCase{"twelve_lead_random", 65, random_like(), {}}),
    [](const ::testing::TestParamInfo<RoundTripCase>& param) { return param.param.name; });

}  // namespace
