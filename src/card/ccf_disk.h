// The card storage object: the configuration record as last read or built, the card path, and
// the state that reads keep with the card. The application creates one at start-up and every
// card operation and every read runs on it.
#pragma once

#include <span>
#include <string>

#include "card/condition_progress.h"
#include "card/config_record.h"
#include "card/read_settings.h"
#include "format/crc16.h"
#include "format/recording_time.h"
#include "support/run_mode.h"

// The card search's second service: kinds of drive, by which the Initialise dialog offers drives.
enum DriveKind : int {
    kDriveKindFloppy = 0,  // A: or B:
    kDriveKindFixed = 1,
    kDriveKindNetwork = 2,
    kDriveKindRemovable = 3,
    kDriveKindCdrom = 4,
    kDriveKindOther = 5,  // anything else, or a text that names no drive
};

// The kind of the drive that a path names: a drive text ("E:", "B:\data") or a network path
// that begins with two backslashes (server and share). A: and B: are floppies without asking the
// system, which would spin up the drive.
int drive_kind(const std::string& path);

class CCFDisk {
  public:
    CCFDisk() = default;
    CCFDisk(const CCFDisk&) = delete;
    CCFDisk& operator=(const CCFDisk&) = delete;

    // A drive text such as "E:" or a folder that holds a copy of the card's files.
    void set_card_path(const std::string& path);

    // Reads config.dat into m_config_dat; true when the file could be opened. A short file
    // replaces only the bytes it has; the rest of the record keeps its previous values.
    bool read_config();

    // Creates or replaces config.dat with m_config_dat, exclusively, and flushes it to the medium
    // before closing it. True only when every step succeeded.
    bool write_config();

    // Builds a fresh record for a newly conditioned card and writes it. Texts longer than their
    // fields are cut at the field's width minus one.
    bool new_config_record(const std::string& patient_name, const std::string& patient_id,
                           const std::string& event_text, bool fir_present,
                           const FirElements& fir_elements);

    // With present, only the first 16 of the table's 32 elements go to the card: they replace
    // words 0-15 of the FIR block, words 16-31 keep their values, and the sum covers all 32.
    // Without, the block, its sum and its flag are cleared.
    void set_fir_block(bool present, const FirElements& elements);

    // What the card in m_card_path (a drive text) holds, as a card status code: 0 usable, 114
    // usable with an unread recording, 102 no conditioned card (label_required: the label must
    // read "VNT_CFR"), 103 an invalid file set (in the modes that prepare a card, also any free
    // space left), 108 no start sector that can be read or recovered, 109 the recording is older
    // than its patient data or speech, 113 the user declined to clean the card. With
    // interactive_clean the user is offered to delete folders and read-only files from the root.
    int card_status(bool interactive_clean, bool label_required);
    // Rebuilds a start sector whose checksum is bad from the first data sector, when the user
    // agrees; true when the card now has a good start sector.
    bool recover_start_sector();

    // Prepares the card for the next recording, or conditions it when it needs that and the user
    // agrees; the questions are its own. A folder path is left as it is and counts as success.
    bool initialise_card(const std::string& patient_name, const std::string& patient_id,
                         bool fir_present, const FirElements& fir_elements,
                         const std::string& event_text, bool show_progress);
    // Without questions: conditions a card whose start sector reached the re-conditioning
    // number, and initialises any other.
    bool initialise_or_condition(const std::string& patient_name, const std::string& patient_id,
                                 bool fir_present, const FirElements& fir_elements,
                                 const std::string& event_text, bool show_progress);
    // Counts the record on for the next recording with the new patient data and FIR choice, and
    // resets the side files. ecg.dat is not touched. Every file is rewritten in place.
    bool initialise_record(const std::string& patient_name, const std::string& patient_id,
                           bool fir_present, const FirElements& fir_elements,
                           const std::string& event_text);
    // Erases the card's root, labels it, writes a fresh record and the empty side files and
    // preallocates ecg.dat over the rest. Refuses, before erasing anything, a card whose label
    // can be neither read as "VNT_CFR" nor written.
    bool condition_card(const std::string& patient_name, const std::string& patient_id,
                        bool fir_present, const FirElements& fir_elements,
                        const std::string& event_text, bool show_progress);
    // Deletes the files in the folder; a read-only file or a folder cannot be deleted this way,
    // except the folder "System Volume Information", which goes with its contents.
    bool delete_all_files(const std::string& folder, bool stop_at_first_failure);
    // Fills the card's free space with ecg.dat: an empty start sector of recording 1, then
    // zeros. False when less than one sector is free or any step fails, except that a card that
    // fills up after the first sector simply ends with a shorter file.
    bool preallocate_ecg(bool show_progress);
    // Waits after a complete write of a card's files where the system needs it (Windows 2000).
    void settle_pause();
    // Replaces the patient data of the recording on the card: 0 done, 116 the patient data
    // already belongs to the recording and the change is not confirmed, 108 no start sector (the
    // card is not touched), 105 a write failed.
    int change_patient(const std::string& patient_name, const std::string& patient_id,
                       const std::string& event_text, bool confirmed);

    // Copies the card's files (ecg.dat only as far as the current recording goes) into the
    // destination and marks the recording as read on the card and on the copy. Refuses a
    // destination that is the card folder or lies inside it. False, with nothing marked, when
    // any file could not be copied completely.
    bool copy_all_files(const std::string& destination);
    // Puts the host's cnav.dat from the folder onto the card when the patient data belongs to
    // the next recording, else the empty form; true when the card holds cnav.dat afterwards and
    // every write succeeded.
    bool cnav_to_card(const std::string& host_folder);

    // Marks the recording as read after a successful read and shows the message for a failure.
    void mark_as_read_and_report(bool allow_recondition);

    // What a folder copy of a card holds, as a card status code: 0 usable, 114 usable with an
    // unread recording, 103 an incomplete or foreign file set, 108 no start sector, 109 the
    // record lies behind the recording.
    int folder_status();

    // 115, 110, 111 or 123 for a valid ECG of 1, 2, 3 or 12 channels; 109 when the recording is
    // older than the patient data or the speech, or its format has no channels; 108 without a
    // start sector. Sets m_is_twelve_lead.
    int get_ecg_is_valid();

    // 0 when the recording is now marked as read (or already was, or the card was conditioned
    // afresh at the re-conditioning number), 1 when config.dat is read-only, 2 when marking
    // failed.
    int mark_as_read(bool allow_recondition);

    // The recording length in whole hours, rounded up and one added, from the latest seek point
    // of the event table; -1 when there is none or it lies before the recording start.
    int recording_hours(const RecordingTime& recording_start_time);

    // Exports of the side files into an output folder. Each deletes its target first and tells
    // whether the folder holds the file afterwards: a side file that belongs to an earlier
    // recording, or to none, is absent rather than stale.
    bool copy_patient_wav(const std::string& output_folder);
    bool copy_cnav(const std::string& output_folder);
    bool write_cnavop(const std::string& output_folder);
    bool write_event_list(const std::string& output_folder);
    // Whether the card's speech recording belongs to the recording on the card.
    bool speech_belongs();

    // The card search. Scans the drive letters after C: (and the default drive, whatever its
    // letter) for candidates: drives labelled "VNT_CFR..." and the default drive. A candidate is
    // accepted when accept_all is set, when its root is empty, or when it holds either the card's
    // four files or a "*.LDSC"/"*.LECG" pair, but not both. Network drives and drives without a
    // root are never asked about their label unless they are the default drive. Returns "?" for
    // none, the drive text ("E:") of the one accepted, or of the default drive, else of the
    // lowest letter, and that text followed by ">2" when more than one was accepted. Without
    // no_prompt, more than one card asks message 151 (OK/Cancel): OK scans again, Cancel returns
    // the ">2" text.
    std::string find_card(bool no_prompt, bool accept_all) const;

    ConfigRecord m_config_dat;
    std::string m_card_path = "?";
    bool m_is_twelve_lead = false;
    // Skip, record-length limit and calibration handed over by the command line.
    ReadSettings m_read_settings;
    // Some size rules of the status checks depend on what the run is for.
    RunMode m_run_mode = kModeNone;
    OutputFormat m_output_format = kFormatNone;
    // The run's output folder, where the host's cnav.dat comes from.
    std::string m_host_folder;
    // Preallocation reports here; none without a user interface.
    ConditionProgress* m_condition_progress = nullptr;
    // The wait after a recovered start sector is written, for the card to settle.
    uint32_t m_recovery_pause_ms = 20000;
    const Crc16Table m_crc_table;

  private:
    // The patient part of a record prepared for the next recording: the texts (in visual order
    // for a Hebrew system), the initialising time and the FIR block; the marker cleared.
    void store_prepared_patient(const std::string& patient_name, const std::string& patient_id,
                                const std::string& event_text, bool fir_present,
                                const FirElements& fir_elements);
    // The side files as conditioning and initialising leave them: cnav.dat from the host in the
    // modes that bring one (1 and 5), else the empty form; the empty patient.wav.
    bool reset_card_cnav();
    bool reset_card_wav();
    // The host's cnav.dat from the folder, or the empty form when the folder has none.
    bool put_host_cnav(const std::string& host_folder);
};
