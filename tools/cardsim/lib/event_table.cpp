#include "cardsim/lib/event_table.h"

#include "support/byte_order.h"

namespace cardsim {
namespace {

constexpr size_t kFirstRecordOffset = 3;
constexpr size_t kContinuationSectorOffset = 508;
constexpr uint8_t kEndOfTable = 0;
constexpr uint8_t kContinueWithNext = 254;
constexpr uint8_t kContinueAtNumber = 255;
constexpr size_t kEndRecordSize = 2;
// Records and the closing record must leave bytes 508..511 for a numbered continuation.
constexpr size_t kRecordRoom = kContinuationSectorOffset - kFirstRecordOffset - kEndRecordSize;
constexpr uint8_t kTwelveLeadEventType = 0x42;

size_t record_size(uint8_t type) {
    switch (type) {
        case kRecordPatientEvent:
            return 8;
        case kRecordTwelveLeadStatus:
            return 6;
        default:
            return 14;  // type, length, time, sector, index
    }
}

// A 0x42 sector opens with a status record that the table does not keep.
size_t fixed_bytes(uint8_t sector_type) {
    return sector_type == kTwelveLeadEventType ? record_size(kRecordTwelveLeadStatus) : 0;
}

size_t put_record(SectorBytes& sector, size_t offset, const EventRecord& record,
                  const CivilTime& start) {
    const size_t size = record_size(record.type);
    sector[offset] = record.type;
    sector[offset + 1] = static_cast<uint8_t>(size);
    if (record.type == kRecordTwelveLeadStatus) {
        put_u32le(&sector[offset + 2], record.sector);  // battery and lead-state words
        return size;
    }
    const auto bytes = time_bytes(civil_time_at(seconds_since_2000(start) + record.seconds));
    for (size_t i = 0; i < bytes.size(); ++i)
        sector[offset + 2 + i] = bytes[i];
    if (size >= 14) {
        put_u32le(&sector[offset + 8], record.sector);
        put_u16le(&sector[offset + 12], record.bit_index);
    }
    return size;
}

}  // namespace

std::vector<std::vector<EventRecord>> distribute_event_records(
    uint8_t sector_type, const std::vector<EventRecord>& records,
    const std::vector<int64_t>& slot_limits) {
    std::vector<std::vector<EventRecord>> groups(slot_limits.size());
    const size_t room = kRecordRoom - fixed_bytes(sector_type);
    size_t next = 0;
    for (size_t slot = 0; slot < slot_limits.size(); ++slot) {
        size_t used = 0;
        while (next < records.size() && records[next].seconds < slot_limits[slot] &&
               used + record_size(records[next].type) <= room) {
            used += record_size(records[next].type);
            groups[slot].push_back(records[next++]);
        }
    }
    while (next < records.size()) {
        groups.emplace_back();
        size_t used = 0;
        while (next < records.size() && used + record_size(records[next].type) <= room) {
            used += record_size(records[next].type);
            groups.back().push_back(records[next++]);
        }
    }
    return groups;
}

std::vector<SectorBytes> encode_event_sectors(uint8_t sector_type, uint16_t recording_num,
                                              const CivilTime& start,
                                              const std::vector<std::vector<EventRecord>>& groups,
                                              const std::vector<uint32_t>& sector_numbers,
                                              bool loop) {
    std::vector<SectorBytes> sectors(groups.size());
    for (size_t k = 0; k < groups.size(); ++k) {
        SectorBytes& sector = sectors[k];
        sector.fill(0);
        put_sector_header(sector, sector_type, recording_num);
        size_t offset = kFirstRecordOffset;
        if (sector_type == kTwelveLeadEventType) {
            offset += put_record(sector, offset,
                                 {kRecordTwelveLeadStatus, 0, static_cast<uint32_t>(k), 0}, start);
        }
        for (const EventRecord& record : groups[k])
            offset += put_record(sector, offset, record, start);

        const bool last = k + 1 == groups.size();
        uint8_t end = kContinueWithNext;
        uint32_t target = 0;
        if (last && loop) {
            end = kContinueAtNumber;
            target = sector_numbers.front();
        } else if (last) {
            end = kEndOfTable;
        } else if (k == 0) {
            // The head lies before the data sectors; it names the next event sector by number.
            end = kContinueAtNumber;
            target = sector_numbers[1];
        }
        sector[offset] = end;
        sector[offset + 1] = static_cast<uint8_t>(kEndRecordSize);
        if (end == kContinueAtNumber) put_u32le(&sector[kContinuationSectorOffset], target);
    }
    return sectors;
}

}  // namespace cardsim
