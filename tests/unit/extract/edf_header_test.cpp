#include "extract/edf_header.h"

#include <gtest/gtest.h>

// The patient field writes blanks as underscores and non-ASCII letters by the stated rule.
TEST(EdfHeaderFields, PatientByTheStatedRuleAndRecordingWithTheRecorder) {
    const struct {
        const char* id;
        const char* name;
        const char* field;
    } cases[] = {
        {"", "", "X X X X"},
        {"42", "J\xC3\xBCrgen \xC3\x86sa \xC3\x9F", "42 X X Jurgen_AEsa_ss"},  // UTF-8
        {"42", "J\xFCrgen \xD8ster", "42 X X Jurgen_Oster"},                   // Windows-1252
        {"42", "\xE6\x9D\x8E Wei", "42 X X ?_Wei"},                            // no Latin letter
        {"42", "tab\there\x7F", "42 X X tab?here?"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(edf_patient_field(c.id, c.name), c.field) << c.name;
    // The end-to-end exports check the header and the onsets with independent readers; the
    // recorder's name in the recording field is read by none of them.
    // 2013-05-14 10:14:00 in seconds since 2000.
    EXPECT_EQ(edf_recording_field(421841640, "PN 100"),
              "Startdate 14-MAY-2013 X X Pulsenote_CF_PN_100");
}
