// Unpacking the uncompressed data sectors (types 0x01, 0x02, 0x30: 10-bit samples; 0x04, 0x05:
// delta-coded 12-bit samples) into time points. The extraction hands each descrambled sector to
// unpack_uncompressed_sector with a sink that writes the samples to the chosen output.
#pragma once

#include <cstdint>
#include <span>

#include "format/data_sector.h"
#include "format/sector_types.h"

// Receives the time points of a sector in order.
class TimePointSink {
  public:
    virtual ~TimePointSink() = default;
    // Asked before each packed group; false ends the sector (used for the duration limit, which
    // the output tests once per group).
    virtual bool begin_group() = 0;
    // One time point: a value per channel (10- or 12-bit as the layout says) and whether a
    // pacemaker pulse was detected at it.
    virtual void time_point(std::span<const uint16_t> values, bool pace_pulse) = 0;
};

// Unpacks a descrambled sector of an uncompressed type into the sink; false, without calling the
// sink, for any other type.
bool unpack_uncompressed_sector(std::span<const uint8_t, kSectorSize> sector, TimePointSink& sink);
