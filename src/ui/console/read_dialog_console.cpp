// The Read dialog on the console: the caption, the patient's name and identifier (read-only, as
// the details read from the card fill them) and the buttons, until Exit or the end of input.
#include <vector>

#include "support/string_ids.h"
#include "ui/console/console_form.h"
#include "ui/dialog_windows.h"
#include "ui/read_dialog.h"

namespace {

constexpr char kReadPatientKey = 'p';
constexpr char kReadEcgKey = 'e';
constexpr char kPlaySoundKey = 's';
constexpr char kExitKey = 'x';

std::vector<ConsoleButton> enabled_buttons(const CKadoReadDlg& dialog) {
    std::vector<ConsoleButton> buttons;
    if (dialog.play_button_visible()) buttons.push_back({kPlaySoundKey, kTextPlaySound});
    buttons.push_back({kReadPatientKey, kTextReadPatient});
    buttons.push_back({kReadEcgKey, kTextReadEcg});
    buttons.push_back({kExitKey, kTextExit});
    return buttons;
}

void show(const CKadoReadDlg& dialog, const std::vector<ConsoleButton>& buttons) {
    print_caption();
    print_field(kTextPatientName, nullptr, dialog.details().patient_name);
    print_field(kTextPatientId, nullptr, dialog.details().patient_id);
    print_buttons_and_prompt(buttons);
}

}  // namespace

void run_read_dialog(CKadoReadDlg& dialog) {
    dialog.open();
    for (;;) {
        const std::vector<ConsoleButton> buttons = enabled_buttons(dialog);
        show(dialog, buttons);
        const std::optional<std::string> answer = read_answer();
        if (!answer) return;
        switch (button_key(*answer, buttons)) {
            case kReadPatientKey:
                dialog.on_read_patient();
                break;
            case kReadEcgKey:
                dialog.on_read_ecg_data();
                break;
            case kPlaySoundKey:
                dialog.play_patient_wav();
                break;
            case kExitKey:
                return;
            default:
                print_unknown_answer(*answer);
        }
    }
}
