#include <gtest/gtest.h>

#include <map>
#include <random>

#include "extract/sector_builder.h"
#include "format/sector_checksum.h"
#include "format/start_sector.h"
#include "format/start_sector_reader.h"
#include "test_folder.h"

namespace {

const StartSector kFields{.sector_format_num = 0x82,
                          .recording_num = 0x0405,
                          .recording_start_type = 2,
                          .recording_start_time = {20, 15, 10, 15, 7, 13},
                          .recording_exp_length = {24, 0, 1},
                          .recording_format = 0x85,
                          .recorder_sw_ver = 0x0312,
                          .recorder_serial_no = {'P', 'N', '1', '2', '3', '4', 0, 0},
                          .recording_flags = 0x41,
                          .pacing_threshold = 0x0150,
                          .recording_length = 48};

Sector random_sector(unsigned seed) {
    std::mt19937 random(seed);
    Sector sector;
    for (uint8_t& b : sector)
        b = static_cast<uint8_t>(random());
    return sector;
}

}  // namespace

TEST(StartSector, FieldsSitAtTheirOffsetsAndOtherBytesAreKept) {
    Sector sector;
    sector.fill(0xEE);
    encode_start_sector(kFields, sector);
    const std::map<size_t, uint8_t> expected{{0, 0x82},  {1, 0x05},  {2, 0x04},  {6, 20},
                                             {11, 13},   {12, 24},   {15, 0x85}, {16, 0x12},
                                             {18, 'P'},  {26, 0x41}, {27, 0x50}, {28, 0x01},
                                             {29, 0xEE}, {182, 48},  {183, 0xEE}};
    for (const auto& [offset, value] : expected)
        EXPECT_EQ(sector[offset], value) << "offset " << offset;
    EXPECT_EQ(decode_start_sector(sector), kFields);
    EXPECT_EQ(recorder_serial_text(kFields), "PN1234");
}

// A damaged checksum is found and reported bad: SimulatedCardFiles.EventTableFormats...
TEST(FirstStartSector, IsFoundPastLeadingSectorsChecksAndDescrambled) {
    const Crc16Table table;
    TestFolder folder;
    for (const uint8_t type : {0x81, 0x82, 0x83}) {
        SCOPED_TRACE(int{type});
        StartSector expected = kFields;
        expected.sector_format_num = type;
        Sector start{};
        encode_start_sector(expected, start);
        seal_sector(table, start, sector_type_of(type).checksum);
        expected.sector_crc = decode_start_sector(start).sector_crc;
        std::vector<uint8_t> ecg;
        for (const Sector& s : {SectorBuilder(0x02).build(), SectorBuilder(0x20).build(), start})
            ecg.insert(ecg.end(), s.begin(), s.end());
        write_bytes(folder.file("ecg.dat"), ecg);
        Sector out{};
        const StartSectorSearch result = read_first_start_sector(table, folder.path(), out);
        EXPECT_TRUE(result.found);
        EXPECT_TRUE(result.checksum_good);
        EXPECT_EQ(decode_start_sector(out), expected);
    }
}

// Sealing and checking in place are what every read of a card goes through; these tests pin down
// the check value and how each variant meets damage.
TEST(Crc16Table, GivesTheMcrf4xxCheckValue) {
    // Catalogue check value of CRC-16/MCRF4XX over the ASCII bytes "123456789".
    const Crc16Table table;
    unsigned c = 0xFFFF;
    for (const char b : std::string("123456789"))
        c = (c >> 8) ^ table[static_cast<uint8_t>(c ^ static_cast<uint8_t>(b))];
    EXPECT_EQ(c, 0x6F91u);
}

TEST(SectorChecksumB, AnySingleFlippedBitInTheBodyFails) {
    const Crc16Table table;
    Sector sealed = random_sector(5);
    seal_sector_b(table, sealed);
    for (size_t bit = kSectorBodyOffset * 8; bit < kSectorSize * 8; ++bit) {
        Sector damaged = sealed;
        damaged[bit / 8] ^= static_cast<uint8_t>(1u << bit % 8);
        EXPECT_FALSE(check_sector_b(table, damaged)) << "bit " << bit;
    }
}

TEST(SectorChecksumA, FlippedBitBeforeTheLastTwoBytesPassesAndDamagesThreeBytes) {
    // The recorder's variant A cannot see such damage (its register resynchronises on the
    // stored bytes); this pins down exactly what a real card's damaged sector looks like.
    const Crc16Table table;
    const Sector plain = random_sector(6);
    Sector sealed = plain;
    seal_sector_a(table, sealed);
    for (size_t bit = kSectorBodyOffset * 8; bit < kSectorSize * 8; ++bit) {
        const size_t i = bit / 8;
        Sector damaged = sealed;
        damaged[i] ^= static_cast<uint8_t>(1u << bit % 8);
        const bool passed = check_sector_a(table, damaged);
        EXPECT_EQ(passed, i < 510) << "bit " << bit;
        if (!passed) continue;
        for (size_t j = kSectorBodyOffset; j < kSectorSize; ++j)
            EXPECT_EQ(damaged[j] != plain[j], j >= i && j <= i + 2)
                << "bit " << bit << ", byte " << j;
    }
}
