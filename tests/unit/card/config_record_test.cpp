#include "card/config_record.h"

#include <gtest/gtest.h>

#include <random>

#include "card/time_field.h"

namespace {

using Bytes = std::array<uint8_t, kConfigRecordSize>;

Bytes random_bytes(unsigned seed) {
    std::mt19937 random(seed);
    Bytes bytes;
    for (uint8_t& b : bytes)
        b = static_cast<uint8_t>(random());
    return bytes;
}

}  // namespace

TEST(ConfigRecord, DecodesEveryFieldFromItsOffset) {
    Bytes bytes{};
    bytes[0] = 1;
    bytes[1] = 0x34, bytes[2] = 0x12;  // recording_num
    bytes[4] = 59, bytes[9] = 13;      // init_time second .. year
    bytes[10] = 0x02, bytes[11] = 0x01;
    bytes[12] = 0x04, bytes[13] = 0x03;
    bytes[15] = 0x20;
    bytes[16] = 0xCD, bytes[17] = 0xAB;  // fir_block[0]
    bytes[78] = 0x11, bytes[79] = 0x22;  // fir_block[31]
    bytes[80] = 0xEF, bytes[81] = 0xBE;
    bytes[88] = 7, bytes[93] = 99;
    bytes[94] = 0xA5;
    bytes[95] = 131;
    bytes[96] = 'N', bytes[256] = 'I', bytes[416] = 'E';
    const ConfigRecord r = decode_config_record(bytes);
    EXPECT_EQ(r.byte_0, 1);
    EXPECT_EQ(r.recording_num, 0x1234);
    EXPECT_EQ(r.init_time[kTimeFieldSecond], 59);
    EXPECT_EQ(r.init_time[kTimeFieldYear], 13);
    EXPECT_EQ(r.patient_data_num, 0x0102);
    EXPECT_EQ(r.wav_recording_num, 0x0304);
    EXPECT_EQ(r.fir_flag, kFirPresentFlag);
    EXPECT_EQ(r.fir_block[0], 0xABCD);
    EXPECT_EQ(r.fir_block[31], 0x2211);
    EXPECT_EQ(r.fir_sum, 0xBEEF);
    EXPECT_EQ(r.change_time[kTimeFieldSecond], 7);
    EXPECT_EQ(r.change_time[kTimeFieldYear], 99);
    EXPECT_EQ(r.change_marker, kPatientChangeMarker);
    EXPECT_EQ(r.char_set, 131);
    EXPECT_EQ(field_text(r.patient_name), "N");
    EXPECT_EQ(field_text(r.patient_id), "I");
    EXPECT_EQ(field_text(r.event_text), "E");
}

TEST(ConfigRecord, RewritingARecordKeepsEveryByteIncludingUninterpretedOnes) {
    for (unsigned seed = 1; seed <= 5; ++seed) {
        const Bytes original = random_bytes(seed);
        Bytes rewritten{};
        encode_config_record(decode_config_record(original), rewritten);
        EXPECT_EQ(rewritten, original) << "seed " << seed;
    }
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
}

TEST(ConfigRecordText, VisualOrderReversesTheKeptBeginningOfAnOverlongText) {
    std::array<uint8_t, 4> field{};
    store_field_text(field, "\xE0\xE1\xE2\xE3\xE4", true);
    EXPECT_EQ(field_text(field), "\xE2\xE1\xE0");
}

TEST(ConfigRecordText, FieldWithoutTerminatorEndsAtItsWidth) {
    std::array<uint8_t, kEventTextWidth> field;
    field.fill('y');
    EXPECT_EQ(field_text(field), std::string(kEventTextWidth, 'y'));
}

TEST(TwoDigitYear, NinetyNineIsTheOnlyYearBefore2000) {
    EXPECT_EQ(two_digit_year(1999), 99);
    EXPECT_EQ(two_digit_year(2000), 0);
    EXPECT_EQ(two_digit_year(2013), 13);
    EXPECT_EQ(calendar_year(99), 1999);
    EXPECT_EQ(calendar_year(0), 2000);
    EXPECT_EQ(calendar_year(13), 2013);
}

TEST(TimeField, HoldsSecondMinuteHourDayMonthFromOneAndTwoDigitYear) {
    std::tm local{};
    local.tm_sec = 5, local.tm_min = 4, local.tm_hour = 3;
    local.tm_mday = 31, local.tm_mon = 11, local.tm_year = 99;
    EXPECT_EQ(time_field_of(local), (TimeField{5, 4, 3, 31, 12, 99}));
    local.tm_year = 113;
    EXPECT_EQ(time_field_of(local), (TimeField{5, 4, 3, 31, 12, 13}));
}
