#include "ui/init_dialog.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "card/ccf_disk.h"
#include "card/default_drive.h"
#include "card/drive_text.h"
#include "format/card_files.h"
#include "format/start_sector.h"
#include "format/start_sector_reader.h"
#include "support/analysis_window.h"
#include "support/code_page.h"
#include "support/drives.h"
#include "support/file_utils.h"
#include "support/messages.h"
#include "support/string_ids.h"
#include "support/string_table.h"

namespace {

constexpr char kNoDrive = '?';
// Cards larger than this are not offered: a recorder card is never that big, a hard disk is.
constexpr int32_t kLargestCandidateBytes = 400 * 1048576;
constexpr size_t kFirLineBuffer = 256;

char upper_first(const std::string& drive) {
    return drive.empty() || drive == kNoCardDrive
               ? '\0'
               : static_cast<char>(std::toupper(static_cast<unsigned char>(drive[0])));
}

// As the C library's atoi reads a line, saturating where atoi's result is undefined; the
// saturated values keep the low 8 bits that the 32-bit atoi of either platform gives.
int atoi_saturating(const char* text) {
    const long long value = std::strtoll(text, nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

std::string format_start_sector(const StartSector& s) {
    char text[1024];
    std::snprintf(
        text, sizeof text,
        "Unscrambled Sector Information\n\nsector_format_num:\t\t%d\nrecording_num:\t\t%d\n"
        "sector_crc:\t\t%xH\nrecording_start_type:\t\t%d\nrecording_start_time[0]:\t%d\n"
        "recording_start_time[1]:\t%d\nrecording_start_time[2]:\t%d\n"
        "recording_start_time[3]:\t%d\nrecording_start_time[4]:\t%d\n"
        "recording_start_time[5]:\t%d\nrecording_exp_length[0]:\t%d\n"
        "recording_exp_length[1]:\t%d\nrecording_exp_length[2]:\t%d\nrecording_format:\t\t%d\n"
        "recorder_sw_ver:\t\t%xH\nrecorder_serial_no:\t\t%s\nrecording_flags:\t\t%xH\n"
        "pacing_threshold:\t\t%d\nrecording_length:\t\t%d",
        s.sector_format_num, s.recording_num, s.sector_crc, s.recording_start_type,
        s.recording_start_time[0], s.recording_start_time[1], s.recording_start_time[2],
        s.recording_start_time[3], s.recording_start_time[4], s.recording_start_time[5],
        s.recording_exp_length[0], s.recording_exp_length[1], s.recording_exp_length[2],
        s.recording_format, s.recorder_sw_ver, recorder_serial_text(s).c_str(), s.recording_flags,
        s.pacing_threshold, s.recording_length);
    return text;
}

}  // namespace

void CKadoInitDlg::open() {
    fill_drive_letters(upper_first(m_card_drive));
}

bool CKadoInitDlg::is_candidate_drive(char letter) const {
    if (letter == g_default_drive) return true;
    if (letter == 'C') return false;
    const std::string root = drive_root(letter);
    const int kind = drive_kind(root);
    if (kind != kDriveKindRemovable && kind != kDriveKindFixed) return false;
    if (volume_label(letter) == "?") return false;
    const int32_t size = total_size(root);
    return size > 0 && size <= kLargestCandidateBytes;
}

void CKadoInitDlg::fill_drive_letters(char letter) {
    m_drive_letters.clear();
    m_drive_selection = 0;
    for (char candidate = 'A'; candidate <= 'Z'; ++candidate) {
        if (!is_candidate_drive(candidate)) continue;
        if (candidate == letter) m_drive_selection = static_cast<int>(m_drive_letters.size());
        m_drive_letters.emplace_back(1, candidate);
    }
    if (m_drive_letters.empty()) m_drive_selection = -1;
}

int CKadoInitDlg::default_drive_item() const {
    return g_default_drive >= 'A' && g_default_drive <= 'Z' ? g_default_drive - 64 : 0;
}

void CKadoInitDlg::on_default_drive_selected(int item) {
    g_default_drive = item >= 1 && item <= 26 ? static_cast<char>(64 + item) : kNoDrive;
    m_card_drive = m_disk.find_card(true, false);
    fill_drive_letters(g_default_drive != kNoDrive ? g_default_drive : upper_first(m_card_drive));
}

void CKadoInitDlg::on_initialise_card() {
    initialise_from_dialog(m_report_success);
    if (has_two_cards_marker(m_disk.find_card(true, true)))
        m_card_drive = m_card_drive.substr(0, 2) + ">2";
    fill_drive_letters(upper_first(m_card_drive));
}

int CKadoInitDlg::load_fir_file() {
    CardFile file(std::fopen(native_path(join_path(m_output_folder, "fir.dat")).c_str(), "r"));
    if (!file) return -1;
    // A missing line repeats the line before, as the files the analysis applications write have
    // always been read; before the first line there is nothing, which reads as 0.
    std::string line;
    char buffer[kFirLineBuffer];
    for (uint16_t& element : m_fir_elements) {
        if (std::fgets(buffer, sizeof buffer, file.get()) != nullptr) {
            line = buffer;
            std::erase(line, '\n');
        }
        element = static_cast<uint16_t>(atoi_saturating(line.c_str()) & 0xFF);
    }
    return 0;
}

bool CKadoInitDlg::initialise_from_dialog(bool report_success) {
    bool fir_missing = false;
    if (m_fir_state != 0) fir_missing = load_fir_file() == -1;
    if (!m_automatic && m_drive_selection >= 0 &&
        m_drive_selection < static_cast<int>(m_drive_letters.size())) {
        const std::string& letter = m_drive_letters[m_drive_selection];
        m_card_drive = letter + (has_two_cards_marker(m_card_drive) ? ":>2" : ":");
    }
    if (m_card_drive.empty() || m_card_drive == "?" || m_card_drive == " ") {
        if (!m_automatic)
            show_string(kStringEnterDriveLetter, MessageButtons::kOk, MessageIcon::kStop);
        return false;
    }
    if (fir_missing) {
        if (!m_automatic)
            show_string(kStringFirFileMissing, MessageButtons::kOk, MessageIcon::kStop);
        return false;
    }
    const bool result = initialise_chosen_card(report_success);
    if (m_automatic) return result;
    if (result) {
        minimise_analysis_window();
        if (report_success)
            show_string(kStringCardInitialised, MessageButtons::kOk, MessageIcon::kInformation);
        if (m_close_app_after) m_close_requested = true;
    } else {
        show_string(kStringInitialiseError, MessageButtons::kOk, MessageIcon::kStop);
    }
    return result;
}

// The card of m_card_drive, after the warning about a second card and the test that its drive
// is there.
bool CKadoInitDlg::initialise_chosen_card(bool report_success) {
    m_disk.set_card_path(m_card_drive.substr(0, 2));
    if (has_two_cards_marker(m_card_drive)) {
        if (show_string_replacing(kStringTwoCardsWarning, "%", m_card_drive.substr(0, 1),
                                  MessageButtons::kOkCancel) == MessageAnswer::kCancel)
            return false;
    }
    if (!folder_exists(drive_root(m_card_drive[0]))) {
        show_string(kStringCardNotFound);
        return false;
    }
    return m_disk.initialise_card(m_patient_name, m_patient_id, m_fir_state != 0, m_fir_elements,
                                  m_event_text, report_success);
}

void CKadoInitDlg::show_start_sector_info() {
    const std::string text = start_sector_info();
    if (!text.empty())
        show_message_box(utf8_of_system_text(text), load_string(kStringAppTitle),
                         MessageButtons::kOk, MessageIcon::kNone);
}

std::string CKadoInitDlg::start_sector_info() {
    m_disk.set_card_path(m_card_drive);
    if (!open_card_file_for_reading(m_card_drive, "ecg.dat")) return {};
    Sector sector;
    if (!read_first_start_sector(m_disk.m_crc_table, m_card_drive, sector).found)
        return "Could't read first ECG sector from drive " + m_card_drive;
    return format_start_sector(decode_start_sector(sector));
}
