#include "handoff/patient_summary.h"

#include <gtest/gtest.h>

#include "support/file_utils.h"
#include "test_folder.h"

TEST(PatientSummary, NineCrLfLinesReplacingAReadOnlyFile) {
    TestFolder folder;
    write_bytes(folder.file("patsumm.dat"), {'o', 'l', 'd'});
    set_read_only(folder.file("patsumm.dat"));
    RecordingDetails details;
    details.patient_name = "Ann Example";
    details.patient_id = "ID-7";
    details.recording_start = "14/05/2013 10:14:00";
    details.recorder_text = "PN100042";
    details.recording_format = 3;
    details.recording_length = -1;
    details.date_text_1 = "02/05/2013 09:30:00";
    ASSERT_EQ(write_patient_summary(folder.path(), details), 0);
    const std::vector<uint8_t> bytes = read_bytes(folder.file("patsumm.dat"));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
              "Ann Example\r\nID-7\r\n14/05/2013 10:14:00\r\nPN100042\r\n1\r\n3\r\n-1\r\n"
              "02/05/2013 09:30:00\r\n\r\n");
}

