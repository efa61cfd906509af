#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "support/posix/config_folder.h"
#include "support/profile.h"

// The company key only names the registry branch on Windows; the Linux profile is per program.
void set_profile_company(const std::string&) {}

namespace {

std::vector<std::string> read_lines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

bool is_section_header(const std::string& line) {
    const std::string t = trimmed(line);
    return t.size() >= 2 && t.front() == '[' && t.back() == ']';
}

// Index of the line holding key inside [section], or of the section header (key absent: -2 - i),
// or -1 when the section is absent.
long find_key(const std::vector<std::string>& lines, const std::string& section,
              const std::string& key) {
    bool inside = false;
    long header = -1;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (is_section_header(lines[i])) {
            if (inside) break;
            inside = trimmed(lines[i]) == "[" + section + "]";
            if (inside) header = static_cast<long>(i);
            continue;
        }
        const auto equals = lines[i].find('=');
        if (inside && equals != std::string::npos && trimmed(lines[i].substr(0, equals)) == key)
            return static_cast<long>(i);
    }
    return header < 0 ? -1 : -2 - header;
}

}  // namespace

int32_t profile_get_int(const std::string& section, const std::string& key, int32_t default_value) {
    const std::vector<std::string> lines = read_lines(kado_config_folder() + "/profile.ini");
    const long at = find_key(lines, section, key);
    if (at < 0) return default_value;
    const std::string& line = lines[static_cast<size_t>(at)];
    return static_cast<int32_t>(std::atoi(line.c_str() + line.find('=') + 1));
}

bool profile_write_int(const std::string& section, const std::string& key, int32_t value) {
    const std::string folder = kado_config_folder();
    const std::string parent = folder.substr(0, folder.rfind('/'));
    mkdir(parent.c_str(), 0700);
    mkdir(folder.c_str(), 0700);
    const std::string path = folder + "/profile.ini";
    std::vector<std::string> lines = read_lines(path);
    const std::string entry = key + "=" + std::to_string(value);
    const long at = find_key(lines, section, key);
    if (at >= 0) {
        lines[static_cast<size_t>(at)] = entry;
    } else if (at == -1) {
        lines.push_back("[" + section + "]");
        lines.push_back(entry);
    } else {
        lines.insert(lines.begin() + (-2 - at) + 1, entry);
    }
    std::ofstream out(path, std::ios::trunc);
    for (const std::string& line : lines)
        out << line << '\n';
    out.flush();
    return static_cast<bool>(out);
}
