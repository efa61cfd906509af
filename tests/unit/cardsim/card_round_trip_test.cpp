#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "card/ccf_disk.h"
#include "cardsim/lib/card_writer.h"
#include "expected_output.h"
#include "extract/card_read.h"
#include "extract/test_card.h"
#include "format/sector_types.h"
#include "test_folder.h"

namespace {

struct RoundTripCase {
    const char* name;
    int format;
    cardsim::SynthSettings synth;
    cardsim::NibblePolicy nibbles;
};

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

constexpr cardsim::NibblePolicy kEveryNibbleType{cardsim::NibblePolicy::Choice::cycle, 0};

class CardRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

// The end-to-end suite reads every format once; these cases add what its recordings lack:
// pacing in every sector kind, an absent channel, event sectors among the data, a pause, and
// signals that reach every code.
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
    description.event_sector_interval = 30;
    description.seek_interval = 20;
    const std::string card = folder / "card", want = folder / "want", out = folder / "out";
    cardsim::RecordingResult result;
    std::string error;
    ASSERT_TRUE(cardsim::write_card(description, card, want, result, error)) << error;

    const auto format = static_cast<uint8_t>(c.format);
    const bool twelve = channels_of_format(format) == 12;
    std::filesystem::create_directories(out);
    CCFDisk disk;
    disk.set_card_path(card);
    disk.m_read_settings = ReadSettings{0, 24, 0};
    {
        // Every decompression index agrees with the stream: the decoder never resynchronises.
        TraceCapture trace;
        ASSERT_TRUE(read_card(disk, twelve ? kFormatPn12File : kFormatArchive, out));
        EXPECT_EQ(trace.text(), "");
    }

    expected::ReadSettings settings;
    settings.ten_bit = c.format == 1 || c.format == 2 || c.format == 48;
    if (twelve) {
        for (int lead = 1; lead <= 8; ++lead) {
            const std::string n = std::to_string(lead);
            EXPECT_EQ(
                first_difference(read_words(out + "/pn12ecg" + n + ".dat", 59),
                                 expected::pn12_lead(read_words(want + "/lead" + n + ".dat"), 0)),
                -1)
                << "lead " << lead;
        }
        EXPECT_EQ(read_words(out + "/pn12pac.dat", 29), read_words(want + "/pace.dat"));
    } else {
        for (int ch = 1; ch <= channels_of_format(format); ++ch) {
            const std::string n = std::to_string(ch);
            EXPECT_EQ(first_difference(read_words(out + "/rawecg" + n + ".dat"),
                                       expected::raw_channel(
                                           read_words(want + "/channel" + n + ".dat"), settings)),
                      -1)
                << "channel " << ch;
        }
    }
    EXPECT_EQ(read_text(out + "/patevent.dat"),
              expected::patevent_text(read_events(want + "/events.txt"),
                                      is_event_table_format(format), settings));
}

INSTANTIATE_TEST_SUITE_P(
    EverySectorKind, CardRoundTrip,
    ::testing::Values(RoundTripCase{"packed", 48, random_like(), {}},
                      RoundTripCase{"delta", 5, random_like(), {}},
                      RoundTripCase{"compressed", 35, random_like(), {}},
                      RoundTripCase{"compressed_every_nibble_type", 35, {}, kEveryNibbleType},
                      RoundTripCase{"compressed_every_nibble_type_random", 34, random_like(),
                                    kEveryNibbleType},
                      RoundTripCase{"twelve_lead", 65, random_like(), {}}),
    [](const ::testing::TestParamInfo<RoundTripCase>& param) { return param.param.name; });

}  // namespace
