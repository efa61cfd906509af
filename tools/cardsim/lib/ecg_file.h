// ecg.dat as the simulator writes it: sectors in order, each sealed with its type's checksum,
// with the event sectors of the event table reserved in the stream of data sectors and filled in
// at the end, when the seek points and patient events are known.
#pragma once

#include <cstdint>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "cardsim/lib/civil_time.h"
#include "cardsim/lib/event_table.h"
#include "cardsim/lib/intended_output.h"
#include "cardsim/lib/sector_sink.h"
#include "format/crc16.h"

namespace cardsim {

struct EcgFileSettings {
    uint8_t event_sector_type = 0;  // 0: the format has no event table
    uint8_t seek_record_type = kRecordSeekPoint;
    int64_t seek_interval = 3600;  // seconds; 0 for no seek points
    int64_t event_sector_interval = 6 * 3600;
};

class EcgFile : public SectorSink {
  public:
    // `intended` (may be null) learns every plain sector for its other.dat.
    EcgFile(const EcgFileSettings& settings, IntendedOutput* intended);

    bool open(const std::string& path);
    // Seals the plain sector in place by its type and appends it; returns its number.
    uint32_t put_sector(SectorBytes& sector);
    uint32_t put_data_sector(SectorBytes& sector, int64_t position) override;
    void unit_begins(int64_t position, uint32_t sector, uint16_t bit_index) override;

    // Reserves an event sector for the records earlier than `limit_seconds`.
    void reserve_event_slot(int64_t limit_seconds);
    // The next unit begins a segment whose start sector says `clock_seconds`.
    void begin_segment(int64_t clock_seconds);
    // Fills the reserved event sectors and appends those the remaining records need.
    void write_event_table(uint16_t recording_num, const CivilTime& start,
                           const std::vector<EventRecord>& patient_events, bool loop);
    void put_empty_sectors(uint64_t count);

    uint64_t sector_count() const { return m_count; }
    bool close();

  private:
    // Seals and appends; `other_offset` is where the plain sector went in the intended other.dat.
    uint32_t append(SectorBytes& sector, uint64_t& other_offset);
    void overwrite_slot(size_t slot, const SectorBytes& sector);

    EcgFileSettings m_settings;
    IntendedOutput* m_intended;
    Crc16Table m_crc;
    std::vector<char> m_buffer;
    std::fstream m_file;
    uint32_t m_count = 0;
    std::vector<uint32_t> m_slot_sectors;
    std::vector<int64_t> m_slot_limits;
    std::vector<uint64_t> m_slot_other_offsets;
    std::vector<EventRecord> m_records;
    int64_t m_next_slot_position = 0;
    int64_t m_next_seek_position = 0;
    std::optional<int64_t> m_segment_clock;
};

}  // namespace cardsim
