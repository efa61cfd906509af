#include "app/main_flow.h"

#include "app/patient_file.h"
#include "card/ccf_disk.h"
#include "support/exit_codes.h"
#include "support/file_finder.h"
#include "support/file_utils.h"
#include "support/trace.h"
#include "ui/read_dialog.h"

namespace {

// A folder that a loader reads: its source is a .LDSC file, and it holds no card ECG.
bool is_loader_source_folder(const std::string& folder) {
    if (folder.empty()) return false;
    const FileFinder finder(join_path(folder, "*.LDSC"), kFindFiles);
    return !finder.done() && !file_exists(join_path(folder, "ECG.DAT"));
}

bool is_quiet_patient_read(RunMode mode) {
    return mode == kModeReadPatCnav || mode == kModeReadPatPath || mode == kModeReadPatScan ||
           mode == kModeReadPatStatus;
}

bool is_folder_read(const RunRequest& request) {
    return !request.m_input_dir.empty() &&
           (is_quiet_patient_read(request.m_mode) || request.m_mode == kModeReadEcgHide);
}

void not_available(RunRequest& request) {
    trace("mode %i not available\n", static_cast<int>(request.m_mode));
    request.m_exit_code = kExitNotCompleted;
}

// The patient details, the speech recording and the side files of the recording.
void read_patient(RunRequest& request, CCFDisk& disk, CKadoReadDlg& read_dialog) {
    read_dialog.set_quiet(true);
    if (!read_dialog.read_patient_details(request.m_exit_code == kExitNoValidEcg)) {
        request.m_exit_code = kExitPatientDataFailed;
        return;
    }
    request.m_exit_code = disk.get_ecg_is_valid();
    if (request.m_mode == kModeReadPatStatus || request.m_exit_code == kExitNoValidEcg) return;
    disk.copy_patient_wav(request.m_output_dir);
    disk.write_event_list(request.m_output_dir);
    if (request.m_mode != kModeReadPatCnav) return;
    disk.copy_cnav(request.m_output_dir);
    disk.write_cnavop(request.m_output_dir);
    request.m_exit_code = 0;
}

void read_ecg(RunRequest& request, CCFDisk& disk, CKadoReadDlg& read_dialog) {
    read_dialog.set_quiet(true);
    request.m_exit_code = disk.get_ecg_is_valid();
    if (request.m_exit_code == kExitNoValidEcg) return;
    request.m_exit_code = 0;
    if (!read_dialog.read_ecg(request.m_output_format)) request.m_exit_code = kExitEcgOutputFailed;
}

// A read of a folder copy of a card.
void read_folder(RunRequest& request, CCFDisk& disk, CKadoReadDlg& read_dialog) {
    disk.set_card_path(request.m_input_dir);
    request.m_exit_code = disk.folder_status();
    trace("CF_conditioned_ : %i\n", request.m_exit_code);
    const int code = request.m_exit_code;
    // A read for the patient details alone goes on without a valid ECG when the caller asks.
    if (code != 0 && code != kExitUnread && !(code == kExitNoValidEcg && request.m_read_corrie))
        return;
    disk.read_config();
    if (request.m_mode == kModeReadEcgHide)
        read_ecg(request, disk, read_dialog);
    else
        read_patient(request, disk, read_dialog);
}

}  // namespace

void run_main_flow(RunRequest& request, CCFDisk& disk, CKadoReadDlg& read_dialog) {
    if (is_loader_source_folder(request.m_input_dir)) {
        // The loaders of the other analysis system are not part of this program yet.
        trace("loader dispatch not available\n");
        request.m_exit_code = kExitNotCompleted;
        return;
    }
    if (request.m_mode == kModeSetPat) {
        apply_patient_file(request, disk);
        return;
    }
    // Reads without an input folder need the card search; the other modes need the dialogs and
    // card conditioning. None of them may pretend to succeed.
    if (!is_folder_read(request)) {
        not_available(request);
        return;
    }
    read_folder(request, disk, read_dialog);
}
