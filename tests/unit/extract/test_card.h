// Hand-built cards for the card, extraction and hand-off tests: sealed sectors of the kinds a
// read meets, and a folder copy of a card with a card storage object on it.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "bit_writer.h"
#include "card/ccf_disk.h"
#include "card/config_record.h"
#include "format/crc16.h"
#include "format/event_table.h"
#include "format/sector_checksum.h"
#include "format/start_sector.h"
#include "sector_builder.h"
#include "support/byte_order.h"
#include "test_folder.h"

inline constexpr uint16_t kTestRecording = 7;

// second, minute, hour, day, month, two-digit year
using TimeBytes = TimeField;
inline constexpr TimeBytes kStart_2013_05_14_10_15_20 = {20, 15, 10, 14, 5, 13};

inline const Crc16Table& test_crc_table() {
    static const Crc16Table table;
    return table;
}

inline Sector sealed(Sector sector) {
    seal_sector(test_crc_table(), sector, sector_type_of(sector[0]).checksum);
    return sector;
}

// A start sector of recorder PN100042.
inline Sector start_sector(uint8_t format, TimeBytes start = kStart_2013_05_14_10_15_20,
                           uint16_t recording = kTestRecording,
                           uint8_t length = kNoRecordingLength) {
    Sector sector{};
    encode_start_sector({.sector_format_num = 0x81,
                         .recording_num = recording,
                         .recording_start_time = start,
                         .recording_format = format,
                         .recorder_serial_no = {'P', 'N', '1', '0', '0', '0', '4', '2'},
                         .recording_length = length},
                        sector);
    return sealed(sector);
}

// A 3-channel 10-bit sector (type 0x02) whose channels hold the same value at every time point.
inline Sector packed_sector(std::array<uint16_t, 3> values, std::vector<uint8_t> pace = {},
                            bool event = false, uint16_t recording = kTestRecording) {
    SectorBuilder b(0x02, recording);
    for (int k = 0; k < 384; ++k)
        b.field(k, values[static_cast<size_t>(k % 3)]);
    b.pace(pace).byte(6, event ? 1 : 0);
    return sealed(b.build());
}

// Compressed sectors of `seconds` flat blocks: every sample of channel c is firsts[c] * 4 + 1.
// The stream is closed with channel-absent commands that change nothing, up to the end of one
// whole sector after the last block, so that the last block is complete and no other follows.
inline std::vector<Sector> compressed_sectors(uint8_t type, int channels, int seconds,
                                              std::array<uint32_t, 3> firsts) {
    BitWriter stream;
    std::vector<size_t> starts;
    for (int s = 0; s < seconds; ++s) {
        starts.push_back(stream.size());
        stream.put(0, 1);  // no pace pulses
        for (int c = 0; c < channels; ++c) {
            stream.channel_start(firsts[static_cast<size_t>(c)], 1);
            for (int i = 1; i < 128; ++i)
                stream.put(3, 3);  // a step of 0
        }
    }
    const size_t count = stream.size() / kBodyBits + 2;
    while (stream.size() < count * kBodyBits)
        stream.put(1, 16);
    std::vector<Sector> sectors = to_sectors(stream, type, starts);
    sectors.resize(count);
    for (Sector& sector : sectors)
        put_u16le(&sector[1], kTestRecording);
    return sectors;
}

// A 12-lead sector: time point t of lead l holds first + 8 * t + l; pace entries as stored.
inline Sector twelve_lead_sector(int16_t first, std::vector<uint8_t> pace = {}) {
    Sector s = SectorBuilder(0x40).build();
    for (size_t i = 0; i < 240; ++i)
        put_u16le(&s[32 + 2 * i], static_cast<uint16_t>(first + static_cast<int16_t>(i)));
    s[7] = static_cast<uint8_t>(pace.size());
    std::copy(pace.begin(), pace.begin() + std::min<std::ptrdiff_t>(std::ssize(pace), 24), &s[8]);
    return sealed(s);
}

// Event records written back to back from byte 3 of an event sector (type 0x20 unless asked);
// fields that would lie past a record's length or the sector are left out.
class EventSectorBuilder {
  public:
    explicit EventSectorBuilder(uint8_t type = 0x20) : m_sector(type) {}

    EventSectorBuilder& record(uint8_t type, uint8_t length, TimeBytes time = {0, 0, 0, 1, 1, 0},
                               uint32_t sector = 0, uint16_t index = 0) {
        std::array<uint8_t, 14> bytes{type, length};
        std::copy(time.begin(), time.end(), &bytes[2]);
        put_u32le(&bytes[8], sector);
        put_u16le(&bytes[12], index);
        for (size_t i = 0; i < std::min<size_t>(length, bytes.size()); ++i)
            if (m_at + i < kSectorSize) m_sector.byte(m_at + i, bytes[i]);
        m_at += length;
        return *this;
    }
    EventSectorBuilder& next_sector() { return marker(kEventNextSector); }
    EventSectorBuilder& numbered_sector(uint32_t number) {
        for (size_t i = 0; i < 4; ++i)
            m_sector.byte(508 + i, static_cast<uint8_t>(number >> (8 * i)));
        return marker(kEventNumberedSector);
    }
    const Sector& build() const { return m_sector.build(); }

  private:
    EventSectorBuilder& marker(uint8_t type) {
        m_sector.byte(m_at++, type);
        return *this;
    }
    SectorBuilder m_sector;
    size_t m_at = 3;
};

struct TestEventRecord {
    uint8_t type;
    TimeBytes time;
    uint32_t sector = 0;
    uint16_t index = 0;
};

// An event sector of 14-byte records, then the end of the table.
inline Sector event_sector(const std::vector<TestEventRecord>& records) {
    EventSectorBuilder b;
    for (const TestEventRecord& r : records)
        b.record(r.type, 14, r.time, r.sector, r.index);
    return b.build();
}

// A card's files in `folder`: config.dat from `record`, ecg.dat from the sectors, and cnav.dat
// and patient.wav of the given sizes.
inline void write_card_files(const std::string& folder, const ConfigRecord& record,
                             const std::vector<Sector>& sectors, size_t cnav_size = 8192,
                             size_t wav_size = 65536) {
    std::array<uint8_t, kConfigRecordSize> bytes;
    encode_config_record(record, bytes);
    write_bytes(folder + "/config.dat", {bytes.begin(), bytes.end()});
    write_bytes(folder + "/cnav.dat", std::vector<uint8_t>(cnav_size, 0x5C));
    write_bytes(folder + "/patient.wav", std::vector<uint8_t>(wav_size, 0x3A));
    std::vector<uint8_t> ecg;
    for (const Sector& sector : sectors)
        ecg.insert(ecg.end(), sector.begin(), sector.end());
    write_bytes(folder + "/ecg.dat", ecg);
}

// The record of the card in the folder (or on the drive), as a card storage object reads it.
inline ConfigRecord record_in(const std::string& folder) {
    CCFDisk reader;
    reader.set_card_path(folder);
    reader.read_config();
    return reader.m_config_dat;
}

// A folder copy of a card: config.dat from `record`, ecg.dat from sectors, cnav.dat and
// patient.wav of chosen sizes; `disk` is a card storage object on the folder.
class CardFolder {
  public:
    CardFolder() {
        record.byte_0 = 1;
        counters(kTestRecording, kTestRecording, kTestRecording);
        disk.set_card_path(m_folder.path());
    }

    // Counters: recording_num C, patient_data_num and wav_recording_num.
    CardFolder& counters(uint16_t c, uint16_t patient, uint16_t wav) {
        record.recording_num = c;
        record.patient_data_num = patient;
        record.wav_recording_num = wav;
        return *this;
    }

    void write(const std::vector<Sector>& sectors, size_t cnav_size = 8192,
               size_t wav_size = 65536) {
        write_card_files(path(), record, sectors, cnav_size, wav_size);
    }

    // Marking as read moves the record's recording number past the recording.
    bool marked_as_read() const { return record_in(path()).recording_num > kTestRecording; }

    // Another card storage object on this folder.
    void attach(CCFDisk& other) const { other.set_card_path(m_folder.path()); }

    std::string path() const { return m_folder.path(); }
    std::string file(const std::string& name) const { return m_folder.file(name); }
    std::string operator/(const std::string& name) const { return file(name); }

    ConfigRecord record;
    CCFDisk disk;

  private:
    TestFolder m_folder;
};

// Message boxes on Linux read their answer from standard input; tests give them none.
class NoAnswers {
  public:
    NoAnswers() : m_saved(std::cin.rdbuf(m_empty.rdbuf())) {}
    ~NoAnswers() { std::cin.rdbuf(m_saved); }
    NoAnswers(const NoAnswers&) = delete;
    NoAnswers& operator=(const NoAnswers&) = delete;

  private:
    std::istringstream m_empty;
    std::streambuf* m_saved;
};
