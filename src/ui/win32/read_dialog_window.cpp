// The Read dialog as a modal window over CKadoReadDlg: the window copies the details into its
// fields and runs the logic's button operations.
#include <windows.h>

#include "support/string_ids.h"
#include "ui/dialog_windows.h"
#include "ui/main_window.h"
#include "ui/read_dialog.h"
#include "ui/win32/dialog_resources.h"
#include "ui/win32/window_text.h"

namespace {

void show_details(HWND window, const CKadoReadDlg& dialog) {
    set_control_system_text(window, IDC_PATIENT_NAME, dialog.details().patient_name);
    set_control_system_text(window, IDC_PATIENT_ID, dialog.details().patient_id);
}

void open_read_dialog(HWND window, CKadoReadDlg& dialog) {
    dialog.open();
    set_dialog_caption_and_icon(window);
    set_control_texts(window, {{IDC_PATIENT_NAME_LABEL, kTextPatientName},
                               {IDC_PATIENT_ID_LABEL, kTextPatientId},
                               {IDC_PLAY_SOUND, kTextPlaySound},
                               {IDC_READ_PATIENT, kTextReadPatient},
                               {IDC_READ_ECG, kTextReadEcg},
                               {IDOK, kTextExit}});
    show_control(window, IDC_PLAY_SOUND, dialog.play_button_visible());
}

void on_command(HWND window, CKadoReadDlg& dialog, int control) {
    switch (control) {
        case IDC_READ_PATIENT:
            if (dialog.on_read_patient()) show_details(window, dialog);
            break;
        case IDC_READ_ECG:
            if (!dialog.on_read_ecg_data()) break;
            show_control(window, IDC_PLAY_SOUND, dialog.play_button_visible());
            show_details(window, dialog);
            break;
        case IDC_PLAY_SOUND:
            dialog.play_patient_wav();
            break;
        case IDOK:
            close_main_window();
            EndDialog(window, IDOK);
            break;
        default:  // Escape (IDCANCEL) leaves the dialog open
            break;
    }
}

INT_PTR CALLBACK read_dialog_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lparam);
        open_read_dialog(window, *reinterpret_cast<CKadoReadDlg*>(lparam));
        return TRUE;
    }
    auto* const dialog = reinterpret_cast<CKadoReadDlg*>(GetWindowLongPtrW(window, DWLP_USER));
    if (message != WM_COMMAND || dialog == nullptr) return FALSE;
    on_command(window, *dialog, LOWORD(wparam));
    return TRUE;
}

}  // namespace

void run_read_dialog(CKadoReadDlg& dialog) {
    // A dialog that cannot be created (no desktop) ends at once, as if left with Exit.
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_READ_DIALOG),
                    static_cast<HWND>(main_window_handle()), read_dialog_proc,
                    reinterpret_cast<LPARAM>(&dialog));
}
