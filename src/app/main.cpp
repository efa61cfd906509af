#include <cstdio>
#include <string>
#include <vector>

#include "app/console_help.h"
#include "app/kado_app.h"
#include "support/drives.h"
#include "support/io_faults.h"
#include "support/process_args.h"
#include "ui/main_window.h"

int main(int argc, char** argv) {
#if !defined(_WIN32)
    // Only the Linux program has a console to answer on; kado.exe is a window program.
    if (const auto text = information_text(std::vector<std::string>(argv + 1, argv + argc))) {
        std::fputs(text->c_str(), stdout);
        return 0;
    }
#endif
    // The card search asks every drive letter; none of them may stall the run with a system box.
    suppress_drive_error_dialogs();
    arm_io_fault_from_environment();
    CKadoApp app(command_line_text(argc, argv));
    app.start_instance();
    run_main_window_loop();
    return app.end_instance();
}
