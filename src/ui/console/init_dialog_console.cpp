// The Initialise dialog on the console: the caption, the patient's name and identifier, the
// drive list with its selection, the default drive and, where offered, the FIR choice, each with
// the answer that changes it, and the buttons, until Exit, the end of input, or an initialisation
// after which the dialog closes the application.
#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/string_ids.h"
#include "support/string_table.h"
#include "ui/console/console_form.h"
#include "ui/dialog_windows.h"
#include "ui/init_dialog.h"

namespace {

constexpr char kInitialiseKey = 'i';
constexpr char kExitKey = 'x';
constexpr char kStartSectorKey = 's';
constexpr char kRecoverKey = 'r';

constexpr const char* kNameForm = "name=TEXT";
constexpr const char* kIdForm = "id=TEXT";
constexpr const char* kDriveForm = "drive=LETTER";
constexpr const char* kDefaultForm = "default=LETTER|none";
constexpr const char* kFirForm = "fir=on|off";

std::vector<ConsoleButton> enabled_buttons() {
    std::vector<ConsoleButton> buttons;
    // Tools for service staff, offered only where their variable is set.
    if (std::getenv("KADO_EXTRA_BUTTONS") != nullptr) {
        buttons.push_back({kStartSectorKey, kTextStartSectorInfo});
        buttons.push_back({kRecoverKey, kTextRecoverStartSector});
    }
    buttons.push_back({kInitialiseKey, kTextInitialiseCard});
    buttons.push_back({kExitKey, kTextExit});
    return buttons;
}

// The drive list's letters, the selected one in brackets.
std::string drive_list_text(const CKadoInitDlg& dialog) {
    std::string text;
    const std::vector<std::string>& letters = dialog.drive_letters();
    for (size_t i = 0; i < letters.size(); ++i) {
        if (!text.empty()) text += ' ';
        const bool selected = static_cast<int>(i) == dialog.drive_selection();
        text += selected ? "[" + letters[i] + "]" : letters[i];
    }
    return text;
}

std::string default_drive_text(const CKadoInitDlg& dialog) {
    const int item = dialog.default_drive_item();
    return item == 0 ? load_string(kTextNoDrive) : std::string(1, static_cast<char>(64 + item));
}

void show(const CKadoInitDlg& dialog, const std::vector<ConsoleButton>& buttons) {
    const bool editable = !dialog.lock_patient();
    print_caption();
    print_field(kTextPatientName, editable ? kNameForm : nullptr, dialog.m_patient_name);
    print_field(kTextPatientId, editable ? kIdForm : nullptr, dialog.m_patient_id);
    print_field(kTextDriveLetter, kDriveForm, drive_list_text(dialog));
    print_field(kTextDefaultDriveLetter, kDefaultForm, default_drive_text(dialog));
    if (!dialog.hide_fir())
        print_field(kTextLoadFir, kFirForm, dialog.m_fir_state != 0 ? "on" : "off");
    print_buttons_and_prompt(buttons);
}

std::string upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The Default Drive Letter list's item that the value names: 0 for none, 1 to 26 for A to Z; -1
// for anything else.
int default_drive_item_of(const std::string& value) {
    const std::string letter = upper(value);
    if (letter.empty() || letter == "NONE" || letter == upper(load_string(kTextNoDrive))) return 0;
    if (letter.size() == 1 && letter[0] >= 'A' && letter[0] <= 'Z') return letter[0] - 64;
    return -1;
}

// Applies the edit as the dialog's control would; false when the dialog offers no such change.
bool apply_edit(CKadoInitDlg& dialog, const FieldEdit& edit) {
    if (edit.name == "name" || edit.name == "id") {
        if (dialog.lock_patient()) return false;
        (edit.name == "name" ? dialog.m_patient_name : dialog.m_patient_id) = edit.value;
        return true;
    }
    if (edit.name == "drive") {
        const std::vector<std::string>& letters = dialog.drive_letters();
        for (size_t i = 0; i < letters.size(); ++i) {
            if (letters[i] != upper(edit.value)) continue;
            dialog.select_drive(static_cast<int>(i));
            return true;
        }
        return false;
    }
    if (edit.name == "default") {
        const int item = default_drive_item_of(edit.value);
        if (item < 0) return false;
        dialog.on_default_drive_selected(item);
        return true;
    }
    if (edit.name == "fir" && !dialog.hide_fir()) {
        if (edit.value != "on" && edit.value != "off") return false;
        dialog.m_fir_state = edit.value == "on" ? 1 : 0;
        return true;
    }
    return false;
}

}  // namespace

InitDialogEnd run_init_dialog(CKadoInitDlg& dialog) {
    dialog.open();
    const std::vector<ConsoleButton> buttons = enabled_buttons();
    for (;;) {
        show(dialog, buttons);
        const std::optional<std::string> answer = read_answer();
        if (!answer) return InitDialogEnd::kExit;
        if (const std::optional<FieldEdit> edit = field_edit(*answer)) {
            if (!apply_edit(dialog, *edit)) print_unknown_answer(*answer);
            continue;
        }
        switch (button_key(*answer, buttons)) {
            case kInitialiseKey:
                dialog.on_initialise_card();
                if (dialog.close_requested()) return InitDialogEnd::kInitialised;
                break;
            case kStartSectorKey:
                dialog.show_start_sector_info();
                break;
            case kRecoverKey:
                // The service button that has no action.
                break;
            case kExitKey:
                return InitDialogEnd::kExit;
            default:
                print_unknown_answer(*answer);
        }
    }
}
