#include "extract/recording_summary.h"

#include <gtest/gtest.h>

#include "extract/test_card.h"

TEST(RecordingSummary, DetailsOfABelongingPatientAndTheOutputStart) {
    CardFolder card;
    store_field_text(card.record.patient_name, "Ann Example", false);
    card.record.init_time = {0, 30, 9, 2, 5, 13};
    card.record.change_time = {5, 4, 3, 2, 1, 99};
    card.record.change_marker = kPatientChangeMarker;
    card.counters(5, 5, 2).write({start_sector(2, kStart_2013_05_14_10_15_20, 5, 24)});
    RecordingDetails details;
    ASSERT_TRUE(recording_summary(card.disk, false, details));
    // ReadPatientModes checks the texts of patsumm.dat; these are the fields it cannot reach.
    // 60 calibration seconds after the 20 s of the started minute: 80 s earlier.
    EXPECT_EQ(details.recording_start, "14/05/2013 10:14:00");
    EXPECT_EQ(details.recording_length, 24);
    EXPECT_EQ(details.date_text_1, "02/05/2013 09:30:00");
    EXPECT_EQ(details.date_text_2, "02/01/1999 03:04:05");

    card.disk.m_read_settings.skip_hours = 2;
    ASSERT_TRUE(recording_summary(card.disk, false, details));
    EXPECT_EQ(details.recording_start, "14/05/2013 12:14:00");
}
