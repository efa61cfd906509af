#include "format/sector_checksum.h"

#include "support/byte_order.h"

namespace {

enum class Direction { descramble, scramble };

// The one loop behind all four operations: the register always advances over the plain byte,
// which is the stored byte after descrambling and the input byte when scrambling.
template <ChecksumVariant Variant, Direction Dir>
uint16_t run_register(const Crc16Table& table, std::span<uint8_t, kSectorSize> sector) {
    unsigned c = 0xFFFF;
    for (size_t i = kSectorBodyOffset; i < kSectorSize; ++i) {
        const unsigned key = Variant == ChecksumVariant::a ? (c & 0xFFu) : (c >> 8);
        const unsigned plain = Dir == Direction::descramble ? sector[i] ^ key : sector[i];
        sector[i] = static_cast<uint8_t>(sector[i] ^ key);
        c = (c >> 8) ^ table[static_cast<uint8_t>(c ^ plain)];
    }
    return static_cast<uint16_t>(c);
}

template <ChecksumVariant Variant>
bool check(const Crc16Table& table, std::span<uint8_t, kSectorSize> sector) {
    const uint16_t computed = run_register<Variant, Direction::descramble>(table, sector);
    return computed == get_u16le(sector.data() + kSectorCrcOffset);
}

template <ChecksumVariant Variant>
void seal(const Crc16Table& table, std::span<uint8_t, kSectorSize> sector) {
    put_u16le(sector.data() + kSectorCrcOffset,
              run_register<Variant, Direction::scramble>(table, sector));
}

}  // namespace

bool check_sector_a(const Crc16Table& table, std::span<uint8_t, kSectorSize> sector) {
    return check<ChecksumVariant::a>(table, sector);
}

bool check_sector_b(const Crc16Table& table, std::span<uint8_t, kSectorSize> sector) {
    return check<ChecksumVariant::b>(table, sector);
}

void seal_sector_a(const Crc16Table& table, std::span<uint8_t, kSectorSize> sector) {
    seal<ChecksumVariant::a>(table, sector);
}

void seal_sector_b(const Crc16Table& table, std::span<uint8_t, kSectorSize> sector) {
    seal<ChecksumVariant::b>(table, sector);
}

bool check_sector(const Crc16Table& table, std::span<uint8_t, kSectorSize> sector,
                  ChecksumVariant variant) {
    switch (variant) {
        case ChecksumVariant::a:
            return check_sector_a(table, sector);
        case ChecksumVariant::b:
            return check_sector_b(table, sector);
        case ChecksumVariant::none:
            break;
    }
    return true;
}

void seal_sector(const Crc16Table& table, std::span<uint8_t, kSectorSize> sector,
                 ChecksumVariant variant) {
    switch (variant) {
        case ChecksumVariant::a:
            seal_sector_a(table, sector);
            break;
        case ChecksumVariant::b:
            seal_sector_b(table, sector);
            break;
        case ChecksumVariant::none:
            break;
    }
}
