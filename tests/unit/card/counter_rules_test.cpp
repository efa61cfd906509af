#include "card/counter_rules.h"

#include <gtest/gtest.h>

namespace {

ConfigRecord conditioned(bool has_patient) {
    ConfigRecord r;
    set_conditioning_counters(r, has_patient);
    return r;
}

ConfigRecord counters(uint16_t recording, uint16_t patient_data, uint16_t wav) {
    ConfigRecord r;
    r.recording_num = recording;
    r.patient_data_num = patient_data;
    r.wav_recording_num = wav;
    return r;
}

}  // namespace

TEST(CounterRules, FreshCardWithoutPatientIsNeitherUnreadNorValidEcg) {
    const ConfigRecord r = conditioned(false);
    EXPECT_EQ(r.recording_num, 3);
    EXPECT_EQ(r.patient_data_num, 2);
    EXPECT_EQ(r.wav_recording_num, 2);
    EXPECT_FALSE(is_unread_recording(r, kConditionedStartRecordingNum));
    EXPECT_TRUE(is_read_recording(r, kConditionedStartRecordingNum));
    EXPECT_FALSE(is_valid_ecg(r, kConditionedStartRecordingNum));
    EXPECT_EQ(conditioned(true).patient_data_num, 3);
}

TEST(CounterRules, InitialisingWithoutPatientSkipsOneMoreRecordingNumber) {
    ConfigRecord named = conditioned(false);
    count_on_initialise(named, true);
    EXPECT_EQ(named.recording_num, 4);
    EXPECT_EQ(named.patient_data_num, 4);

    ConfigRecord anonymous = conditioned(false);
    count_on_initialise(anonymous, false);
    EXPECT_EQ(anonymous.recording_num, 5);
    EXPECT_EQ(anonymous.patient_data_num, 4);
    EXPECT_FALSE(patient_data_belongs(anonymous, 5));
}

TEST(CounterRules, MarkingAsReadMovesAnUnreadRecordingToReadOnce) {
    ConfigRecord r = counters(4, 4, 2);
    EXPECT_TRUE(is_unread_recording(r, 4));
    EXPECT_TRUE(count_marked_read(r, 4));
    EXPECT_EQ(r.recording_num, 5);
    EXPECT_TRUE(is_read_recording(r, 4));
    EXPECT_FALSE(count_marked_read(r, 4));
    EXPECT_EQ(r.recording_num, 5);
}

TEST(CounterRules, RecordBehindTheStartSectorIsInconsistent) {
    const ConfigRecord r = counters(4, 4, 2);
    EXPECT_TRUE(is_inconsistent_recording(r, 5));
    EXPECT_FALSE(is_inconsistent_recording(r, 4));
    EXPECT_FALSE(is_inconsistent_recording(r, 3));
}

struct BelongsCase {
    uint16_t recording, patient_data, wav, s;
    bool patient_belongs, speech_belongs, valid;
};

class CounterBelongs : public ::testing::TestWithParam<BelongsCase> {};

TEST_P(CounterBelongs, PatientDataSpeechAndValidityFollowTheNumbers) {
    const BelongsCase c = GetParam();
    const ConfigRecord r = counters(c.recording, c.patient_data, c.wav);
    EXPECT_EQ(patient_data_belongs(r, c.s), c.patient_belongs);
    EXPECT_EQ(speech_belongs(r, c.s), c.speech_belongs);
    EXPECT_EQ(is_valid_ecg(r, c.s), c.valid);
}

INSTANTIATE_TEST_SUITE_P(Table, CounterBelongs,
                         ::testing::Values(
                             // patient data of the recording itself, speech recorded with it
                             BelongsCase{5, 5, 5, 5, true, true, true},
                             // entered for the next recording while a read one is on the card
                             BelongsCase{6, 6, 2, 5, true, false, false},
                             // equal to the record's number but older than the recording
                             BelongsCase{6, 6, 2, 7, false, false, true},
                             // older patient data still belongs to no later recording
                             BelongsCase{8, 4, 2, 7, false, false, true},
                             // speech newer than the recording makes the ECG invalid
                             BelongsCase{8, 7, 8, 7, true, false, false}));

TEST(CounterRules, StartSectorNumbersFrom65000ForceReconditioning) {
    EXPECT_FALSE(needs_recondition(64999));
    EXPECT_TRUE(needs_recondition(65000));
    EXPECT_TRUE(needs_recondition(65535));
}
