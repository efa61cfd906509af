// All sections of an INI file in memory, looked up by section and key without regard to case.
// Run mode 14 reads the patient's name and identifier through it from the file that /setpat=
// names. The store reads through the platform's profile-file calls (support/ini_file.h), so the
// file's syntax is the platform's; it never writes the file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct IniSection {
    std::string name;
    std::vector<std::string> keys;
    std::vector<std::string> values;  // values[i] belongs to keys[i]
};

class IniSectionStore {
  public:
    // Options of the next load: cut each value before its last semicolon; remove white space at
    // both ends of each value.
    void set_strip_comments(bool strip) { m_strip_comments = strip; }
    void set_trim_values(bool trim) { m_trim_values = trim; }

    // Fills the store from the file. Returns the character count that the platform delivered for
    // the last section read; callers take 0 as failure, so a file whose last section has no
    // entries fails even when an earlier section holds the data.
    int32_t load(const std::string& path);

    // The value of the first matching key of the first matching section; empty when either is
    // absent.
    std::string get(const std::string& section, const std::string& key) const;

    const std::vector<IniSection>& sections() const { return m_sections; }
    const std::string& file_path() const { return m_file_path; }
    bool modified() const { return m_modified; }

  private:
    IniSection read_section(const std::string& path, std::string name, int32_t& count) const;

    bool m_strip_comments = false;
    bool m_trim_values = false;
    bool m_modified = false;
    std::string m_file_path;
    std::vector<IniSection> m_sections;
};
