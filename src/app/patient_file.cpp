#include "app/patient_file.h"

#include <string>

#include "card/card_rewrite.h"
#include "card/ccf_disk.h"
#include "card/drive_text.h"
#include "format/card_files.h"
#include "support/exit_codes.h"
#include "support/file_utils.h"
#include "support/ini_section_store.h"

namespace {

constexpr char kPatientSection[] = "Patient Details";
constexpr char kPatientNameKey[] = "PatientName";
constexpr char kPatientIdKey[] = "PatientId";

// Only the two texts change: the counters, the change marker and the change time stay as the
// recorder and the last initialising left them, so the card's recording state is untouched. The
// texts are stored as given, without the visual order of a newly built record. A read-only
// config.dat is written all the same and is read-only again afterwards, whatever the outcome.
bool write_patient_texts(CCFDisk& disk, const std::string& name, const std::string& id) {
    if (!disk.read_config()) return false;
    store_field_text(disk.m_config_dat.patient_name, name, false);
    store_field_text(disk.m_config_dat.patient_id, id, false);
    return write_keeping_read_only(card_file_path(disk.m_card_path, kConfigFileName),
                                   [&disk] { return disk.write_config(); });
}

int apply(RunRequest& request, CCFDisk& disk) {
    if (!file_exists(request.m_patient_file)) return kExitNoPatientFile;
    IniSectionStore patient_file;
    patient_file.set_strip_comments(true);
    if (patient_file.load(request.m_patient_file) == 0) return kExitNoPatientFile;
    request.m_patient_name = patient_file.get(kPatientSection, kPatientNameKey);
    if (request.m_patient_name.empty()) return kExitNoPatientName;
    request.m_patient_id = patient_file.get(kPatientSection, kPatientIdKey);
    if (request.m_patient_id.empty()) return kExitNoPatientId;

    const std::string drive = disk.find_card(true, true);
    if (drive == kNoCardDrive) return kExitNoCard;
    if (has_two_cards_marker(drive)) return kExitTwoCards;
    disk.set_card_path(drive.substr(0, 2));
    if (!write_patient_texts(disk, request.m_patient_name, request.m_patient_id))
        return kExitNotCompleted;
    return kExitSuccess;
}

}  // namespace

void apply_patient_file(RunRequest& request, CCFDisk& disk) {
    request.m_exit_code = apply(request, disk);
}
