#include "cardsim/lib/ecg_file.h"

#include <algorithm>

#include "format/sector_checksum.h"
#include "format/sector_types.h"

namespace cardsim {
namespace {

constexpr int64_t kRate = 128;
constexpr size_t kFileBuffer = 1 << 20;

// The next multiple of `interval` seconds after `position`, in time points.
int64_t next_mark(int64_t position, int64_t interval) {
    return (position / (kRate * interval) + 1) * kRate * interval;
}

}  // namespace

EcgFile::EcgFile(const EcgFileSettings& settings, IntendedOutput* intended)
    : m_settings(settings), m_intended(intended), m_buffer(kFileBuffer) {
    m_next_slot_position =
        m_settings.event_sector_interval > 0 ? kRate * m_settings.event_sector_interval : INT64_MAX;
    m_next_seek_position =
        m_settings.seek_interval > 0 ? kRate * m_settings.seek_interval : INT64_MAX;
}

bool EcgFile::open(const std::string& path) {
    m_file.rdbuf()->pubsetbuf(m_buffer.data(), static_cast<std::streamsize>(m_buffer.size()));
    m_file.open(path, std::ios::in | std::ios::out | std::ios::binary | std::ios::trunc);
    return m_file.is_open();
}

uint32_t EcgFile::put_sector(SectorBytes& sector) {
    uint64_t other_offset = 0;
    return append(sector, other_offset);
}

uint32_t EcgFile::append(SectorBytes& sector, uint64_t& other_offset) {
    // A reader descrambles the body in place and keeps the stored checksum in front of it.
    SectorBytes plain = sector;
    seal_sector(m_crc, sector, sector_type_of(sector[kTypeOffset]).checksum);
    if (m_intended) {
        std::copy_n(&sector[kCheckOffset], 2, &plain[kCheckOffset]);
        other_offset = m_intended->put_other(plain);
    }
    m_file.write(reinterpret_cast<const char*>(sector.data()), kSectorBytes);
    return m_count++;
}

uint32_t EcgFile::put_data_sector(SectorBytes& sector, int64_t position) {
    if (m_settings.event_sector_type != 0 && position >= m_next_slot_position) {
        reserve_event_slot(position / kRate);
        m_next_slot_position = next_mark(position, m_settings.event_sector_interval);
    }
    return put_sector(sector);
}

void EcgFile::unit_begins(int64_t position, uint32_t sector, uint16_t bit_index) {
    if (m_settings.event_sector_type == 0) return;
    if (m_segment_clock) {
        m_records.push_back({kRecordSegmentStart, *m_segment_clock, sector, bit_index});
        m_segment_clock.reset();
    } else if (position >= m_next_seek_position && position % kRate == 0) {
        m_records.push_back({m_settings.seek_record_type, position / kRate, sector, bit_index});
    } else {
        return;
    }
    if (position >= m_next_seek_position)
        m_next_seek_position = next_mark(position, m_settings.seek_interval);
}

void EcgFile::reserve_event_slot(int64_t limit_seconds) {
    SectorBytes placeholder{};
    put_sector_header(placeholder, m_settings.event_sector_type, 0);
    m_slot_limits.push_back(limit_seconds);
    uint64_t other_offset = 0;
    m_slot_sectors.push_back(append(placeholder, other_offset));
    m_slot_other_offsets.push_back(other_offset);
}

void EcgFile::begin_segment(int64_t clock_seconds) {
    m_segment_clock = clock_seconds;
}

void EcgFile::write_event_table(uint16_t recording_num, const CivilTime& start,
                                const std::vector<EventRecord>& patient_events, bool loop) {
    std::vector<EventRecord> records = m_records;
    records.insert(records.end(), patient_events.begin(), patient_events.end());
    std::stable_sort(
        records.begin(), records.end(),
        [](const EventRecord& a, const EventRecord& b) { return a.seconds < b.seconds; });
    const auto groups =
        distribute_event_records(m_settings.event_sector_type, records, m_slot_limits);
    std::vector<uint32_t> numbers = m_slot_sectors;
    for (size_t k = m_slot_sectors.size(); k < groups.size(); ++k) {
        numbers.push_back(m_count + static_cast<uint32_t>(k - m_slot_sectors.size()));
    }
    auto sectors = encode_event_sectors(m_settings.event_sector_type, recording_num, start, groups,
                                        numbers, loop);
    for (size_t k = 0; k < sectors.size(); ++k) {
        if (k < m_slot_sectors.size()) {
            overwrite_slot(k, sectors[k]);
        } else {
            put_sector(sectors[k]);
        }
    }
}

void EcgFile::put_empty_sectors(uint64_t count) {
    const SectorBytes empty{};
    for (uint64_t i = 0; i < count; ++i) {
        m_file.write(reinterpret_cast<const char*>(empty.data()), kSectorBytes);
    }
}

void EcgFile::overwrite_slot(size_t slot, const SectorBytes& sector) {
    if (m_intended) m_intended->rewrite_other(m_slot_other_offsets[slot], sector);
    m_file.seekp(static_cast<std::streamoff>(m_slot_sectors[slot]) *
                 static_cast<std::streamoff>(kSectorBytes));
    m_file.write(reinterpret_cast<const char*>(sector.data()), kSectorBytes);
    m_file.seekp(0, std::ios::end);
}

bool EcgFile::close() {
    m_file.close();
    return !m_file.fail();
}

}  // namespace cardsim
