// Preparing a card for a recording: the entry operation that decides between initialising and
// conditioning and asks the user where the decision destroys data, conditioning itself, and the
// deletion of the card's files that conditioning starts with. The Initialise dialog, the main
// flow and marking as read call these.
#include <cstdint>
#include <cstdio>
#include <optional>

#include "card/ccf_disk.h"
#include "card/counter_rules.h"
#include "card/file_set.h"
#include "format/start_sector_reader.h"
#include "support/drives.h"
#include "support/exit_codes.h"
#include "support/file_finder.h"
#include "support/file_utils.h"
#include "support/messages.h"
#include "support/string_ids.h"
#include "support/system_info.h"
#include "support/trace.h"

namespace {

// Cards up to this size are Pulsenote cards; a larger one is more likely a user's own medium.
constexpr uint64_t kLargestCardMegabytes = 1024;
constexpr uint32_t kSettlePauseMs = 20000;

std::string root_of(const std::string& card_path) {
    return join_path(card_path, "");
}

// The label is checked before anything is erased: a card erased and then left without its
// label would no longer be found as a card.
bool label_can_be_made(const std::string& card_path) {
    const std::string root = root_of(card_path);
    if (card_path.size() >= 2 && card_path[1] == ':' && volume_label(card_path[0]) == kCardLabel)
        return true;
    if (can_set_volume_label(root)) return true;
    trace("CCFDisk::condition_card the volume label cannot be written\n");
    const std::string commands = volume_label_commands(root, kCardLabel);
    if (!commands.empty())
        std::fprintf(stderr,
                     "The card's label cannot be written while it is mounted. Label it "
                     "with:\n%s",
                     commands.c_str());
    return false;
}

}  // namespace

bool CCFDisk::initialise_card(const std::string& patient_name, const std::string& patient_id,
                              bool fir_present, const FirElements& fir_elements,
                              const std::string& event_text, bool show_progress) {
    if (is_folder_copy_path(m_card_path)) return true;
    switch (card_status(true, true)) {
        case kExitUnread:
            if (show_string(kStringUnreadOnInitialise, MessageButtons::kYesNo,
                            MessageIcon::kQuestion) != MessageAnswer::kYes)
                return false;
            break;
        case kExitSuccess:
        case kExitNoValidEcg:
            break;
        case kExitCleaningDeclined:
            return false;
        default: {
            if (m_run_mode == kModeReadEcgHide) return false;
            const uint64_t megabytes = total_size64(root_of(m_card_path)) / 1048576;
            const bool small = megabytes <= kLargestCardMegabytes;
            if (show_string_with_number(small ? kStringConditionCard : kStringConditionForeignCard,
                                        static_cast<int64_t>(megabytes), MessageButtons::kYesNo,
                                        small ? MessageIcon::kQuestion
                                              : MessageIcon::kExclamation) != MessageAnswer::kYes)
                return false;
            return condition_card(patient_name, patient_id, fir_present, fir_elements, event_text,
                                  show_progress);
        }
    }
    return initialise_or_condition(patient_name, patient_id, fir_present, fir_elements, event_text,
                                   show_progress);
}

bool CCFDisk::initialise_or_condition(const std::string& patient_name,
                                      const std::string& patient_id, bool fir_present,
                                      const FirElements& fir_elements,
                                      const std::string& event_text, bool show_progress) {
    // The counters are counted on from the card's own record; without one there is nothing to
    // count on from.
    if (!read_config()) return false;
    Sector sector;
    if (!read_first_start_sector(m_crc_table, m_card_path, sector).found) return false;
    if (needs_recondition(sector_recording_num(sector)))
        return condition_card(patient_name, patient_id, fir_present, fir_elements, event_text,
                              show_progress);
    return initialise_record(patient_name, patient_id, fir_present, fir_elements, event_text);
}

bool CCFDisk::condition_card(const std::string& patient_name, const std::string& patient_id,
                             bool fir_present, const FirElements& fir_elements,
                             const std::string& event_text, bool show_progress) {
    trace("\nCCFDisk::condition_card\n");
    const std::string root = root_of(m_card_path);
    if (!label_can_be_made(m_card_path)) return false;
    if (!delete_all_files(root, true)) return false;
    if (!set_volume_label(root, kCardLabel)) return false;
    if (!new_config_record(patient_name, patient_id, event_text, fir_present, fir_elements))
        return false;
    if (!reset_card_cnav() || !reset_card_wav()) return false;
    return preallocate_ecg(show_progress);
}

bool CCFDisk::delete_all_files(const std::string& folder, bool stop_at_first_failure) {
    FileFinder finder(join_path(folder, "*.*"), kFindAll);
    if (finder.failed()) return false;
    for (; !finder.done(); finder.next()) {
        bool deleted = false;
        if (finder.is_folder())
            deleted = equal_ignoring_case(finder.name(), kSystemVolumeInformation) &&
                      delete_tree(finder.path(), true, true);
        else
            deleted = (finder.attributes() & kAttributeReadOnly) == 0 && delete_file(finder.path());
        if (!deleted && stop_at_first_failure) return false;
    }
    return true;
}

void CCFDisk::settle_pause() {
    if (is_windows_2000()) sleep_milliseconds(kSettlePauseMs);
}
