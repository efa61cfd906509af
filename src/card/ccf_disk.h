// The card storage object: the configuration record as last read or built, the card path, and
// the state that reads keep with the card. The application creates one at start-up and every
// card operation and every read runs on it.
#pragma once

#include <span>
#include <string>

#include "card/config_record.h"
#include "extract/crc16.h"
#include "extract/read_settings.h"

class CCFDisk {
  public:
    CCFDisk() = default;
    CCFDisk(const CCFDisk&) = delete;
    CCFDisk& operator=(const CCFDisk&) = delete;

    // A drive text such as "E:" or a folder that holds a copy of the card's files.
    void set_card_path(const std::string& path);

    // Reads config.dat into m_config_dat; true when the file could be opened. A short file
    // replaces only the bytes it has; the rest of the record keeps its previous values.
    bool read_config();

    // Creates or replaces config.dat with m_config_dat, exclusively, and flushes it to the medium
    // before closing it. True only when every step succeeded.
    bool write_config();

    // Builds a fresh record for a newly conditioned card and writes it. Texts longer than their
    // fields are cut at the field's width minus one.
    bool new_config_record(const std::string& patient_name, const std::string& patient_id,
                           const std::string& event_text, bool fir_present,
                           const FirElements& fir_elements);

    // With present, only the first 16 of the table's 32 elements go to the card: they replace
    // words 0-15 of the FIR block, words 16-31 keep their values, and the sum covers all 32.
    // Without, the block, its sum and its flag are cleared.
    void set_fir_block(bool present, const FirElements& elements);

    // Marks the recording as read after a successful read and shows the message for a failure.
    void mark_as_read_and_report(bool allow_recondition);

    ConfigRecord m_config_dat;
    std::string m_card_path = "?";
    bool m_is_twelve_lead = false;
    // Skip, record-length limit and calibration handed over by the command line.
    ReadSettings m_read_settings;
    const Crc16Table m_crc_table;
};
