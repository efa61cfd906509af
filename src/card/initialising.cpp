// Initialising a conditioned card for the next recording, and the card's cnav.dat as
// initialising and the patient change leave it. ecg.dat is not touched; the small files are
// rewritten in place, because the card has no free space for new ones.
#include <cstdio>
#include <string>
#include <vector>

#include "card/card_rewrite.h"
#include "card/ccf_disk.h"
#include "card/char_set.h"
#include "card/counter_rules.h"
#include "card/side_files.h"
#include "format/card_files.h"
#include "support/file_utils.h"

namespace {

// A host file larger than this is no cnav.dat; the card's own is 8192 bytes.
constexpr long kLargestHostCnav = 1 << 20;

bool read_whole_file(const std::string& folder, const char* name, std::vector<uint8_t>& bytes) {
    const CardFile file = open_card_file_for_reading(folder, name);
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) return false;
    const long size = std::ftell(file.get());
    if (size < 0 || size > kLargestHostCnav || std::fseek(file.get(), 0, SEEK_SET) != 0)
        return false;
    bytes.resize(static_cast<size_t>(size));
    return std::fread(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
}

}  // namespace

bool CCFDisk::initialise_record(const std::string& patient_name, const std::string& patient_id,
                                bool fir_present, const FirElements& fir_elements,
                                const std::string& event_text) {
    count_on_initialise(m_config_dat, !patient_name.empty() || !patient_id.empty());
    store_prepared_patient(patient_name, patient_id, event_text, fir_present, fir_elements);
    if (!write_keeping_read_only(card_file_path(m_card_path, kConfigFileName),
                                 [this] { return write_config(); }))
        return false;
    if (!reset_card_wav() || !reset_card_cnav()) return false;
    settle_pause();
    return true;
}

bool CCFDisk::reset_card_wav() {
    return write_keeping_read_only(card_file_path(m_card_path, kWavFileName),
                                   [this] { return write_empty_wav(m_card_path); });
}

bool CCFDisk::reset_card_cnav() {
    if (m_run_mode == kModeWriteCnav || m_run_mode == kModeWriteWestbury)
        return cnav_to_card(m_host_folder);
    return write_keeping_read_only(card_file_path(m_card_path, kCnavFileName),
                                   [this] { return write_empty_cnav(m_card_path); });
}

// The patient data that is not for the next recording gets the empty form rather than no file:
// the status checks reject a card without cnav.dat, and the exports never pass the empty form on
// because the patient data does not belong.
bool CCFDisk::cnav_to_card(const std::string& host_folder) {
    const std::string card_cnav = card_file_path(m_card_path, kCnavFileName);
    const bool belongs = m_config_dat.patient_data_num == m_config_dat.recording_num;
    const bool written = belongs ? put_host_cnav(host_folder)
                                 : write_keeping_read_only(
                                       card_cnav, [this] { return write_empty_cnav(m_card_path); });
    return written && file_exists(card_cnav);
}

bool CCFDisk::put_host_cnav(const std::string& host_folder) {
    const std::string card_cnav = card_file_path(m_card_path, kCnavFileName);
    if (host_folder.empty() || !file_exists(join_path(host_folder, kCnavFileName)))
        return write_keeping_read_only(card_cnav, [this] { return write_empty_cnav(m_card_path); });
    std::vector<uint8_t> bytes;
    return read_whole_file(host_folder, kCnavFileName, bytes) &&
           rewrite_card_file(card_cnav, bytes);
}
