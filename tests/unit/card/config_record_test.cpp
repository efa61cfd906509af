#include "card/config_record.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

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

TEST(ConfigRecordText, OverlongTextIsCutSoThatTheTerminatorStillFits) {
    std::array<uint8_t, kEventTextWidth> field;
    field.fill(0xEE);
    store_field_text(field, std::string(200, 'x'), false);
    EXPECT_EQ(field_text(field), std::string(kEventTextWidth - 1, 'x'));
    EXPECT_EQ(field.back(), 0);
    store_field_text(field, "short", false);
    EXPECT_EQ(field_text(field), "short");
    EXPECT_TRUE(std::all_of(field.begin() + 5, field.end(), [](uint8_t b) { return b == 0; }));
    // Visual order keeps the beginning of the logical text.
    std::array<uint8_t, 4> small{};
    store_field_text(small, "\xE0\xE1\xE2\xE3\xE4", true);
    EXPECT_EQ(field_text(small), "\xE2\xE1\xE0");
    // A field without a terminator ends at its width.
    small.fill('y');
    EXPECT_EQ(field_text(small), "yyyy");
}
