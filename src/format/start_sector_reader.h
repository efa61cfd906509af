// Finding the first start sector of ecg.dat: card status, validity checks, marking as read,
// recovery and the extraction all begin with it.
#pragma once

#include <cstdint>
#include <string>

#include "format/crc16.h"
#include "format/sector_types.h"

struct StartSectorSearch {
    bool found = false;
    bool checksum_good = false;
    // Where the start sector lies in ecg.dat, in sectors.
    uint64_t sector_index = 0;
};

// Reads ecg.dat in the card folder sector by sector from the start until a start sector, which
// it checks, descrambles and copies to out. The end of the file or a short read before one means
// not found, and out is then unchanged.
StartSectorSearch read_first_start_sector(const Crc16Table& table, const std::string& card_folder,
                                          Sector& out);
