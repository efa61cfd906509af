#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "expected_output.h"
#include "extract/card_read.h"
#include "extract/pn12_header.h"
#include "test_card.h"

namespace {

struct TimeCase {
    const char* name;
    int64_t seconds;  // since 2000-01-01
    HeaderTime fields;
};

class HeaderTimeOf : public ::testing::TestWithParam<TimeCase> {};

TEST_P(HeaderTimeOf, GivesTheCalendarTimeWithTheYearFrom1900) {
    EXPECT_EQ(header_time_of(GetParam().seconds), GetParam().fields);
}

constexpr int64_t kDay = 86400;
// 2016-02-28 is day 5902 after 2000-01-01; 2014-01-01 is day 5114.
INSTANTIATE_TEST_SUITE_P(
    Dates, HeaderTimeOf,
    ::testing::Values(TimeCase{"Start2000", 0, {0, 0, 0, 1, 1, 100}},
                      TimeCase{"Year2014", 5114 * kDay + 3661, {1, 1, 1, 1, 1, 114}},
                      TimeCase{"Feb28BeforeMidnight", 5903 * kDay - 1, {59, 59, 23, 28, 2, 116}},
                      TimeCase{"Feb29", 5903 * kDay, {0, 0, 0, 29, 2, 116}},
                      TimeCase{"Feb29BeforeMidnight", 5904 * kDay - 1, {59, 59, 23, 29, 2, 116}},
                      TimeCase{"March1", 5904 * kDay, {0, 0, 0, 1, 3, 116}},
                      TimeCase{"Feb28To1March2015", 5538 * kDay, {0, 0, 0, 1, 3, 115}},
                      TimeCase{"Before2000", -1, {59, 59, 23, 31, 12, 99}}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

class TwelveLeadRead : public ::testing::Test {
  protected:
    TwelveLeadRead() {
        std::filesystem::create_directories(m_out);
        card.disk.m_read_settings = ReadSettings{0, 24, 0};
    }

    CardFolder card;
    NoAnswers no_answers;
    std::string m_out = card / "out";
};

// The end-to-end ReadTwelveLead tests compare headers, lead words and pulses of whole recordings;
// a recording's pulses never come as close as these.
TEST_F(TwelveLeadRead, KeepsAtMostSixPacingIndicesOfASector) {
    card.write({start_sector(64, {0, 0, 12, 1, 3, 16}),
                twelve_lead_sector(
                    -100, {0 << 3, 1 << 3, 2 << 3, 3 << 3, 4 << 3, 5 << 3, 6 << 3, 7 << 3, 8 << 3}),
                Sector{}});
    ASSERT_TRUE(read_card(card.disk, kFormatPn12File, m_out));
    EXPECT_EQ(read_words<uint32_t>(m_out + "/pn12pac.dat", 29),
              (std::vector<uint32_t>{0, 1, 2, 3, 4, 5}));
}

TEST_F(TwelveLeadRead, LeadsWithoutSamplesReportTheEmptyStatistics) {
    card.write({start_sector(65, {0, 0, 12, 1, 3, 16}), Sector{}});
    ASSERT_TRUE(read_card(card.disk, kFormatPn12Arch, m_out));
    const std::vector<uint8_t> lead8 = read_bytes(m_out + "/pn12ecg8.dat");
    ASSERT_EQ(lead8.size(), 59u + 2 * 76800);
    EXPECT_EQ(std::vector<uint8_t>(lead8.begin(), lead8.begin() + 59),
              expected::pn12_lead_header("", {0, 0, 12, 1, 3, 116}, "V6", {}));
}

TEST_F(TwelveLeadRead, TwelveLeadSectorsFailAReadIntoRawFilesAndOtherRecordingsA12LeadRead) {
    card.write({start_sector(64, {0, 0, 12, 1, 3, 16}), twelve_lead_sector(1)});
    EXPECT_FALSE(read_card(card.disk, kFormatArchive, m_out));
    card.write({start_sector(2, {0, 0, 12, 1, 3, 16}), Sector{}});
    EXPECT_FALSE(read_card(card.disk, kFormatPn12File, m_out));
}

}  // namespace
