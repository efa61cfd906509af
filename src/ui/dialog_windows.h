// The windows of the interactive modes and the progress of the two long operations. The Windows
// program shows real dialogs (ui/win32), the Linux program console dialogs on standard input and
// error and a progress line (ui/console); both drive the logic classes of the dialogs, which the
// main flow also calls without any window.
#pragma once

#include <memory>

class CKadoReadDlg;
class CKadoInitDlg;
class ProgressControl;
class ConditionProgress;

// Shows the Read dialog (set to interactive use) until the user leaves it with Exit; on the
// console the end of standard input is Exit.
void run_read_dialog(CKadoReadDlg& dialog);

enum class InitDialogEnd { kExit, kInitialised };
// Shows the Initialise dialog until Exit, or until a successful initialisation ends it because
// the dialog was set to close the application afterwards.
InitDialogEnd run_init_dialog(CKadoInitDlg& dialog);

// The read progress window, shown at once and centred; null where none can be shown (the console
// when standard error is not a terminal), in which case the read moves no bar.
std::unique_ptr<ProgressControl> open_read_progress();

// The conditioning progress of the run's card storage: a window on Windows, a progress line on a
// terminal on Linux.
std::unique_ptr<ConditionProgress> make_condition_progress();
