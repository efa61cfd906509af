#include "ui/dialog_windows.h"
#include "card/condition_progress.h"
#include "extract/progress_control.h"

// Placeholder until the dialog windows land: the dialogs end at once as if left with Exit.
void run_read_dialog(CKadoReadDlg&) {}
InitDialogEnd run_init_dialog(CKadoInitDlg&) {
    return InitDialogEnd::kExit;
}
std::unique_ptr<ProgressControl> open_read_progress() {
    return nullptr;
}
std::unique_ptr<ConditionProgress> make_condition_progress() {
    return nullptr;
}
