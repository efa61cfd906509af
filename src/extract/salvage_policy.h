// The rules of a salvage read that need no read state: what makes a sector inside a recording
// damaged, how long a damaged data sector lasts, and where the recording can be picked up again
// after a damaged stretch. The extraction asks them only when the caller asked for salvage.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>

#include "extract/salvage_report.h"
#include "format/crc16.h"
#include "format/sector_types.h"

// A damaged stretch longer than this is taken as the end of the recording: the rest of a card's
// ecg.dat is unused sectors, and the look-ahead must not read a whole card at every end.
inline constexpr uint64_t kMaxDamagedSectors = 4096;

// Why a sector met inside the recording cannot be used; nothing when it can. The checksum is
// tested on a copy, so the sector stays scrambled for the ordinary processing.
std::optional<DamageReason> sector_damage(const Crc16Table& table,
                                          std::span<const uint8_t, kSectorSize> sector,
                                          uint16_t recording_num);

// Whether the read can go on at this sector after a damaged stretch: an undamaged sector and,
// in a compressed recording, one in which a block begins, so that decoding can start there.
bool can_resume_at(const Crc16Table& table, std::span<const uint8_t, kSectorSize> sector,
                   uint16_t recording_num);

// Time points of one data sector of the format, for the seconds a damaged one costs; 0 for the
// compressed formats, whose sectors hold a varying number of seconds.
int64_t data_sector_time_points(uint8_t format);

struct DamageScan {
    // The sector to go on with, when one was found.
    bool found = false;
    Sector sector{};
    // Sectors from the file position to it.
    uint64_t skipped = 0;
    // Sectors from the file position on that still carry the recording's number: where nothing
    // follows, the damaged stretch ends with them.
    uint64_t own = 0;
};

// Reads on from the file's position for a sector the read can go on with, for at most
// kMaxDamagedSectors sectors. The file is left after the sector found.
DamageScan scan_damaged_stretch(std::FILE* file, const Crc16Table& table, uint16_t recording_num);
