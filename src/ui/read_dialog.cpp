#include "ui/read_dialog.h"

#include <exception>

#include "card/ccf_disk.h"
#include "extract/ecg_extractor.h"
#include "handoff/patient_summary.h"
#include "handoff/sample_output_choice.h"
#include "support/messages.h"
#include "support/string_ids.h"
#include "support/trace.h"

namespace {

constexpr const char* kModuleName = "KadoReadDlg";

}  // namespace

bool CKadoReadDlg::read_patient_details(bool patient_only) {
    if (!recording_summary(m_disk, patient_only, m_details)) {
        if (!m_quiet) show_string(kStringCardReadError);
        return false;
    }
    // The summary is a courtesy to the caller; the details were read whether or not it is written.
    write_patient_summary(m_output_folder, m_details);
    return true;
}

bool CKadoReadDlg::read_ecg(OutputFormat format) {
    if (!m_disk.read_config()) return false;
    bool result = false;
    try {
        result = run_read(format);
    } catch (...) {
        trace("Generic Exception caught in module %s at line %d\n", kModuleName, __LINE__);
        show_read_message(kStringEcgReadError, MessageButtons::kOk, MessageIcon::kExclamation);
        result = false;
    }
    if (!m_quiet) show_string(result ? kStringEcgRead : kStringEcgReadError);
    return result;
}

bool CKadoReadDlg::extract_samples(OutputFormat format) {
    const std::unique_ptr<SampleOutput> samples = choose_sample_output(
        format, m_output_settings, m_disk.m_read_settings, m_output_folder, m_procedure_id);
    return extract_ecg(m_disk, *samples, {format, m_output_folder, m_output_settings.mmf_instance});
}

bool CKadoReadDlg::run_read(OutputFormat format) {
    switch (format) {
        case kFormatPath:
        case kFormatArchive:
        case kFormatMmf:
        case kFormatPn12File:
        case kFormatPn12Arch:
            return extract_samples(format);
        case kFormatCnav:
            return m_disk.copy_all_files(m_output_folder);
        default:
            return true;
    }
}
