#include "handoff/patient_summary.h"

#include <cstdint>
#include <span>

#include "support/card_file.h"
#include "support/file_utils.h"

namespace {

// The readers are Windows programs reading a text file: CR LF on every platform.
void add_line(std::string& text, const std::string& line) {
    text += line;
    text += "\r\n";
}

}  // namespace

int write_patient_summary(const std::string& output_folder, const RecordingDetails& details) {
    if (output_folder.empty()) return -1;
    std::string text;
    add_line(text, details.patient_name);
    add_line(text, details.patient_id);
    add_line(text, details.recording_start);
    add_line(text, details.recorder_text);
    add_line(text, "1");
    add_line(text, std::to_string(details.recording_format));
    add_line(text, std::to_string(details.recording_length));
    add_line(text, details.date_text_1);
    add_line(text, details.date_text_2);
    const std::string path = join_path(output_folder, kPatientSummaryName);
    // A summary left read-only by an earlier delivery is replaced all the same.
    if (file_exists(path)) set_normal_attributes(path);
    const std::span bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    if (write_card_file(path, bytes)) return 0;
    // The caller reads the summary back: none is better than an earlier read's.
    delete_file(path);
    return -1;
}
