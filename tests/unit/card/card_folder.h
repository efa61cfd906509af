// A folder copy of a card built by hand for the card-state and side-file tests: config.dat from
// a record, ecg.dat from sealed sectors, and side files of chosen sizes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "card/ccf_disk.h"
#include "card/config_record.h"
#include "extract/test_card.h"
#include "format/sector_checksum.h"
#include "format/start_sector.h"
#include "support/byte_order.h"
#include "test_folder.h"

inline constexpr TimeField kStart_2013_05_14_10_15_20 = {20, 15, 10, 14, 5, 13};

// A sealed start sector of type 0x81.
inline Sector sealed_start_sector(uint16_t recording_num, uint8_t format,
                                  TimeField start = kStart_2013_05_14_10_15_20,
                                  uint8_t length = kNoRecordingLength) {
    Sector sector{};
    StartSector fields;
    fields.sector_format_num = 0x81;
    fields.recording_num = recording_num;
    fields.recording_start_time = start;
    fields.recording_format = format;
    fields.recording_length = length;
    fields.recorder_serial_no = {'P', 'N', '1', '0', '0', '0', '4', '2'};
    encode_start_sector(fields, sector);
    seal_sector_a(Crc16Table{}, sector);
    return sector;
}

class CardFolder {
  public:
    CardFolder() { record.byte_0 = 1; }

    // Counters: recording_num C, patient_data_num and wav_recording_num.
    CardFolder& counters(uint16_t c, uint16_t patient, uint16_t wav) {
        record.recording_num = c;
        record.patient_data_num = patient;
        record.wav_recording_num = wav;
        return *this;
    }

    // Writes config.dat, cnav.dat, patient.wav and ecg.dat.
    void write(const std::vector<Sector>& sectors, size_t cnav_size = 8192,
               size_t wav_size = 65536) {
        std::array<uint8_t, kConfigRecordSize> bytes;
        encode_config_record(record, bytes);
        write_bytes(file("config.dat"), {bytes.begin(), bytes.end()});
        write_bytes(file("cnav.dat"), std::vector<uint8_t>(cnav_size, 0x5C));
        write_bytes(file("patient.wav"), std::vector<uint8_t>(wav_size, 0x3A));
        write_ecg(sectors);
    }

    void write_ecg(const std::vector<Sector>& sectors) {
        std::vector<uint8_t> ecg;
        for (const Sector& sector : sectors)
            ecg.insert(ecg.end(), sector.begin(), sector.end());
        write_bytes(file("ecg.dat"), ecg);
    }

    // A card storage object on this folder.
    void attach(CCFDisk& disk) const { disk.set_card_path(m_folder.path()); }

    std::string path() const { return m_folder.path(); }
    std::string file(const std::string& name) const { return m_folder.file(name); }

    ConfigRecord record;

  private:
    TestFolder m_folder;
};
