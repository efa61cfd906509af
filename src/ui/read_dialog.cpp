#include "ui/read_dialog.h"

#include <exception>

#include "card/ccf_disk.h"
#include "card/drive_text.h"
#include "extract/ecg_extractor.h"
#include "handoff/patient_summary.h"
#include "handoff/sample_output_choice.h"
#include "support/file_utils.h"
#include "support/messages.h"
#include "support/sound.h"
#include "support/string_ids.h"
#include "support/trace.h"
#include "ui/dialog_windows.h"

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

bool CKadoReadDlg::find_card_for_button() {
    const std::string drive = m_disk.find_card(true, true);
    if (drive == kNoCardDrive) {
        show_string(kStringCardNotFound);
        return false;
    }
    // Two cards give the drive with its marker, which then fails the details read with a report.
    m_disk.set_card_path(drive);
    return true;
}

bool CKadoReadDlg::on_read_patient() {
    if (!find_card_for_button()) return false;
    read_patient_details(false);
    return true;
}

bool CKadoReadDlg::on_read_ecg_data() {
    if (!find_card_for_button()) return false;
    read_patient_details(false);
    m_play_visible = m_disk.copy_patient_wav(m_output_folder);
    if (m_play_visible &&
        show_string(kStringHearSpeech, MessageButtons::kYesNo) == MessageAnswer::kYes)
        play_patient_wav();
    read_ecg(kFormatArchive);
    return true;
}

void CKadoReadDlg::play_patient_wav() {
    play_sound_file(join_path(m_output_folder, "patient.wav"));
}

bool CKadoReadDlg::read_ecg(OutputFormat format) {
    if (!m_disk.read_config()) return false;
    bool result = false;
    std::unique_ptr<ProgressControl> progress;
    if (!m_quiet) progress = open_read_progress();
    try {
        result = run_read(format, progress.get());
    } catch (...) {
        trace("Generic Exception caught in module %s at line %d\n", kModuleName, __LINE__);
        show_read_message(kStringEcgReadError, MessageButtons::kOk, MessageIcon::kExclamation);
        result = false;
    }
    progress.reset();
    if (!m_quiet) show_string(result ? kStringEcgRead : kStringEcgReadError);
    return result;
}

bool CKadoReadDlg::extract_samples(OutputFormat format, ProgressControl* progress) {
    // The unattended read has not looked at the details; the EDF+ header names the patient. A card
    // whose details cannot be read fails in the read itself.
    RecordingDetails details = m_details;
    if (format == kFormatEdf || m_output_settings.overview)
        recording_summary(m_disk, false, details);
    const std::unique_ptr<SampleOutput> samples =
        choose_sample_output(format, m_output_settings, m_disk.m_read_settings, m_output_folder,
                             m_procedure_id, details);
    return extract_ecg(m_disk, *samples,
                       {format, m_output_folder, m_output_settings.mmf_instance, progress});
}

bool CKadoReadDlg::run_read(OutputFormat format, ProgressControl* progress) {
    switch (format) {
        case kFormatPath:
        case kFormatArchive:
        case kFormatMmf:
        case kFormatPn12File:
        case kFormatPn12Arch:
        case kFormatEdf:
            return extract_samples(format, progress);
        case kFormatCnav:
            return m_disk.copy_all_files(m_output_folder);
        default:
            return true;
    }
}
