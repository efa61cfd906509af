// The Read dialog's logic without a window: reading the patient details of a card into the
// patient summary and reading the ECG in an output format. The main flow calls it quietly in the
// non-interactive read modes; the window code of the interactive modes copies its members to the
// controls.
#pragma once

#include <string>

#include "extract/output_settings.h"
#include "extract/progress_control.h"
#include "extract/recording_summary.h"
#include "support/run_mode.h"

class CCFDisk;

class CKadoReadDlg {
  public:
    // output_folder receives every file a read writes; procedure_id goes into the 12-lead headers.
    CKadoReadDlg(CCFDisk& disk, std::string output_folder, std::string procedure_id,
                 const OutputSettings& output_settings)
        : m_disk(disk),
          m_output_folder(std::move(output_folder)),
          m_procedure_id(std::move(procedure_id)),
          m_output_settings(output_settings) {}
    CKadoReadDlg(const CKadoReadDlg&) = delete;
    CKadoReadDlg& operator=(const CKadoReadDlg&) = delete;

    // Quiet use opens no window and shows no message, except the report of an unexpected
    // failure while the ECG is read.
    void set_quiet(bool quiet) { m_quiet = quiet; }

    // Fills the details from the card and writes the patient summary into the output folder.
    // With patient_only the recording start stays empty and the length -1. False when the card's
    // details cannot be read.
    bool read_patient_details(bool patient_only);

    // Reads the ECG into the output folder in the format: the extraction for formats 1, 2, 4, 5
    // and 6, a copy of the card for format 3. False when config.dat cannot be read or the read
    // failed; any other format does nothing and succeeds.
    bool read_ecg(OutputFormat format);

    // Opening the dialog: the Play Sound File button starts hidden at every opening.
    void open() { m_play_visible = false; }
    // The Read Patient button: the card's details into the fields and the patient summary, or
    // the report that no card was found. False when no card was found: the fields stay as they
    // are.
    bool on_read_patient();
    // The Read ECG Data button: the details, the speech recording (offered to be heard) and the
    // archive read with its progress and report. False when no card was found, as above.
    bool on_read_ecg_data();
    // Plays the speech recording copied into the output folder, to its end.
    void play_patient_wav();
    bool play_button_visible() const { return m_play_visible; }

    const RecordingDetails& details() const { return m_details; }

  private:
    bool find_card_for_button();

    bool run_read(OutputFormat format, ProgressControl* progress);
    bool extract_samples(OutputFormat format, ProgressControl* progress);

    CCFDisk& m_disk;
    std::string m_output_folder;
    std::string m_procedure_id;
    OutputSettings m_output_settings;
    RecordingDetails m_details;
    bool m_quiet = true;
    bool m_play_visible = false;
};
