// The event table of the event-table formats: records of recording starts, seek points and
// patient events, written into event sectors (0x20, 0x31, or 0x42 for 12-lead) that form a chain.
//
// The simulated recorder keeps the head of the chain in the sector after the first start
// sector. Every few hours it writes the records it has collected into an event sector between
// the data sectors; the head names the first of those by number (continuation 255), each of
// them leads on to the next event sector further on (254), and the records left at the end go
// into sectors after the last data sector. A type-0 record ends the table.
#pragma once

#include <cstdint>
#include <vector>

#include "cardsim/lib/civil_time.h"
#include "cardsim/lib/sector_sink.h"

namespace cardsim {

enum EventRecordType : uint8_t {
    kRecordSegmentStart = 1,  // the first data of a segment; a seek lands on bit 40
    kRecordSeekPoint = 2,     // in 0x20 and 0x31 sectors
    kRecordPatientEvent = 3,
    kRecordTwelveLeadSeekPoint = 4,  // in 0x42 sectors
    kRecordTwelveLeadStatus = 5,     // 0x42 only; readers pass over it by its length
};

struct EventRecord {
    uint8_t type = 0;
    int64_t seconds = 0;  // from the recording start
    uint32_t sector = 0;
    uint16_t bit_index = 0;
};

// Splits time-ordered records over the event sectors: slot k can hold records earlier than
// slot_limits[k] seconds (what the recorder had collected when it wrote the slot); records no
// slot can take fill further sectors at the end. Returns the records of each sector in chain
// order, the slots first.
std::vector<std::vector<EventRecord>> distribute_event_records(
    uint8_t sector_type, const std::vector<EventRecord>& records,
    const std::vector<int64_t>& slot_limits);

// Encodes the sectors of the chain; sector_numbers gives each sector's place in ecg.dat. With
// `loop` the last sector continues at the first instead of ending the table.
std::vector<SectorBytes> encode_event_sectors(uint8_t sector_type, uint16_t recording_num,
                                              const CivilTime& start,
                                              const std::vector<std::vector<EventRecord>>& groups,
                                              const std::vector<uint32_t>& sector_numbers,
                                              bool loop);

}  // namespace cardsim
