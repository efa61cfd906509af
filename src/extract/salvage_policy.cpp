#include "extract/salvage_policy.h"

#include "extract/bit_reader.h"
#include "format/recording_constants.h"
#include "format/sector_checksum.h"

std::optional<DamageReason> sector_damage(const Crc16Table& table,
                                          std::span<const uint8_t, kSectorSize> sector,
                                          uint16_t recording_num) {
    const uint8_t type_byte = sector_type_byte(sector);
    const SectorType type = sector_type_of(type_byte);
    // An end mark or another recording's sector that more of this recording follows.
    if (type_byte == 0 || sector_recording_num(sector) != recording_num)
        return DamageReason::foreign;
    if (type.kind == SectorKind::end) return DamageReason::unknown_type;
    Sector copy;
    std::copy(sector.begin(), sector.end(), copy.begin());
    if (!check_sector(table, copy, type.checksum)) return DamageReason::checksum;
    return std::nullopt;
}

bool can_resume_at(const Crc16Table& table, std::span<const uint8_t, kSectorSize> sector,
                   uint16_t recording_num) {
    if (sector_damage(table, sector, recording_num)) return false;
    if (sector_type_of(sector_type_byte(sector)).kind != SectorKind::compressed) return true;
    return is_body_bit(sector_decompression_index(sector));
}

int64_t data_sector_time_points(uint8_t format) {
    switch (format) {
        case 1:
        case 4:
            return kTwoChannelSectorTimePoints;
        case 2:
        case 5:
        case 48:
            return kThreeChannelSectorTimePoints;
        case 64:
        case 65:
            return kTwelveLeadTimePoints;
        default:
            return 0;
    }
}

DamageScan scan_damaged_stretch(std::FILE* file, const Crc16Table& table, uint16_t recording_num) {
    DamageScan scan;
    bool own = true;
    for (; scan.skipped < kMaxDamagedSectors; ++scan.skipped) {
        if (std::fread(scan.sector.data(), 1, kSectorSize, file) != kSectorSize) break;
        if (can_resume_at(table, scan.sector, recording_num)) {
            scan.found = true;
            break;
        }
        own = own && sector_recording_num(scan.sector) == recording_num;
        if (own) ++scan.own;
    }
    return scan;
}
