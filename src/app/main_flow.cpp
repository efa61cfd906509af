#include "app/main_flow.h"

#include <memory>

#include "app/card_modes.h"
#include "app/patient_file.h"
#include "card/ccf_disk.h"
#include "card/drive_text.h"
#include "extract/ecg_extractor.h"
#include "extract/output_settings.h"
#include "handoff/loader.h"
#include "support/exit_codes.h"
#include "support/named_event.h"
#include "support/program_files.h"
#include "support/trace.h"
#include "ui/dialog_windows.h"
#include "ui/read_dialog.h"

namespace {

// The folder of a loader source; the loader's wait ends when the caller signals the terminator.
void run_loader_dispatch(RunRequest& request, const CCFDisk& disk, const OutputSettings& output,
                         const std::string& folder) {
    const LoaderRequest loader{
        request.m_mode,        request.m_output_format, folder,
        request.m_output_dir,  request.m_procedure_id,  disk.m_read_settings.skip_hours,
        output.duration_hours, module_folder()};
    const std::unique_ptr<NamedEvent> terminator =
        NamedEvent::create_or_open(terminator_event_name(output.mmf_instance));
    request.m_exit_code = run_loader(loader, terminator.get());
}

bool is_interactive_read(RunMode mode) {
    return mode == kModeReadPatStand || mode == kModeReadEcgStand;
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

// Finds the card for a read without an input folder and takes its status; false when the card
// holds a loader source and the loader dispatch has taken over.
bool find_card_to_read(RunRequest& request, CCFDisk& disk, const OutputSettings& output) {
    const std::string drive = disk.find_card(true, true);
    request.m_input_dir = drive;
    if (has_two_cards_marker(drive)) {
        request.m_exit_code = kExitTwoCards;
        trace("More than one drive found and user cancelled dialog.\n");
        return true;
    }
    if (drive == kNoCardDrive) {
        // The interactive Read dialog opens without a card.
        request.m_exit_code = is_interactive_read(request.m_mode) ? 0 : kExitNoCard;
        trace("No drives found.\n");
        return true;
    }
    if (request.m_mode != kModeReadPatStatus && has_loader_source(drive)) {
        run_loader_dispatch(request, disk, output, drive);
        return false;
    }
    disk.set_card_path(drive);
    request.m_exit_code = disk.card_status(false, false);
    trace("CF_conditioned_ : %i\n", request.m_exit_code);
    return true;
}

void read_card(RunRequest& request, CCFDisk& disk, CKadoReadDlg& read_dialog,
               const OutputSettings& output) {
    if (request.m_input_dir.empty()) {
        if (!find_card_to_read(request, disk, output)) return;
    } else {
        disk.set_card_path(request.m_input_dir);
        request.m_exit_code = disk.folder_status();
        trace("CF_conditioned_ : %i\n", request.m_exit_code);
    }
    disk.set_card_path(request.m_input_dir);
    const int code = request.m_exit_code;
    // A read for the patient details alone goes on without a valid ECG when the caller asks.
    if (code != 0 && code != kExitUnread && !(code == kExitNoValidEcg && request.m_read_corrie))
        return;
    disk.read_config();
    if (is_interactive_read(request.m_mode)) {
        // The dialog reports its own outcomes; the exit code stays the card's status.
        read_dialog.set_quiet(false);
        run_read_dialog(read_dialog);
    } else if (request.m_mode == kModeReadEcgHide) {
        read_ecg(request, disk, read_dialog);
    } else {
        read_patient(request, disk, read_dialog);
    }
}

}  // namespace

void run_main_flow(RunRequest& request, CCFDisk& disk, const CardDialogs& dialogs,
                   const OutputSettings& output) {
    // Without an input folder the card search finds the folder; the program's own working folder
    // is never taken for a loader source.
    if (!request.m_input_dir.empty() && has_loader_source(request.m_input_dir)) {
        run_loader_dispatch(request, disk, output, request.m_input_dir);
        return;
    }
    const RunMode mode = request.m_mode;
    if (prepares_card(mode)) {
        run_initialise_mode(request, disk, dialogs.init);
    } else if (reads_recording(mode) || mode == kModeReadPatStatus) {
        read_card(request, disk, dialogs.read, output);
    } else if (mode == kModeChangePat) {
        run_change_patient(request, disk);
    } else if (mode == kModeWav) {
        run_speech_probe(request, disk);
    } else if (mode == kModeSetPat) {
        apply_patient_file(request, disk);
    } else {
        trace("mode %i not available\n", static_cast<int>(mode));
        request.m_exit_code = kExitNotCompleted;
    }
}
