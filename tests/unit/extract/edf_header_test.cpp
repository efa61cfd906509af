#include "extract/edf_header.h"

#include <gtest/gtest.h>

TEST(EdfPatientField, WritesBlanksAsUnderscoresAndNonAsciiByTheStatedRule) {
    const struct {
        const char* id;
        const char* name;
        const char* field;
    } cases[] = {
        {"ID 7", "Anna Maria Smith", "ID_7 X X Anna_Maria_Smith"},
        {"", "", "X X X X"},
        {"42", "J\xC3\xBCrgen \xC3\x86sa \xC3\x9F", "42 X X Jurgen_AEsa_ss"},  // UTF-8
        {"42", "J\xFCrgen \xD8ster", "42 X X Jurgen_Oster"},                   // Windows-1252
        {"42", "\xE6\x9D\x8E Wei", "42 X X ?_Wei"},                            // no Latin letter
        {"42", "tab\there\x7F", "42 X X tab?here?"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(edf_patient_field(c.id, c.name), c.field) << c.name;
}

TEST(EdfHeaderTexts, GiveTheStartDateAndExactOnsetsAt128Hz) {
    // 2013-05-14 10:14:00 in seconds since 2000.
    const int64_t start = 421841640;
    EXPECT_EQ(edf_recording_field(start, "PN 100"),
              "Startdate 14-MAY-2013 X X Pulsenote_CF_PN_100");
    EXPECT_EQ(edf_onset_text(0), "+0");
    EXPECT_EQ(edf_onset_text(128 * 90), "+90");
    EXPECT_EQ(edf_onset_text(128 * 90 + 1), "+90.0078125");
    EXPECT_EQ(edf_onset_text(64), "+0.5");
    const std::vector<uint8_t> header = encode_edf_header(
        {"X X X X", "Startdate", start, true, 12, {{"ECG channel 1", "mV", -5, 5, 0, 4095, 128}}});
    ASSERT_EQ(header.size(), 512u);
    EXPECT_EQ(std::string(header.begin() + 168, header.begin() + 192), "14.05.1310.14.00512     ");
    EXPECT_EQ(std::string(header.begin() + 192, header.begin() + 197), "EDF+D");
    EXPECT_EQ(std::string(header.begin() + 236, header.begin() + 256), "12      1       1   ");
}
