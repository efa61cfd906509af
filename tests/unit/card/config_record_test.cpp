#include <gtest/gtest.h>

#include <map>
#include <random>

#include "card/ccf_disk.h"
#include "card/char_set.h"
#include "card/config_record.h"
#include "card/counter_rules.h"
#include "extract/test_card.h"

using Bytes = std::array<uint8_t, kConfigRecordSize>;

TEST(ConfigRecord, FieldsSitAtTheirOffsetsLittleEndian) {
    ConfigRecord r;
    r.recording_num = 0x0201, r.init_time[0] = 3, r.patient_data_num = 0x0504;
    r.wav_recording_num = 0x0706, r.fir_flag = 8, r.fir_block[0] = 0x0A09;
    r.fir_block[31] = 0x0C0B, r.fir_sum = 0x0E0D, r.change_time[5] = 15, r.change_marker = 16;
    r.char_set = 17, r.patient_name[0] = 18, r.patient_id[0] = 19, r.event_text[95] = 20;
    Bytes bytes;
    encode_config_record(r, bytes);
    const std::map<size_t, uint8_t> expected{{1, 1},   {2, 2},   {4, 3},   {10, 4},   {11, 5},
                                             {12, 6},  {13, 7},  {15, 8},  {16, 9},   {17, 10},
                                             {78, 11}, {79, 12}, {80, 13}, {81, 14},  {93, 15},
                                             {94, 16}, {95, 17}, {96, 18}, {256, 19}, {511, 20}};
    for (size_t i = 0; i < bytes.size(); ++i)
        EXPECT_EQ(bytes[i], expected.contains(i) ? expected.at(i) : 0) << "offset " << i;
}

TEST(ConfigRecord, RewritingARecordKeepsEveryByteIncludingUninterpretedOnes) {
    std::mt19937 random(1);
    Bytes original;
    for (uint8_t& b : original)
        b = static_cast<uint8_t>(random());
    Bytes rewritten{};
    encode_config_record(decode_config_record(original), rewritten);
    EXPECT_EQ(rewritten, original);
}

// The record's text fields as reads show them: up to the terminator, or the whole width.
TEST(ConfigRecordText, EndsAtItsTerminatorOrItsWidth) {
    std::array<uint8_t, 4> field = {'a', 'b', 0, 'c'};
    EXPECT_EQ(field_text(field), "ab");
    field.fill('y');
    EXPECT_EQ(field_text(field), "yyyy");
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
        const ConfigRecord r{.recording_num = c.recording,
                             .patient_data_num = c.patient_data,
                             .wav_recording_num = c.wav};
        EXPECT_EQ(patient_data_belongs(r, c.s), c.patient) << c.recording << c.patient_data;
        EXPECT_EQ(speech_belongs(r, c.s), c.speech) << c.recording << c.patient_data;
        EXPECT_EQ(is_valid_ecg(r, c.s), c.valid) << c.recording << c.patient_data;
    }
}

TEST(CCFDisk, WrittenRecordReplacesTheFileAndReadsBackWhole) {
    CardFolder card;
    write_bytes(card.file("config.dat"), std::vector<uint8_t>(2000, 0xAA));
    CCFDisk& disk = card.disk;
    disk.m_config_dat.recording_num = 0x1234;
    store_field_text(disk.m_config_dat.patient_name, "Jane", false);
    ASSERT_TRUE(disk.write_config());
    Bytes bytes;
    encode_config_record(disk.m_config_dat, bytes);
    EXPECT_EQ(read_bytes(card.file("config.dat")),
              std::vector<uint8_t>(bytes.begin(), bytes.end()));
    CCFDisk reader;
    card.attach(reader);
    ASSERT_TRUE(reader.read_config());
    EXPECT_EQ(reader.m_config_dat, disk.m_config_dat);
}

TEST(CCFDisk, ShortRecordFileReplacesOnlyTheBytesItHas) {
    CardFolder card;
    write_bytes(card.file("config.dat"), std::vector<uint8_t>(100, 0x11));
    ConfigRecord& record = card.disk.m_config_dat;
    store_field_text(record.patient_name, "kept name", false);  // offsets 96..104
    ASSERT_TRUE(card.disk.read_config());
    EXPECT_EQ(record.recording_num, 0x1111);
    EXPECT_EQ(field_text(record.patient_name), "\x11\x11\x11\x11 name");
}

TEST(ReverseRtlRuns, ReversesOnlyRunsOfRightToLeftBytes) {
    EXPECT_EQ(reverse_rtl_runs("\x41\xE0\xE1\xE2\x20\xE3\x42"), "\x41\xE2\xE1\xE0\x20\xE3\x42");
    EXPECT_EQ(reverse_rtl_runs("\xE0\xE1\xE2\x20\xE3\x42"), "\xE2\xE1\xE0\x20\xE3\x42");
    EXPECT_EQ(reverse_rtl_runs(""), "");
}
