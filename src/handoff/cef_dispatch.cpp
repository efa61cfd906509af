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

bool cef_ecg_output(OutputFormat format, const std::string& output_folder,
                    const ReadSettings& settings, const std::string& folder) {
    if (format != kFormatPath && format != kFormatMmf) {
        show_string(kStringUnsupportedCefOutput, MessageButtons::kOk, MessageIcon::kStop);
        return false;
    }
    // The receiver can do without the recorder's other bytes; the samples are what count.
    copy_files(folder, output_folder, {"OTHER.DAT"});
    return write_cef_sections(folder, settings, cef_road_names());
}

}  // namespace

int dispatch_cef_output(RunMode mode, OutputFormat format, const std::string& output_folder,
                        const ReadSettings& settings, const std::string& folder, int channels) {
    const bool channels_valid = channel_count_in_range(channels);
    switch (mode) {
        case kModeReadPatCnav:
        case kModeReadPatPath:
        case kModeReadPatScan:
            // A missing file is not reported: the caller finds fewer files.
            copy_patient_files(folder, output_folder, mode == kModeReadPatCnav);
            return channels_valid ? channel_exit_code(channels) : kExitEcgOutputFailed;
        case kModeReadEcgHide:
            if (!cef_ecg_output(format, output_folder, settings, folder)) return kExitWriteFailed;
            return channels_valid ? kExitSuccess : kExitEcgOutputFailed;
        default:
            return kExitNoCefOutput;
    }
}
