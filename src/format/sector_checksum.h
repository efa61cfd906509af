// The sector checksum with the descrambling folded into it. The recorder scrambles bodies
// (bytes 5..511) with the running CRC-16 register while it computes the CRC-16/MCRF4XX of the
// plain bytes, and stores the register in bytes 3-4. The extraction checks and descrambles every
// sector that carries a checksum; card recovery and the recorder simulator seal sectors.
//
// Variant A XORs each byte with the register's low byte, variant B with its high byte. The two
// are not equally strong, and the difference is the recorder's, so it is kept exactly:
// - In variant A the table index (register XOR plain byte) equals the stored byte itself, so the
//   scrambling is self-synchronising and the final register depends only on stored bytes 510 and
//   511. A damaged stored byte in 5..509 passes the check and descrambles to damaged data in that
//   byte and the two after it. Rejecting such sectors would reject sectors of real cards.
// - In variant B the register follows the plain bytes, and a single flipped bit anywhere in
//   5..511 fails the check.
#pragma once

#include <span>

#include "format/crc16.h"
#include "format/sector_types.h"

// Descramble bytes 5..511 in place and tell whether the checksum matches bytes 3-4. Checking a
// buffer twice descrambles it twice, so a check consumes the scrambled sector.
bool check_sector_a(const Crc16Table& table, std::span<uint8_t, kSectorSize> sector);
bool check_sector_b(const Crc16Table& table, std::span<uint8_t, kSectorSize> sector);

// The inverse: scramble the plain bytes 5..511 in place and store the checksum in bytes 3-4.
void seal_sector_a(const Crc16Table& table, std::span<uint8_t, kSectorSize> sector);
void seal_sector_b(const Crc16Table& table, std::span<uint8_t, kSectorSize> sector);

// The variant's check or seal; a sector without a checksum is left alone and checks as good.
bool check_sector(const Crc16Table& table, std::span<uint8_t, kSectorSize> sector,
                  ChecksumVariant variant);
void seal_sector(const Crc16Table& table, std::span<uint8_t, kSectorSize> sector,
                 ChecksumVariant variant);
