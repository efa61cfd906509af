// The profile-file calls on Linux: the file parsed the way the Windows calls deliver it.
#include <fstream>
#include <string>
#include <vector>

#include "support/file_utils.h"
#include "support/ini_file.h"

namespace {

struct Section {
    std::string name;
    std::string entries;  // each ended by a NUL
};

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string trimmed(const std::string& line) {
    size_t begin = 0;
    size_t end = line.size();
    while (begin < end && is_blank(line[begin]))
        ++begin;
    while (end > begin && is_blank(line[end - 1]))
        --end;
    return line.substr(begin, end - begin);
}

std::vector<Section> read_sections(const std::string& path) {
    std::ifstream in(native_path(path), std::ios::binary);
    // Entries before the first header belong to a section without name, which the names list
    // leaves out but a look-up of the empty name finds.
    std::vector<Section> sections(1);
    for (std::string raw; std::getline(in, raw);) {
        const std::string line = trimmed(raw);
        if (line.empty() || line[0] == ';') continue;
        if (const size_t close = line.rfind(']'); line[0] == '[' && close != std::string::npos) {
            sections.push_back({line.substr(1, close - 1), {}});
            continue;
        }
        sections.back().entries += line + '\0';
    }
    return sections;
}

// What fits into a buffer of `capacity` bytes that also ends the list with a second NUL.
std::string cut_to(std::string text, size_t capacity) {
    if (capacity < 2) return {};
    if (text.size() > capacity - 2) text.resize(capacity - 2);
    return text;
}

char lower_ascii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string ini_section_names(const std::string& path, size_t capacity) {
    std::string names;
    for (const Section& section : read_sections(path))
        if (!section.name.empty()) names += section.name + '\0';
    return cut_to(names, capacity);
}

std::string ini_section_entries(const std::string& path, const std::string& section,
                                size_t capacity) {
    for (const Section& candidate : read_sections(path))
        if (equal_ignoring_case(candidate.name, section))
            return cut_to(candidate.entries, capacity);
    return {};
}

bool equal_ignoring_case(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower_ascii(a[i]) != lower_ascii(b[i])) return false;
    return true;
}
