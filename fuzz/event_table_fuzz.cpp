// Fuzzes the event-table loader on an ecg.dat of the input's bytes (after one flag byte that says
// whether 12-lead event sectors count), and the recording length that card storage derives from
// the table. A damaged chain must end the load, never stall it or overrun a sector.
#include <cstdint>
#include <string>

#include "card/ccf_disk.h"
#include "format/card_files.h"
#include "format/event_table.h"
#include "fuzz_scratch.h"

namespace {

bool stored_type(uint8_t type, bool include_twelve_lead) {
    return type == 1 || type == 2 || type == 3 || (include_twelve_lead && type == 4);
}

void check_table(const EventTable& table, bool include_twelve_lead) {
    fuzz::require(table.size() <= kMaxEventRecords, "the table holds more than its records");
    for (const EventRecord& record : table) {
        fuzz::require(stored_type(record.type, include_twelve_lead), "a record of a kept type",
                      std::to_string(record.type));
        fuzz::require(record.length >= 2, "a record shorter than its own type and length");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const fuzz::ScratchFolder scratch("event-table");
    static const std::string card = scratch.folder("card");
    if (size == 0) return 0;
    const bool include_twelve_lead = (data[0] & 1) != 0;
    fuzz::write_bytes(card_file_path(card, kEcgFileName), data + 1, size - 1);

    // Every sector on its own, as the loader meets it.
    EventTable table;
    for (size_t at = 1; at + kSectorSize <= size; at += kSectorSize) {
        Sector sector;
        std::copy_n(data + at, kSectorSize, sector.begin());
        parse_event_sector(sector, table);
    }
    check_table(table, true);

    const CardFile file = open_card_file_for_reading(card, kEcgFileName);
    fuzz::require(file != nullptr, "the scratch ecg.dat cannot be opened");
    check_table(load_event_table(file.get(), include_twelve_lead), include_twelve_lead);

    // The summary shows a whole number of hours, or none.
    CCFDisk disk;
    disk.set_card_path(card);
    const RecordingTime start{13, 5, 14, 10, 15, 20, 0};
    const int hours = disk.recording_hours(start);
    fuzz::require(hours == -1 || hours >= 1, "a recording length of no whole hours",
                  std::to_string(hours));
    return 0;
}
