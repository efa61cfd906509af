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
    uint8_t format;
    cardsim::NibblePolicy nibbles;
};

class CardRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

// The end-to-end suite reads every format once, the 12-lead ones with pacing, events and pauses;
// these cases add what its 3-channel recordings lack: pacing in every sector kind, an absent
// channel, event sectors among the data, and signals that need the long codes and more correction
// nibbles than a delta sector has.
TEST_P(CardRoundTrip, ReadWritesTheIntendedWordsEventsAndPulses) {
    const RoundTripCase& c = GetParam();
    TestFolder folder;
    NoAnswers no_answers;
    cardsim::RecordingSpec description;
    description.format = c.format;
    // Noise of about 1.5 mV between samples: steps that only the long codes and correction
    // nibbles reach, and more of them than a delta sector has nibbles for.
    description.synth = {.seed = 99, .noise_uv = 1500, .ectopic = 0.2, .amplitude = 2};
    description.nibbles = c.nibbles;
    // A pause, and 61 s that end mid-sector for 1.5-s types.
    description.segments = {{61, 7}, {40, 0}};
    description.events = {0.5, 30.2, 64, 70.7};
    description.pace_pattern = true;
    description.absences = {{1, 5, 9}};
    description.event_sector_interval = 30;
    description.seek_interval = 20;
    const std::string card = folder / "card", want = folder / "want", out = folder / "out";
    cardsim::RecordingResult result;
    std::string error;
    ASSERT_TRUE(cardsim::write_card(description, card, want, result, error)) << error;

    std::filesystem::create_directories(out);
    CCFDisk disk;
    disk.set_card_path(card);
    disk.m_read_settings = ReadSettings{0, 24, 0};
    // Every decompression index agrees with the stream: the decoder never resynchronises.
    const TraceCapture trace;
    ASSERT_TRUE(read_card(disk, kFormatArchive, out));
    EXPECT_EQ(trace.text(), "");
    const expected::ReadSettings settings{.ten_bit = c.format == 48};
    for (int ch = 1; ch <= channels_of_format(c.format); ++ch) {
        const std::string n = std::to_string(ch);
        EXPECT_EQ(first_difference(
                      read_words(out + "/rawecg" + n + ".dat"),
                      expected::raw_channel(read_words(want + "/channel" + n + ".dat"), settings)),
                  -1)
            << "channel " << ch;
    }
    EXPECT_EQ(read_text(out + "/patevent.dat"),
              expected::patevent_text(read_events(want + "/events.txt"),
                                      is_event_table_format(c.format), settings));
}

INSTANTIATE_TEST_SUITE_P(
    EverySectorKind, CardRoundTrip,
    ::testing::Values(RoundTripCase{"packed", 48, {}}, RoundTripCase{"delta", 5, {}},
                      RoundTripCase{"compressed_every_nibble_type",
                                    34,
                                    {cardsim::NibblePolicy::Choice::cycle, 0}}),
    [](const ::testing::TestParamInfo<RoundTripCase>& param) { return param.param.name; });

}  // namespace
