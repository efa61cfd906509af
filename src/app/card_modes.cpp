#include "app/card_modes.h"

#include "app/patient_side_files.h"
#include "card/ccf_disk.h"
#include "card/drive_text.h"
#include "support/exit_codes.h"
#include "support/messages.h"
#include "support/string_ids.h"
#include "support/trace.h"
#include "ui/dialog_windows.h"
#include "ui/init_dialog.h"

namespace {

bool is_usable_status(int code) {
    return code == 0 || code == kExitUnread;
}

// Mode 1 asks for the drive when no card was found at once; false when the user declined or the
// second search found several cards, with the exit code set.
bool find_card_to_initialise(RunRequest& request, CCFDisk& disk, std::string& drive,
                             bool& found_at_once) {
    drive = disk.find_card(true, true);
    found_at_once = true;
    if (request.m_mode != kModeWriteCnav || drive != kNoCardDrive) return true;
    if (show_string(kStringSelectDrive, MessageButtons::kYesNo, MessageIcon::kQuestion) !=
        MessageAnswer::kYes) {
        request.m_exit_code = kExitNoCard;
        return false;
    }
    found_at_once = false;
    drive = disk.find_card(true, false);
    if (!has_two_cards_marker(drive)) return true;
    request.m_exit_code = kExitTwoCards;
    return false;
}

}  // namespace

void run_initialise_mode(RunRequest& request, CCFDisk& disk, CKadoInitDlg& init_dialog) {
    const RunMode mode = request.m_mode;
    std::string drive;
    bool found_at_once = true;
    if (!find_card_to_initialise(request, disk, drive, found_at_once)) return;
    const bool automatic = mode == kModeWriteCnav && found_at_once;
    init_dialog.set_card_drive(drive);
    init_dialog.set_automatic(automatic);

    if (mode == kModeWriteStand || !read_patsumm_lines(request)) {
        if (mode == kModeWriteCnav) {
            request.m_exit_code = kExitPatientDataFailed;
            return;
        }
        request.m_patient_name.clear();
        request.m_patient_id.clear();
    }
    init_dialog.set_patient_name(request.m_patient_name);
    init_dialog.set_patient_id(request.m_patient_id);
    init_dialog.set_fir_state(request.m_fir ? 1 : 0);
    read_cnavop_line(request);
    init_dialog.set_event_text(request.m_event_text);

    if (mode == kModeWriteStand) {
        if (request.m_fir) init_dialog.set_hide_fir(false);
    } else {
        init_dialog.set_close_app_after(true);
        init_dialog.set_hide_fir(true);
        init_dialog.set_lock_patient(!found_at_once);
    }
    init_dialog.set_report_success(request.m_not_corrie);

    if (automatic) {
        const bool initialised = init_dialog.initialise_from_dialog(request.m_not_corrie);
        request.m_exit_code = initialised ? kExitSuccess : kExitInitialiseFailed;
        return;
    }
    const InitDialogEnd end = run_init_dialog(init_dialog);
    // Leaving with Exit means the card was not prepared, which the caller of the modes that
    // prepare a card for it must hear; mode 3 is the clinic's own tool and reports nothing.
    if (mode != kModeWriteStand)
        request.m_exit_code =
            end == InitDialogEnd::kInitialised ? kExitSuccess : kExitInitialiseFailed;
}

void run_change_patient(RunRequest& request, CCFDisk& disk) {
    if (request.m_input_dir.empty()) {
        const std::string drive = disk.find_card(true, true);
        request.m_input_dir = drive;
        if (has_two_cards_marker(drive)) {
            request.m_exit_code = kExitTwoCards;
        } else if (drive == kNoCardDrive) {
            request.m_exit_code = kExitNoCard;
        } else {
            disk.set_card_path(drive);
            request.m_exit_code = disk.card_status(false, false);
        }
    } else {
        disk.set_card_path(request.m_input_dir);
        request.m_exit_code = disk.folder_status();
    }
    trace("CF_conditioned_ : %i\n", request.m_exit_code);
    if (!is_usable_status(request.m_exit_code)) return;
    if (!read_patsumm_lines(request)) {
        request.m_exit_code = kExitPatientDataFailed;
        return;
    }
    disk.set_card_path(request.m_input_dir);
    request.m_exit_code = disk.get_ecg_is_valid();
    // Without a start sector there is no recording number to attach the patient to.
    if (request.m_exit_code == kExitNoValidEcg || request.m_exit_code == kExitEcgOutputFailed)
        return;
    read_cnavop_line(request);
    request.m_exit_code = disk.change_patient(request.m_patient_name, request.m_patient_id,
                                              request.m_event_text, request.m_confirmed);
}

void run_speech_probe(RunRequest& request, CCFDisk& disk) {
    const std::string drive = disk.find_card(true, false);
    request.m_exit_code = 0;
    if (!is_one_card(drive)) return;
    disk.set_card_path(drive);
    if (!is_usable_status(disk.card_status(false, false))) return;
    disk.read_config();
    if (disk.speech_belongs()) request.m_exit_code = static_cast<unsigned char>(drive[0]);
}
