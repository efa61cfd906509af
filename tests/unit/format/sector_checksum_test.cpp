#include "format/sector_checksum.h"

#include <gtest/gtest.h>

#include <random>

// Sealing and checking in place are what every read of a card goes through; these tests pin down
// the check value and how each variant meets damage.
namespace {

Sector random_sector(unsigned seed) {
    std::mt19937 random(seed);
    Sector sector;
    for (uint8_t& b : sector)
        b = static_cast<uint8_t>(random());
    return sector;
}

}  // namespace

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
    for (size_t i = kSectorBodyOffset; i < kSectorSize; ++i) {
        for (int bit = 0; bit < 8; ++bit) {
            Sector damaged = sealed;
            damaged[i] ^= static_cast<uint8_t>(1u << bit);
            EXPECT_FALSE(check_sector_b(table, damaged)) << "byte " << i << " bit " << bit;
        }
    }
}

TEST(SectorChecksumA, FlippedBitBeforeTheLastTwoBytesPassesAndDamagesThreeBytes) {
    // The recorder's variant A cannot see such damage (its register resynchronises on the
    // stored bytes); this pins down exactly what a real card's damaged sector looks like.
    const Crc16Table table;
    const Sector plain = random_sector(6);
    Sector sealed = plain;
    seal_sector_a(table, sealed);
    for (size_t i = kSectorBodyOffset; i < kSectorSize; ++i) {
        for (int bit = 0; bit < 8; ++bit) {
            Sector damaged = sealed;
            damaged[i] ^= static_cast<uint8_t>(1u << bit);
            const bool passed = check_sector_a(table, damaged);
            EXPECT_EQ(passed, i < 510) << "byte " << i << " bit " << bit;
            if (!passed) continue;
            for (size_t j = kSectorBodyOffset; j < kSectorSize; ++j) {
                const bool in_damage = j >= i && j <= i + 2;
                EXPECT_EQ(damaged[j] != plain[j], in_damage) << "flip " << i << ", byte " << j;
            }
        }
    }
}
