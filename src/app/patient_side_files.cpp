#include "app/patient_side_files.h"

#include <cstdio>
#include <string>

#include "format/card_files.h"
#include "support/file_utils.h"

namespace {

constexpr size_t kPatsummLineChars = 255;
constexpr size_t kCnavopLineChars = 79;

// One line without its line end, cut at max_chars; the rest of an over-long line is skipped, so
// that it never becomes the next line's text.
bool read_line(std::FILE* file, size_t max_chars, std::string& line) {
    line.clear();
    int c = std::fgetc(file);
    if (c == EOF) return false;
    for (; c != EOF && c != '\n'; c = std::fgetc(file))
        if (line.size() < max_chars) line += static_cast<char>(c);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

CardFile open_output_text(const RunRequest& request, const char* name) {
    return CardFile(std::fopen(native_path(join_path(request.m_output_dir, name)).c_str(), "rb"));
}

}  // namespace

bool read_patsumm_lines(RunRequest& request) {
    const CardFile file = open_output_text(request, "patsumm.dat");
    if (!file) return false;
    read_line(file.get(), kPatsummLineChars, request.m_patient_name);
    read_line(file.get(), kPatsummLineChars, request.m_patient_id);
    return true;
}

bool read_cnavop_line(RunRequest& request) {
    const RunMode mode = request.m_mode;
    if (mode != kModeWriteCnav && mode != kModeWriteWestbury && mode != kModeChangePat) return true;
    const CardFile file = open_output_text(request, "cnavop.dat");
    if (!file) return false;
    read_line(file.get(), kCnavopLineChars, request.m_event_text);
    return true;
}
