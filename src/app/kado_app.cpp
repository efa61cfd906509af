#include "app/kado_app.h"

#include <cstdlib>
#include <utility>
#include <vector>

#include "app/command_line.h"
#include "app/main_flow.h"
#include "card/default_drive.h"
#include "cef/cef_input.h"
#include "cef/szip_install.h"
#include "extract/ecg_extractor.h"
#include "handoff/cef_dispatch.h"
#include "support/exit_codes.h"
#include "support/file_utils.h"
#include "support/language_choice.h"
#include "support/messages.h"
#include "support/named_event.h"
#include "support/profile.h"
#include "support/string_ids.h"
#include "support/trace.h"
#include "ui/dialog_windows.h"
#include "ui/main_window.h"

namespace {

constexpr const char* kProfileCompany = "Vantorel";
// The program's own key below the shared language settings.
constexpr const char* kLanguageProgramKey = "KADO";
constexpr const char* kSettingsSection = "Settings";
constexpr const char* kDefaultDriveKey = "Default Drive";
constexpr int kNoDriveCode = '?';

// The modes a caller runs unattended keep the window out of sight; the others leave it on the
// task bar, minimised.
MainWindowState main_window_state(RunMode mode) {
    switch (mode) {
        case kModeWriteCnav:
        case kModeReadPatCnav:
        case kModeReadPatPath:
        case kModeReadPatScan:
        case kModeReadEcgHide:
        case kModeWav:
        case kModeReadPatStatus:
            return MainWindowState::kHidden;
        default:
            return MainWindowState::kMinimised;
    }
}

}  // namespace

// The language is chosen before anything is shown, so every message and window text uses it.
CKadoApp::CKadoApp(std::string command_line) : m_command_line(std::move(command_line)) {
    apply_language_choice(kLanguageProgramKey);
}

bool CKadoApp::start_instance() {
    set_profile_company(kProfileCompany);
    g_default_drive =
        static_cast<char>(profile_get_int(kSettingsSection, kDefaultDriveKey, kNoDriveCode));
    // Only CEF archives need the tool, so the run goes on without it.
    if (!install_szip(kSzipResource, kSzipReadmeResource))
        show_string(kStringSzipInstallFailed, MessageButtons::kOk, MessageIcon::kInformation);

    std::vector<std::string> arguments;
    tokenize_command_line(m_command_line, arguments);

    m_disk = std::make_unique<CCFDisk>();
    m_condition_progress = make_condition_progress();
    m_disk->m_condition_progress = m_condition_progress.get();
    if (const char* calibration = std::getenv("KADO_CAL");
        calibration != nullptr &&
        !m_disk->m_read_settings.set_calibration_seconds(parse_decimal(calibration)))
        trace("KADO_CAL %s ignored: more than %d seconds\n", calibration, kMaxCalibrationSeconds);
    // KADO_DECODE_THREADS=0 reads compressed recordings on the reading thread alone (diagnosis).
    if (const char* threads = std::getenv("KADO_DECODE_THREADS"); threads != nullptr) {
        const std::string text(threads);
        if (!text.empty() && text.find_first_not_of("0123456789") == std::string::npos)
            m_disk->m_read_settings.decode_workers = parse_decimal(text);
        else
            trace("KADO_DECODE_THREADS %s ignored: not a number of threads\n", threads);
    }

    if (!parse_command_line(m_request, arguments, m_output_settings, m_disk->m_read_settings))
        m_request.m_exit_code = kExitBadCommandLine;
    m_disk->m_run_mode = m_request.m_mode;
    m_disk->m_output_format = m_request.m_output_format;
    // Initialising and the patient change take the host's cnav.dat from the output folder.
    m_disk->m_host_folder = m_request.m_output_dir;
    check_folders();

    if (m_request.m_exit_code == 0) {
        // A desktop that cannot host the window (headless) does not stop the run.
        open_main_window(main_window_state(m_request.m_mode));
        run_selected_mode();
        close_main_window();
    }

    trace("m_exit_code : %i\n", m_request.m_exit_code);
    return true;
}

// Each failing check overwrites the code of the one before, so the last check wins.
void CKadoApp::check_folders() {
    const RunMode mode = m_request.m_mode;
    if (mode != kModeWav && mode != kModeSetPat && mode != kModeReadPatStatus &&
        (m_request.m_output_dir.empty() || !folder_exists(m_request.m_output_dir)))
        m_request.m_exit_code = kExitNoOutputFolder;
    // The input may also name a CEF archive itself.
    const std::string& input = m_request.m_input_dir;
    if (!input.empty() && !folder_exists(input) && !file_exists(input))
        m_request.m_exit_code = kExitNoInputFolder;
}

// An input that holds a CEF recording takes the CEF road in every mode; anything else the main
// flow.
void CKadoApp::run_selected_mode() {
    m_read_dialog = std::make_unique<CKadoReadDlg>(*m_disk, m_request.m_output_dir,
                                                   m_request.m_procedure_id, m_output_settings);
    m_init_dialog = std::make_unique<CKadoInitDlg>(*m_disk, m_request.m_output_dir);
    int channels = 0;
    const std::string cef_input = locate_cef_input(m_request.m_input_dir, channels);
    if (cef_input.empty()) {
        run_main_flow(m_request, *m_disk, {*m_read_dialog, *m_init_dialog}, m_output_settings);
        return;
    }
    std::string folder = cef_input;
    std::string unpacked;
    if (!folder_exists(cef_input)) {
        const std::unique_ptr<NamedEvent> terminator =
            NamedEvent::create_or_open(terminator_event_name(m_output_settings.mmf_instance));
        folder = unpacked = unpack_cef_input(m_request.m_mode, cef_input, terminator.get());
    }
    // A folder the caller named is never removed, only the one unpacked here.
    const FolderRemovalGuard removal(unpacked, true, true);
    m_request.m_exit_code = folder.empty()
                                ? kExitCefUnpackFailed
                                : dispatch_cef_output(m_request.m_mode, m_request.m_output_format,
                                                      m_request.m_output_dir,
                                                      m_disk->m_read_settings, folder, channels);
}

int CKadoApp::end_instance() {
    m_init_dialog.reset();
    m_read_dialog.reset();
    m_disk.reset();
    m_condition_progress.reset();
    profile_write_int(kSettingsSection, kDefaultDriveKey,
                      static_cast<signed char>(g_default_drive));
    return m_request.m_exit_code;
}
