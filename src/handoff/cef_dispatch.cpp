#include "handoff/cef_dispatch.h"

#include <initializer_list>

#include "handoff/cef_sections.h"
#include "support/exit_codes.h"
#include "support/file_utils.h"
#include "support/message_box.h"
#include "support/messages.h"
#include "support/string_ids.h"
#include "support/trace.h"

namespace {

// A CEF recording has 0 to 3 channels; any other count is a damaged recording.
bool channel_count_in_range(int channels) {
    return channels >= 0 && channels <= 3;
}

// Stops at the first file that cannot be copied.
bool copy_files(const std::string& folder, const std::string& output,
                std::initializer_list<const char*> names) {
    for (const char* name : names) {
        if (!copy_file_plain(join_path(folder, name), join_path(output, name))) {
            trace("%s cannot be copied\n", name);
            return false;
        }
    }
    return true;
}

bool copy_patient_files(const std::string& folder, const std::string& output, bool with_cnav) {
    if (!copy_files(folder, output, {"PATSUMM.DAT", "PATIENT.WAV", "PATEVENT.DAT"})) return false;
    return !with_cnav || copy_files(folder, output, {"CNAV.DAT", "CNAVOP.DAT"});
}

bool cef_ecg_output(const RunRequest& request, const ReadSettings& settings,
                    const std::string& folder) {
    if (request.m_output_format != kFormatPath && request.m_output_format != kFormatMmf) {
        show_string(kStringUnsupportedCefOutput, MessageButtons::kOk, MessageIcon::kStop);
        return false;
    }
    // The receiver can do without the recorder's other bytes; the samples are what count.
    copy_files(folder, request.m_output_dir, {"OTHER.DAT"});
    return write_cef_sections(folder, settings, cef_road_names());
}

}  // namespace

void dispatch_cef_output(RunRequest& request, const ReadSettings& settings,
                         const std::string& folder, int channels) {
    if (!channel_count_in_range(channels)) request.m_exit_code = kExitEcgOutputFailed;
    switch (request.m_mode) {
        case kModeReadPatCnav:
        case kModeReadPatPath:
        case kModeReadPatScan:
            // A missing file is not reported: the caller finds fewer files.
            copy_patient_files(folder, request.m_output_dir, request.m_mode == kModeReadPatCnav);
            request.m_exit_code = channel_count_in_range(channels) ? channel_exit_code(channels)
                                                                   : kExitEcgOutputFailed;
            break;
        case kModeReadEcgHide:
            if (!cef_ecg_output(request, settings, folder)) request.m_exit_code = kExitWriteFailed;
            break;
        default:
            request.m_exit_code = kExitNoCefOutput;
            break;
    }
}
