#include "card/ccf_disk.h"

#include <gtest/gtest.h>

#include <ctime>

#include "card/char_set.h"
#include "test_folder.h"

namespace {

std::vector<uint8_t> encoded(const ConfigRecord& record) {
    std::array<uint8_t, kConfigRecordSize> bytes;
    encode_config_record(record, bytes);
    return {bytes.begin(), bytes.end()};
}

}  // namespace

TEST(CCFDisk, WrittenRecordReplacesTheFileAndReadsBackWhole) {
    TestFolder folder;
    write_bytes(folder.file("config.dat"), std::vector<uint8_t>(2000, 0xAA));
    CCFDisk disk;
    disk.set_card_path(folder.path());
    disk.m_config_dat.recording_num = 0x1234;
    store_field_text(disk.m_config_dat.patient_name, "Jane", false);
    ASSERT_TRUE(disk.write_config());
    EXPECT_EQ(read_bytes(folder.file("config.dat")), encoded(disk.m_config_dat));
    CCFDisk reader;
    reader.set_card_path(folder.path());
    ASSERT_TRUE(reader.read_config());
    EXPECT_EQ(reader.m_config_dat, disk.m_config_dat);
}

TEST(CCFDisk, MissingFileOrFolderFailsAndLeavesTheRecord) {
    TestFolder folder;
    CCFDisk disk;
    disk.set_card_path(folder.path());
    disk.m_config_dat.recording_num = 9;
    EXPECT_FALSE(disk.read_config());
    EXPECT_EQ(disk.m_config_dat.recording_num, 9);
    disk.set_card_path(folder.file("absent"));
    EXPECT_FALSE(disk.write_config());
}

TEST(CCFDisk, ShortRecordFileReplacesOnlyTheBytesItHas) {
    TestFolder folder;
    write_bytes(folder.file("config.dat"), std::vector<uint8_t>(100, 0x11));
    CCFDisk disk;
    disk.set_card_path(folder.path());
    store_field_text(disk.m_config_dat.patient_name, "kept name", false);  // offsets 96..104
    ASSERT_TRUE(disk.read_config());
    EXPECT_EQ(disk.m_config_dat.recording_num, 0x1111);
    EXPECT_EQ(field_text(disk.m_config_dat.patient_name), "\x11\x11\x11\x11 name");
}

TEST(CCFDisk, NewRecordHoldsConditioningCountersTextsAndTime) {
    TestFolder folder;
    CCFDisk disk;
    disk.set_card_path(folder.path());
    disk.m_config_dat.byte_3 = 0x77;
    const std::time_t now = std::time(nullptr);
    ASSERT_TRUE(disk.new_config_record("", "ID-7", "chest pain", false, {}));
    const ConfigRecord& r = disk.m_config_dat;
    EXPECT_EQ(r.byte_0, 1);
    EXPECT_EQ(r.byte_3, 0);
    EXPECT_EQ(r.patient_data_num, 3);
    EXPECT_EQ(r.char_set, system_char_set());
    EXPECT_EQ(field_text(r.patient_id), "ID-7");
    EXPECT_EQ(field_text(r.event_text), "chest pain");
    EXPECT_EQ(r.init_time[kTimeFieldYear], two_digit_year(std::localtime(&now)->tm_year + 1900));
    EXPECT_EQ(read_bytes(folder.file("config.dat")), encoded(r));
}

TEST(CCFDisk, FirBlockTakesSixteenElementsAndSumsAllThirtyTwoWords) {
    CCFDisk disk;
    disk.m_config_dat.fir_block[20] = 1000;
    FirElements elements;
    for (size_t i = 0; i < elements.size(); ++i)
        elements[i] = static_cast<uint16_t>(0x1000 * (i + 1));
    disk.set_fir_block(true, elements);
    const ConfigRecord& r = disk.m_config_dat;
    EXPECT_EQ(r.fir_flag, 0x20);
    EXPECT_EQ(r.fir_block[14], 0xF000);
    EXPECT_EQ(r.fir_block[16], 0);
    EXPECT_EQ(r.fir_block[20], 1000);
    // 0x1000 * (1 + ... + 16) = 0x88000 wraps to 0x8000, plus the kept word.
    EXPECT_EQ(r.fir_sum, 0x8000 + 1000);
    disk.set_fir_block(false, elements);
    EXPECT_EQ(r.fir_flag, 0);
    EXPECT_EQ(r.fir_sum, 0);
    EXPECT_EQ(r.fir_block, FirElements{});
}
