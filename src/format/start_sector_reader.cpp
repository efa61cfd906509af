#include "format/start_sector_reader.h"

#include <cstdio>

#include "format/card_files.h"
#include "format/sector_checksum.h"

StartSectorSearch read_first_start_sector(const Crc16Table& table, const std::string& card_folder,
                                          Sector& out) {
    const CardFile file = open_card_file_for_reading(card_folder, kEcgFileName);
    if (!file) return {};
    Sector sector;
    for (uint64_t index = 0;
         std::fread(sector.data(), 1, sector.size(), file.get()) == sector.size(); ++index) {
        const SectorType type = sector_type_of(sector_type_byte(sector));
        if (type.kind != SectorKind::start) continue;
        const bool good = check_sector(table, sector, type.checksum);
        out = sector;
        return {true, good, index};
    }
    return {};
}
