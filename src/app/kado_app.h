// The application object: start-up, the command-line contract, the choice of run mode, and the
// exit code the process returns. main() constructs it, runs start_instance and returns
// end_instance.
#pragma once

#include <memory>
#include <string>

#include "app/run_request.h"
#include "card/ccf_disk.h"
#include "card/condition_progress.h"
#include "extract/output_settings.h"
#include "ui/init_dialog.h"
#include "ui/read_dialog.h"

class CKadoApp {
  public:
    explicit CKadoApp(std::string command_line);
    CKadoApp(const CKadoApp&) = delete;
    CKadoApp& operator=(const CKadoApp&) = delete;

    // Runs the whole start-up and the selected mode, then posts the close request to the main
    // window when one was opened; always true. run_main_window_loop then ends the run.
    bool start_instance();
    // Writes the default drive back to the profile (also after a failed run); returns the exit
    // code.
    int end_instance();

    const RunRequest& request() const { return m_request; }
    const CCFDisk* disk() const { return m_disk.get(); }

  private:
    void check_folders();
    void run_selected_mode();

    std::string m_command_line;
    RunRequest m_request;
    OutputSettings m_output_settings;
    // The one card storage object of the run, created during start-up.
    std::unique_ptr<CCFDisk> m_disk;
    std::unique_ptr<ConditionProgress> m_condition_progress;
    // Created with the main window; the card modes use them without showing them.
    std::unique_ptr<CKadoReadDlg> m_read_dialog;
    std::unique_ptr<CKadoInitDlg> m_init_dialog;
};
