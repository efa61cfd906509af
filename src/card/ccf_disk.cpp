#include "card/ccf_disk.h"

#include <algorithm>
#include <cstdio>

#include "card/char_set.h"
#include "card/counter_rules.h"
#include "format/card_files.h"
#include "support/card_file.h"

void CCFDisk::set_card_path(const std::string& path) {
    m_card_path = path;
}

bool CCFDisk::read_config() {
    const CardFile file = open_card_file_for_reading(m_card_path, kConfigFileName);
    if (!file) return false;
    std::array<uint8_t, kConfigRecordSize> bytes;
    encode_config_record(m_config_dat, bytes);
    std::fread(bytes.data(), 1, bytes.size(), file.get());
    m_config_dat = decode_config_record(bytes);
    return true;
}

bool CCFDisk::write_config() {
    std::array<uint8_t, kConfigRecordSize> bytes;
    encode_config_record(m_config_dat, bytes);
    return write_card_file(card_file_path(m_card_path, kConfigFileName), bytes);
}

bool CCFDisk::new_config_record(const std::string& patient_name, const std::string& patient_id,
                                const std::string& event_text, bool fir_present,
                                const FirElements& fir_elements) {
    m_config_dat = ConfigRecord{};
    m_config_dat.byte_0 = 1;
    set_conditioning_counters(m_config_dat, !patient_name.empty() || !patient_id.empty());
    store_prepared_patient(patient_name, patient_id, event_text, fir_present, fir_elements);
    return write_config();
}

void CCFDisk::store_prepared_patient(const std::string& patient_name, const std::string& patient_id,
                                     const std::string& event_text, bool fir_present,
                                     const FirElements& fir_elements) {
    m_config_dat.change_marker = 0;
    m_config_dat.char_set = system_char_set();
    const bool visual_order = m_config_dat.char_set == kCharSetHebrew;
    store_field_text(m_config_dat.patient_name, patient_name, visual_order);
    store_field_text(m_config_dat.patient_id, patient_id, visual_order);
    store_field_text(m_config_dat.event_text, event_text, visual_order);
    stamp_time(m_config_dat.init_time);
    set_fir_block(fir_present, fir_elements);
}

void CCFDisk::set_fir_block(bool present, const FirElements& elements) {
    ConfigRecord& r = m_config_dat;
    if (!present) {
        r.fir_block.fill(0);
        r.fir_sum = 0;
        r.fir_flag = 0;
        return;
    }
    std::copy_n(elements.begin(), kFirElements / 2, r.fir_block.begin());
    r.fir_sum = fir_block_sum(r.fir_block);
    r.fir_flag = kFirPresentFlag;
}
