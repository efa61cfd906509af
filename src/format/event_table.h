// The event table of the event-table formats: seek points (types 1, 2, 4) and patient events
// (type 3) kept in event sectors inside ecg.dat, chained from one event sector to the next. The
// extraction seeks and publishes patient events from it; the summary derives the recording length
// and the side files the event list.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <span>
#include <vector>

#include "format/recording_time.h"
#include "format/sector_types.h"

inline constexpr size_t kMaxEventRecords = 500;

enum EventRecordType : uint8_t {
    kEventEndOfTable = 0,
    kEventPatient = 3,
    kEventNextSector = 254,      // the chain goes on at the next event sector of the file
    kEventNumberedSector = 255,  // the chain goes on at the sector numbered in bytes 508..511
};

// A segment's first data (a type-1 record) begins at the first bit of the sector's stream body.
inline constexpr uint16_t kSegmentStartBit = 40;

struct EventRecord {
    uint8_t type = 0;
    uint8_t length = 0;
    std::array<uint8_t, 6> time_bytes{};  // second, minute, hour, day, month, two-digit year
    uint32_t sector = 0;                  // where the recording continues at that time
    uint16_t decompression_index = 0;     // type 1 records resume at bit 40 instead

    RecordingTime time() const { return time_from_sector_bytes(time_bytes); }
    bool is_seek_point() const { return type == 1 || type == 2 || type == 4; }
    // The bit of `sector`, counted from sector byte 0, at which a seek to this record resumes.
    uint16_t resume_bit() const { return type == 1 ? kSegmentStartBit : decompression_index; }
};

using EventTable = std::vector<EventRecord>;

// Where the chain goes after one event sector.
struct EventChainStep {
    enum Kind { end, next_sector, numbered_sector } kind = end;
    uint32_t sector = 0;  // for numbered_sector
};

// Appends the sector's records of the stored types to the table (up to kMaxEventRecords) and
// says where the chain continues. A record that is too short to step over, or that runs past the
// sector, ends the table: a damaged sector must not stall or overrun the parse.
EventChainStep parse_event_sector(std::span<const uint8_t, kSectorSize> sector, EventTable& table);

// Whether a sector type byte is one of the event sectors the search accepts.
bool is_event_sector_type(uint8_t type_byte, bool include_twelve_lead);

// Loads the table of the ecg.dat open in file: the first event sector among the first 16 sectors,
// then the chain. Sectors of other types met while following "next sector" are passed over. The
// load ends at a type-0 record, at the end of the file, at a sector number that cannot be read,
// or when the chain comes back to a sector it has visited. The file position is left anywhere.
EventTable load_event_table(std::FILE* file, bool include_twelve_lead);
