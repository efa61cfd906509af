#include "support/ini_section_store.h"

#include <string>
#include <vector>

#include "support/ini_file.h"

namespace {

// The profile calls deliver at most this much of the names list and of each section.
constexpr size_t kProfileBufferSize = 8192;

std::vector<std::string> split_at_nuls(const std::string& list) {
    std::vector<std::string> parts;
    for (size_t at = 0; at < list.size();) {
        size_t end = list.find('\0', at);
        if (end == std::string::npos) end = list.size();
        parts.push_back(list.substr(at, end - at));
        at = end + 1;
    }
    return parts;
}

bool is_white_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

void trim(std::string& value) {
    while (!value.empty() && is_white_space(value.back()))
        value.pop_back();
    size_t begin = 0;
    while (begin < value.size() && is_white_space(value[begin]))
        ++begin;
    value.erase(0, begin);
}

}  // namespace

int32_t IniSectionStore::load(const std::string& path) {
    if (!path.empty()) m_file_path = path;
    m_modified = false;
    m_sections.clear();
    std::vector<std::string> names = split_at_nuls(ini_section_names(path, kProfileBufferSize));
    // There is always a first section, unnamed when the file lists none.
    if (names.empty()) names.emplace_back();
    int32_t count = 0;
    for (std::string& name : names)
        m_sections.push_back(read_section(path, std::move(name), count));
    return count;
}

IniSection IniSectionStore::read_section(const std::string& path, std::string name,
                                         int32_t& count) const {
    const std::string entries = ini_section_entries(path, name, kProfileBufferSize);
    count = static_cast<int32_t>(entries.size());
    IniSection section{std::move(name), {}, {}};
    for (const std::string& entry : split_at_nuls(entries)) {
        const size_t equals = entry.find('=');
        // An entry without an equals sign has no key; its value drops the entry's first byte.
        std::string key = equals == std::string::npos ? std::string() : entry.substr(0, equals);
        std::string value = equals == std::string::npos ? entry.substr(entry.empty() ? 0 : 1)
                                                        : entry.substr(equals + 1);
        if (m_strip_comments)
            if (const size_t semicolon = value.rfind(';'); semicolon != std::string::npos)
                value.resize(semicolon);
        if (m_trim_values) trim(value);
        section.keys.push_back(std::move(key));
        section.values.push_back(std::move(value));
    }
    return section;
}

std::string IniSectionStore::get(const std::string& section, const std::string& key) const {
    for (const IniSection& candidate : m_sections) {
        if (!equal_ignoring_case(candidate.name, section)) continue;
        for (size_t i = 0; i < candidate.keys.size(); ++i)
            if (equal_ignoring_case(candidate.keys[i], key)) return candidate.values[i];
        return {};
    }
    return {};
}
