#include "card/counter_rules.h"

void set_conditioning_counters(ConfigRecord& record, bool has_patient) {
    record.recording_num = 3;
    record.patient_data_num = has_patient ? 3 : 2;
    record.wav_recording_num = 2;
}

void count_on_initialise(ConfigRecord& record, bool has_patient) {
    ++record.recording_num;
    record.patient_data_num = record.recording_num;
    if (!has_patient) ++record.recording_num;
}

bool count_marked_read(ConfigRecord& record, uint16_t s) {
    if (record.recording_num > s) return false;
    ++record.recording_num;
    return true;
}

bool is_unread_recording(const ConfigRecord& record, uint16_t s) {
    return record.recording_num == s;
}

bool is_read_recording(const ConfigRecord& record, uint16_t s) {
    return record.recording_num > s;
}

bool is_inconsistent_recording(const ConfigRecord& record, uint16_t s) {
    return record.recording_num < s;
}

bool patient_data_belongs(const ConfigRecord& record, uint16_t s) {
    const uint16_t p = record.patient_data_num;
    return p == s || (p == record.recording_num && p > s);
}

bool speech_belongs(const ConfigRecord& record, uint16_t s) {
    return record.wav_recording_num == s;
}

bool is_valid_ecg(const ConfigRecord& record, uint16_t s) {
    return s >= record.patient_data_num && s >= record.wav_recording_num;
}

bool needs_recondition(uint16_t s) {
    return s >= kReconditionRecordingNum;
}
