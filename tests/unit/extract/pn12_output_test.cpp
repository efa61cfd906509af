#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

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
    void SetUp() override {
        m_out = folder.file("out");
        std::filesystem::create_directories(m_out);
        disk.set_card_path(folder.path());
        disk.m_read_settings = ReadSettings{0, 24, 60};
    }
    std::vector<uint8_t> file(const std::string& name) const {
        return read_bytes(m_out + "/" + name);
    }

    TestFolder folder;
    NoAnswers no_answers;
    CCFDisk disk;
    std::string m_out;
};

TEST_F(TwelveLeadRead, WritesLeadFilesWithHeadersAndAtMostSixPacingIndices) {
    // 00:00:30 on 1 March 2016: with a 90 s preamble the output starts on 29 February.
    write_test_card(
        folder, {start_sector(64, {30, 0, 0, 1, 3, 16}),
                 twelve_lead_sector(-100, {0 << 3, 1 << 3, 2 << 3, 3 << 3, 4 << 3, 5 << 3, 6 << 3,
                                           7 << 3, 8 << 3}),
                 sealed(SectorBuilder(0x41).build()), twelve_lead_sector(500), Sector{}});
    ASSERT_TRUE(read_card(disk, kFormatPn12File, m_out, {}, "PROCEDURE-ID-16C"));

    constexpr size_t kPreamble = 90 * 128;
    const std::vector<uint8_t> lead2 = file("pn12ecg2.dat");
    ASSERT_EQ(lead2.size(), 59 + 2 * (kPreamble + 60 + 76800));
    const std::vector<uint8_t> header(lead2.begin(), lead2.begin() + 59);
    EXPECT_EQ(header[0], 1);
    EXPECT_EQ(get_u16le(&header[1]), 59);
    EXPECT_EQ(std::string(header.begin() + 3, header.begin() + 19), "PROCEDURE-ID-16C");
    EXPECT_EQ(std::vector<uint8_t>(header.begin() + 19, header.begin() + 25),
              (std::vector<uint8_t>{0, 59, 23, 29, 2, 116}));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&header[25])), "Lead II");
    EXPECT_EQ(get_u16le(&header[41]), 128);
    EXPECT_EQ(get_u16le(&header[43]), 1638);
    EXPECT_EQ(get_u32le(&header[47]), 0x42200000u);  // 40.0f
    // Compared as unsigned: lead II runs from -99 to 133 and from 501 to 733 in steps of 8.
    EXPECT_EQ(get_u16le(&header[55]), 5);
    EXPECT_EQ(get_u16le(&header[57]), static_cast<uint16_t>(-3));

    const std::vector<uint16_t> words = read_words(m_out + "/pn12ecg2.dat", 59);
    EXPECT_EQ(words[0], static_cast<uint16_t>(-819));
    EXPECT_EQ(words[32], 819);
    EXPECT_EQ(words[kPreamble], static_cast<uint16_t>(-99));
    EXPECT_EQ(words[kPreamble + 30], 501);
    EXPECT_EQ(words[kPreamble + 60], 0x8000);

    const std::vector<uint8_t> pacing = file("pn12pac.dat");
    ASSERT_EQ(pacing.size(), 29u + 6 * 4);
    EXPECT_EQ(get_u16le(&pacing[3]), 4);
    EXPECT_EQ(std::vector<uint8_t>(pacing.begin() + 21, pacing.begin() + 27),
              (std::vector<uint8_t>{0, 59, 23, 29, 2, 116}));
    for (uint32_t i = 0; i < 6; ++i)
        EXPECT_EQ(get_u32le(&pacing[29 + 4 * i]), kPreamble + i);
    EXPECT_EQ(file("other.dat").size(), 512u + 32 + 32);
}

TEST_F(TwelveLeadRead, LeadsWithoutSamplesReportTheEmptyStatistics) {
    disk.m_read_settings.calibration_seconds = 0;
    write_test_card(folder, {start_sector(65, {0, 0, 12, 1, 3, 16}), Sector{}});
    ASSERT_TRUE(read_card(disk, kFormatPn12Arch, m_out));
    const std::vector<uint8_t> lead8 = file("pn12ecg8.dat");
    ASSERT_EQ(lead8.size(), 59u + 2 * 76800);
    EXPECT_EQ(get_u16le(&lead8[55]), 65535);
    EXPECT_EQ(get_u16le(&lead8[57]), 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&lead8[25])), "V6");
}

TEST_F(TwelveLeadRead, TwelveLeadSectorsFailAReadIntoRawFilesAndOtherRecordingsA12LeadRead) {
    write_test_card(folder, {start_sector(64, {0, 0, 12, 1, 3, 16}), twelve_lead_sector(1)});
    EXPECT_FALSE(read_card(disk, kFormatArchive, m_out));
    write_test_card(folder, {start_sector(2, {0, 0, 12, 1, 3, 16}), Sector{}});
    EXPECT_FALSE(read_card(disk, kFormatPn12File, m_out));
}

}  // namespace
