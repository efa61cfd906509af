// Unpacking the uncompressed data sectors (types 0x01, 0x02, 0x30: 10-bit samples; 0x04, 0x05:
// delta-coded 12-bit samples) into a block of time points, which the extraction marks with the
// pacing window and hands to the chosen output.
#pragma once

#include <cstdint>
#include <span>

#include "extract/time_point_block.h"
#include "format/data_sector.h"
#include "format/sector_types.h"

// Unpacks a descrambled sector of an uncompressed type into the block, marking the time points of
// its pace entries with kPaceMark; false, leaving the block as it was, for any other type.
bool unpack_uncompressed_sector(std::span<const uint8_t, kSectorSize> sector,
                                TimePointBlock& block);
