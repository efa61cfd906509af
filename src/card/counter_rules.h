// The rules by which the record's three counters and the start sector's recording number (S)
// tell the state of a card. The recorder writes its recording with the record's recording_num and
// sets wav_recording_num to that number when it stores speech; every test below relies on that.
// Card status, extraction, side files and the dialogs ask these instead of comparing numbers.
#pragma once

#include <cstdint>

#include "card/config_record.h"

// The start sector's recording number on a freshly conditioned card.
inline constexpr uint16_t kConditionedStartRecordingNum = 1;
// From this start-sector number on, a card is conditioned afresh instead of counting on, so that
// the 16-bit counters never wrap.
inline constexpr uint16_t kReconditionRecordingNum = 65000;

// A new record: the next recording is 3, so the start sector's 1 reads as nothing recorded, and
// patient data entered now belongs to that next recording.
void set_conditioning_counters(ConfigRecord& record, bool has_patient);

// Initialising prepares the card for the next recording. Without a patient the number is
// advanced once more, so that no patient data belongs to the recording to come.
void count_on_initialise(ConfigRecord& record, bool has_patient);

// Marks the recording S as read: recording_num moves past it. False, and nothing changes, when
// the record already lies past S.
bool count_marked_read(ConfigRecord& record, uint16_t s);

bool is_unread_recording(const ConfigRecord& record, uint16_t s);
bool is_read_recording(const ConfigRecord& record, uint16_t s);
bool is_inconsistent_recording(const ConfigRecord& record, uint16_t s);

// The patient data (texts, cnav.dat) describes recording S, or was entered for the recording the
// card is prepared for.
bool patient_data_belongs(const ConfigRecord& record, uint16_t s);
bool speech_belongs(const ConfigRecord& record, uint16_t s);

// A recording is worth extracting only when it is not older than the patient data and the speech.
bool is_valid_ecg(const ConfigRecord& record, uint16_t s);

bool needs_recondition(uint16_t s);
