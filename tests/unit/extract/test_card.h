// Hand-built cards for the extraction tests: a config.dat and an ecg.dat of sealed sectors, with
// builders for the sector kinds the reads meet.
#pragma once

#include <array>
#include <cstdint>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "bit_writer.h"
#include "card/config_record.h"
#include "format/crc16.h"
#include "format/sector_checksum.h"
#include "format/start_sector.h"
#include "output_files.h"
#include "sector_builder.h"
#include "support/byte_order.h"
#include "test_folder.h"

inline constexpr uint16_t kTestRecording = 7;

inline const Crc16Table& test_crc_table() {
    static const Crc16Table table;
    return table;
}

inline Sector sealed(Sector sector) {
    seal_sector(test_crc_table(), sector, sector_type_of(sector[0]).checksum);
    return sector;
}

// second, minute, hour, day, month, two-digit year
using TimeBytes = std::array<uint8_t, 6>;

inline Sector start_sector(uint8_t format, TimeBytes time, uint8_t type = 0x83,
                           uint16_t recording = kTestRecording) {
    SectorBuilder b(type, recording);
    for (size_t i = 0; i < time.size(); ++i)
        b.byte(kStartSectorTimeOffset + i, time[i]);
    b.byte(kStartSectorFormatOffset, format);
    return sealed(b.build());
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
                                              std::array<uint32_t, 3> firsts,
                                              uint16_t recording = kTestRecording) {
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
        put_u16le(&sector[1], recording);
    return sectors;
}

// A 12-lead sector: time point t of lead l holds first + 8 * t + l; pace entries as stored.
inline Sector twelve_lead_sector(int16_t first, std::vector<uint8_t> pace = {}) {
    SectorBuilder b(0x40);
    for (int t = 0; t < 30; ++t)
        for (int l = 0; l < 8; ++l) {
            const auto v = static_cast<uint16_t>(first + 8 * t + l);
            b.byte(32 + 2 * static_cast<size_t>(8 * t + l), static_cast<uint8_t>(v));
            b.byte(33 + 2 * static_cast<size_t>(8 * t + l), static_cast<uint8_t>(v >> 8));
        }
    b.byte(7, static_cast<uint8_t>(pace.size()));
    for (size_t i = 0; i < pace.size() && i < 24; ++i)
        b.byte(8 + i, pace[i]);
    return sealed(b.build());
}

struct TestEventRecord {
    uint8_t type;
    TimeBytes time;
    uint32_t sector = 0;
    uint16_t index = 0;
};

// An event sector (type 0x20) holding 14-byte records and the end of the table.
inline Sector event_sector(const std::vector<TestEventRecord>& records) {
    SectorBuilder b(0x20);
    size_t at = 3;
    for (const TestEventRecord& r : records) {
        b.byte(at, r.type).byte(at + 1, 14);
        for (size_t i = 0; i < 6; ++i)
            b.byte(at + 2 + i, r.time[i]);
        Sector s = b.build();
        put_u32le(&s[at + 8], r.sector);
        put_u16le(&s[at + 12], r.index);
        for (size_t i = 8; i < 14; ++i)
            b.byte(at + i, s[at + i]);
        at += 14;
    }
    return b.build();
}

// config.dat and ecg.dat in the folder; the record says this recording is the unread one and the
// speech file belongs to it.
inline void write_test_card(const TestFolder& folder, const std::vector<Sector>& sectors,
                            uint16_t config_recording = kTestRecording) {
    ConfigRecord config;
    config.byte_0 = 1;
    config.recording_num = config_recording;
    config.wav_recording_num = config_recording;
    std::array<uint8_t, kConfigRecordSize> bytes;
    encode_config_record(config, bytes);
    write_bytes(folder.file("config.dat"), {bytes.begin(), bytes.end()});
    std::vector<uint8_t> ecg;
    for (const Sector& s : sectors)
        ecg.insert(ecg.end(), s.begin(), s.end());
    write_bytes(folder.file("ecg.dat"), ecg);
}

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
