// The Initialise dialog as a modal window over CKadoInitDlg: the window copies the fields, the
// check box and the drive choice into the logic, runs its operations and shows its drive lists.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "support/string_ids.h"
#include "support/string_table.h"
#include "support/win32/wide_text.h"
#include "ui/dialog_windows.h"
#include "ui/init_dialog.h"
#include "ui/main_window.h"
#include "ui/win32/dialog_resources.h"
#include "ui/win32/window_text.h"

namespace {

struct InitDialogRun {
    CKadoInitDlg& dialog;
    bool initialised = false;
};

void add_item(HWND window, int control, const std::string& text) {
    SendDlgItemMessageW(window, control, CB_ADDSTRING, 0,
                        reinterpret_cast<LPARAM>(wide_of_utf8(text).c_str()));
}

void show_drive_letters(HWND window, const CKadoInitDlg& dialog) {
    SendDlgItemMessageW(window, IDC_DRIVE_LETTER, CB_RESETCONTENT, 0, 0);
    for (const std::string& letter : dialog.drive_letters())
        add_item(window, IDC_DRIVE_LETTER, letter);
    SendDlgItemMessageW(window, IDC_DRIVE_LETTER, CB_SETCURSEL,
                        static_cast<WPARAM>(dialog.drive_selection()), 0);
}

void fill_default_drive_list(HWND window, const CKadoInitDlg& dialog) {
    add_item(window, IDC_DEFAULT_DRIVE, load_string(kTextNoDrive));
    for (char letter = 'A'; letter <= 'Z'; ++letter)
        add_item(window, IDC_DEFAULT_DRIVE, std::string(1, letter));
    SendDlgItemMessageW(window, IDC_DEFAULT_DRIVE, CB_SETCURSEL,
                        static_cast<WPARAM>(dialog.default_drive_item()), 0);
}

void open_init_dialog(HWND window, CKadoInitDlg& dialog) {
    dialog.open();
    set_dialog_caption_and_icon(window);
    set_control_texts(window, {{IDC_PATIENT_NAME_LABEL, kTextPatientName},
                               {IDC_PATIENT_ID_LABEL, kTextPatientId},
                               {IDC_DRIVE_LETTER_LABEL, kTextDriveLetter},
                               {IDC_DEFAULT_DRIVE_LABEL, kTextDefaultDriveLetter},
                               {IDC_LOAD_FIR, kTextLoadFir},
                               {IDC_START_SECTOR_INFO, kTextStartSectorInfo},
                               {IDC_RECOVER_START_SECTOR, kTextRecoverStartSector},
                               {IDC_INITIALISE_CARD, kTextInitialiseCard},
                               {IDOK, kTextExit}});
    // Defined at all, even empty: the service buttons are for the maker's staff.
    const bool extra_buttons = std::getenv("KADO_EXTRA_BUTTONS") != nullptr;
    show_control(window, IDC_START_SECTOR_INFO, extra_buttons);
    show_control(window, IDC_RECOVER_START_SECTOR, extra_buttons);
    show_control(window, IDC_LOAD_FIR, !dialog.hide_fir());
    if (dialog.lock_patient()) {
        SendDlgItemMessageW(window, IDC_PATIENT_NAME, EM_SETREADONLY, TRUE, 0);
        SendDlgItemMessageW(window, IDC_PATIENT_ID, EM_SETREADONLY, TRUE, 0);
    }
    show_drive_letters(window, dialog);
    fill_default_drive_list(window, dialog);
    set_control_system_text(window, IDC_PATIENT_NAME, dialog.m_patient_name);
    set_control_system_text(window, IDC_PATIENT_ID, dialog.m_patient_id);
    CheckDlgButton(window, IDC_LOAD_FIR, dialog.m_fir_state != 0 ? BST_CHECKED : BST_UNCHECKED);
}

void copy_controls(HWND window, CKadoInitDlg& dialog) {
    dialog.set_patient_name(control_system_text(window, IDC_PATIENT_NAME));
    dialog.set_patient_id(control_system_text(window, IDC_PATIENT_ID));
    dialog.set_fir_state(IsDlgButtonChecked(window, IDC_LOAD_FIR) == BST_CHECKED ? 1 : 0);
    dialog.select_drive(
        static_cast<int>(SendDlgItemMessageW(window, IDC_DRIVE_LETTER, CB_GETCURSEL, 0, 0)));
}

// The window stays disabled, and hidden unless it reports success itself, while the card is
// initialised: the initialisation asks its own questions and shows its own progress.
void initialise_card(HWND window, InitDialogRun& run) {
    CKadoInitDlg& dialog = run.dialog;
    copy_controls(window, dialog);
    const bool stay_visible = dialog.report_success();
    EnableWindow(window, FALSE);
    enable_control(window, IDC_INITIALISE_CARD, false);
    enable_control(window, IDOK, false);
    if (!stay_visible) ShowWindow(window, SW_HIDE);
    dialog.on_initialise_card();
    enable_control(window, IDC_INITIALISE_CARD, true);
    enable_control(window, IDOK, true);
    EnableWindow(window, TRUE);
    if (!stay_visible) ShowWindow(window, SW_SHOW);
    SetActiveWindow(window);
    show_drive_letters(window, dialog);
    if (dialog.close_requested()) {
        run.initialised = true;
        close_main_window();
        EndDialog(window, IDOK);
    }
}

void on_command(HWND window, InitDialogRun& run, int control, int notification) {
    CKadoInitDlg& dialog = run.dialog;
    switch (control) {
        case IDC_INITIALISE_CARD:
            initialise_card(window, run);
            break;
        case IDC_DEFAULT_DRIVE:
            if (notification != CBN_SELCHANGE) break;
            // No selection reads as item 0, none.
            dialog.on_default_drive_selected(static_cast<int>(
                SendDlgItemMessageW(window, IDC_DEFAULT_DRIVE, CB_GETCURSEL, 0, 0)));
            show_drive_letters(window, dialog);
            break;
        case IDC_START_SECTOR_INFO:
            dialog.show_start_sector_info();
            break;
        case IDOK:
            close_main_window();
            EndDialog(window, IDOK);
            break;
        default:  // Escape (IDCANCEL) leaves the dialog open; Recover Start Sector does nothing
            break;
    }
}

INT_PTR CALLBACK init_dialog_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lparam);
        open_init_dialog(window, reinterpret_cast<InitDialogRun*>(lparam)->dialog);
        return TRUE;
    }
    auto* const run = reinterpret_cast<InitDialogRun*>(GetWindowLongPtrW(window, DWLP_USER));
    if (message != WM_COMMAND || run == nullptr) return FALSE;
    on_command(window, *run, LOWORD(wparam), HIWORD(wparam));
    return TRUE;
}

}  // namespace

InitDialogEnd run_init_dialog(CKadoInitDlg& dialog) {
    // The run records how the dialog ended: DialogBox answers -1 both for a dialog that could
    // not be created (no desktop), which counts as Exit, and for any end value a dialog chooses.
    InitDialogRun run{dialog};
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_INIT_DIALOG),
                    static_cast<HWND>(main_window_handle()), init_dialog_proc,
                    reinterpret_cast<LPARAM>(&run));
    return run.initialised ? InitDialogEnd::kInitialised : InitDialogEnd::kExit;
}
