#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "card_read_back.h"
#include "cardsim/lib/card_writer.h"
#include "extract/sector_types.h"
#include "test_folder.h"

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

TEST_P(CardRoundTrip, ReaderRecoversTheIntendedWordsEventsAndPulses) {
    const RoundTripCase& c = GetParam();
    TestFolder folder;
    cardsim::RecordingSpec spec;
    spec.format = c.format;
    spec.synth = c.synth;
    spec.nibbles = c.nibbles;
    spec.segments = {{61, 7}, {40, 0}};  // a pause, and 61 s that end mid-sector for 1.5-s types
    spec.events = {0.5, 30.2, 64, 70.7};
    spec.pace_pattern = true;
    spec.absences = {{1, 5, 9}};
    cardsim::RecordingResult result;
    std::string error;
    ASSERT_TRUE(cardsim::write_card(spec, folder.file("card"), folder.file("want"), result, error))
        << error;

    // Every decompression index agrees with the stream: the decoder never has to resynchronise.
    const std::string trace_file = folder.file("trace.txt");
    set_trace_file(trace_file);
    const ReadBack got = read_back_card(folder.file("card"));
    set_trace_file("");
    EXPECT_EQ(read_file_bytes(trace_file).size(), 0u);
    const ReadBack want =
        read_intended(folder.file("want"), channels_of_format(static_cast<uint8_t>(c.format)));
    ASSERT_TRUE(got.ok) << got.failure;
    ASSERT_EQ(got.words.size(), want.words.size());
    for (size_t ch = 0; ch < want.words.size(); ++ch) {
        ASSERT_EQ(got.words[ch].size(), want.words[ch].size()) << "channel " << ch + 1;
        for (size_t i = 0; i < want.words[ch].size(); ++i) {
            ASSERT_EQ(got.words[ch][i], want.words[ch][i])
                << "channel " << ch + 1 << " time point " << i;
        }
    }
    EXPECT_EQ(got.pace_indices, want.pace_indices);
    if (!is_event_table_format(static_cast<uint8_t>(c.format))) {
        EXPECT_EQ(got.events, want.events);
    }
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
