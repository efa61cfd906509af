#include "format/event_table.h"

#include <algorithm>
#include <cstdint>
#include <unordered_set>

#include "support/byte_order.h"
#include "support/file_seek.h"

namespace {

constexpr size_t kFirstRecordOffset = 3;
constexpr size_t kRecordTimeOffset = 2;
constexpr size_t kRecordSectorOffset = 8;
constexpr size_t kRecordIndexOffset = 12;
constexpr size_t kStoredRecordSize = 40;
constexpr size_t kNumberedSectorOffset = 508;
constexpr int kSearchSectors = 16;

bool is_stored_type(uint8_t record_type, uint8_t sector_type) {
    if (sector_type == 0x42) return record_type == 1 || record_type == 3 || record_type == 4;
    return record_type == 1 || record_type == 2 || record_type == 3;
}

EventRecord decode_record(std::span<const uint8_t, kSectorSize> sector, size_t at) {
    // Only the first 40 bytes of a record count; a shorter record reads as zero-filled.
    std::array<uint8_t, kStoredRecordSize> bytes{};
    const size_t length = std::min<size_t>(sector[at + 1], kStoredRecordSize);
    for (size_t i = 0; i < length && at + i < kSectorSize; ++i)
        bytes[i] = sector[at + i];
    EventRecord record;
    record.type = bytes[0];
    record.length = bytes[1];
    for (size_t i = 0; i < record.time_bytes.size(); ++i)
        record.time_bytes[i] = bytes[kRecordTimeOffset + i];
    record.sector = get_u32le(&bytes[kRecordSectorOffset]);
    record.decompression_index = get_u16le(&bytes[kRecordIndexOffset]);
    return record;
}

// Reads on from sector number start until an event sector; false at the end of the file or
// when the position cannot be reached.
bool find_event_sector(std::FILE* file, uint64_t start, uint64_t limit, bool include_twelve_lead,
                       Sector& sector, uint64_t& number) {
    if (!seek_file(file, start * kSectorSize)) return false;
    for (number = start; number < limit; ++number) {
        if (std::fread(sector.data(), 1, kSectorSize, file) != kSectorSize) return false;
        if (is_event_sector_type(sector_type_byte(sector), include_twelve_lead)) return true;
    }
    return false;
}

}  // namespace

bool is_event_sector_type(uint8_t type_byte, bool include_twelve_lead) {
    return type_byte == 0x20 || type_byte == 0x31 || (include_twelve_lead && type_byte == 0x42);
}

EventChainStep parse_event_sector(std::span<const uint8_t, kSectorSize> sector, EventTable& table) {
    const uint8_t sector_type = sector_type_byte(sector);
    size_t at = kFirstRecordOffset;
    while (at + 1 < kSectorSize) {
        const uint8_t type = sector[at];
        if (type == kEventEndOfTable) return {};
        if (type == kEventNextSector) return {EventChainStep::next_sector, 0};
        if (type == kEventNumberedSector)
            return {EventChainStep::numbered_sector, get_u32le(&sector[kNumberedSectorOffset])};
        const uint8_t length = sector[at + 1];
        if (length < 2 || at + length > kSectorSize) return {};
        if (is_stored_type(type, sector_type) && table.size() < kMaxEventRecords)
            table.push_back(decode_record(sector, at));
        at += length;
    }
    return {};
}

EventTable load_event_table(std::FILE* file, bool include_twelve_lead) {
    EventTable table;
    Sector sector;
    uint64_t number = 0;
    if (!find_event_sector(file, 0, kSearchSectors, include_twelve_lead, sector, number))
        return table;
    std::unordered_set<uint64_t> visited;
    while (visited.insert(number).second) {  // a chain that comes back to a sector loops
        const EventChainStep step = parse_event_sector(sector, table);
        if (step.kind == EventChainStep::end) break;
        const uint64_t from = step.kind == EventChainStep::next_sector ? number + 1 : step.sector;
        if (!find_event_sector(file, from, UINT64_MAX, include_twelve_lead, sector, number)) break;
    }
    return table;
}
