// Replacing the patient data of a recording already on the card (run mode 12): the analysis
// application learns whose recording it is only after the recording was made.
#include <string>

#include "card/card_rewrite.h"
#include "card/ccf_disk.h"
#include "card/counter_rules.h"
#include "format/card_files.h"
#include "format/start_sector_reader.h"
#include "support/exit_codes.h"
#include "support/file_utils.h"

int CCFDisk::change_patient(const std::string& patient_name, const std::string& patient_id,
                            const std::string& event_text, bool confirmed) {
    if (!read_config()) return kExitWriteFailed;
    // The patient data is tied to the recording's own number; without a start sector there is
    // no number to tie it to, and the card is left as it is.
    Sector sector;
    if (!read_first_start_sector(m_crc_table, m_card_path, sector).found)
        return kExitEcgOutputFailed;
    const uint16_t s = sector_recording_num(sector);
    if (patient_data_belongs(m_config_dat, s) && !confirmed) return kExitPatientAlreadyAttached;

    // The recorder shows the texts as they are; a change stores them without the visual-order
    // transform whatever the character set.
    store_field_text(m_config_dat.patient_name, patient_name, false);
    store_field_text(m_config_dat.patient_id, patient_id, false);
    store_field_text(m_config_dat.event_text, event_text, false);
    m_config_dat.change_marker = kPatientChangeMarker;
    stamp_time(m_config_dat.change_time);
    m_config_dat.patient_data_num = s;
    if (!write_keeping_read_only(card_file_path(m_card_path, kConfigFileName),
                                 [this] { return write_config(); }))
        return kExitWriteFailed;

    if (m_run_mode == kModeChangePat) {
        if (!put_host_cnav(m_host_folder) || !file_exists(card_file_path(m_card_path, "cnav.dat")))
            return kExitWriteFailed;
    }
    settle_pause();
    return kExitSuccess;
}
