// The Initialise dialog's logic without a window: which drives it offers, the default drive, the
// FIR file, the start-sector text and the initialisation of the chosen card. The main flow calls
// it directly in automatic use and through the dialog otherwise; the window code only copies the
// controls to and from its members and shows the drive list it keeps.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "card/config_record.h"

class CCFDisk;

class CKadoInitDlg {
  public:
    // fir.dat is looked for in output_folder.
    CKadoInitDlg(CCFDisk& disk, std::string output_folder)
        : m_disk(disk), m_output_folder(std::move(output_folder)) {}
    CKadoInitDlg(const CKadoInitDlg&) = delete;
    CKadoInitDlg& operator=(const CKadoInitDlg&) = delete;

    void set_patient_name(const std::string& name) { m_patient_name = name; }
    void set_patient_id(const std::string& id) { m_patient_id = id; }
    void set_event_text(const std::string& text) { m_event_text = text; }
    void set_fir_state(int32_t state) { m_fir_state = state; }
    void set_card_drive(const std::string& drive) { m_card_drive = drive; }
    void set_close_app_after(bool close) { m_close_app_after = close; }
    void set_automatic(bool automatic) { m_automatic = automatic; }
    void set_hide_fir(bool hide) { m_hide_fir = hide; }
    void set_lock_patient(bool lock) { m_lock_patient = lock; }
    void set_report_success(bool report) { m_report_success = report; }

    // What opening the dialog fills in: the drive list with the card's drive selected.
    void open();

    // Validates the inputs and has the card initialised; true when the card was initialised.
    bool initialise_from_dialog(bool report_success);

    // Refills the drive list and selects the letter, or the first entry when it is not offered.
    void fill_drive_letters(char letter);
    // Whether the drive is offered in the drive list.
    bool is_candidate_drive(char letter) const;
    // 0 when fir.dat was read into m_fir_elements, -1 when it cannot be opened.
    int load_fir_file();

    // The Default Drive Letter list: item 0 is none, item i the letter 64 + i.
    void on_default_drive_selected(int item);
    int default_drive_item() const;
    // The Initialise Card button, after the window code has copied the controls in.
    void on_initialise_card();
    // The Start Sector Information button: shows the card's start sector, or that it could not
    // be read; nothing when the card has no ecg.dat.
    void show_start_sector_info();
    // The text that button shows; empty when ecg.dat cannot be opened.
    std::string start_sector_info();

    const std::vector<std::string>& drive_letters() const { return m_drive_letters; }
    int drive_selection() const { return m_drive_selection; }
    void select_drive(int position) { m_drive_selection = position; }

    const std::string& card_drive() const { return m_card_drive; }
    const FirElements& fir_elements() const { return m_fir_elements; }
    bool hide_fir() const { return m_hide_fir; }
    bool lock_patient() const { return m_lock_patient; }
    bool report_success() const { return m_report_success; }
    // Set when the dialog asked the application to close.
    bool close_requested() const { return m_close_requested; }

    std::string m_patient_name;
    std::string m_patient_id;
    int32_t m_fir_state = 0;

  private:
    bool initialise_chosen_card(bool report_success);

    CCFDisk& m_disk;
    std::string m_output_folder;
    std::string m_event_text;
    FirElements m_fir_elements{};
    std::string m_card_drive;
    bool m_close_app_after = false;
    bool m_automatic = true;
    bool m_hide_fir = true;
    bool m_lock_patient = false;
    bool m_report_success = true;
    bool m_close_requested = false;
    std::vector<std::string> m_drive_letters;
    int m_drive_selection = -1;
};
