#include "card/counter_rules.h"

#include <gtest/gtest.h>

namespace {

ConfigRecord counters(uint16_t recording, uint16_t patient_data, uint16_t wav) {
    ConfigRecord r;
    r.recording_num = recording, r.patient_data_num = patient_data, r.wav_recording_num = wav;
    return r;
}

}  // namespace

TEST(CounterRules, FreshCardWithoutPatientIsNeitherUnreadNorValidEcg) {
    ConfigRecord r;
    set_conditioning_counters(r, false);
    EXPECT_EQ(r, counters(3, 2, 2));
    EXPECT_FALSE(is_unread_recording(r, kConditionedStartRecordingNum));
    EXPECT_FALSE(is_valid_ecg(r, kConditionedStartRecordingNum));
    set_conditioning_counters(r, true);
    EXPECT_EQ(r, counters(3, 3, 2));
}

TEST(CounterRules, InitialisingWithoutPatientSkipsOneMoreRecordingNumber) {
    ConfigRecord named = counters(3, 2, 2), anonymous = counters(3, 2, 2);
    count_on_initialise(named, true);
    count_on_initialise(anonymous, false);
    EXPECT_EQ(named, counters(4, 4, 2));
    EXPECT_EQ(anonymous, counters(5, 4, 2));
}

TEST(CounterRules, PatientDataSpeechAndValidityFollowTheNumbers) {
    struct Row {
        uint16_t recording, patient_data, wav, s;
        bool patient, speech, valid;
    };
    const Row rows[] = {
        {5, 5, 5, 5, true, true, true},    // all of the recording itself
        {6, 6, 2, 5, true, false, false},  // entered for the next recording
        {6, 6, 2, 7, false, false, true},  // the record's number, but older than S
        {8, 4, 2, 7, false, false, true},  // older patient data
        {8, 7, 8, 7, true, false, false},  // speech newer than the recording
    };
    for (const Row& c : rows) {
        const ConfigRecord r = counters(c.recording, c.patient_data, c.wav);
        EXPECT_EQ(patient_data_belongs(r, c.s), c.patient) << c.recording << c.patient_data;
        EXPECT_EQ(speech_belongs(r, c.s), c.speech) << c.recording << c.patient_data;
        EXPECT_EQ(is_valid_ecg(r, c.s), c.valid) << c.recording << c.patient_data;
    }
    EXPECT_FALSE(needs_recondition(64999));
    EXPECT_TRUE(needs_recondition(65000));
}
