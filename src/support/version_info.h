// The version block of a program file and its strings. The dialog captions show the running
// program's product version through it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class VersionInfo {
  public:
    // The running program's block.
    VersionInfo();
    // The block of any program file. Linux program files carry none: every string is "".
    explicit VersionInfo(const std::string& path);

    // The named string of the block's first translation; "" when the block has no such string.
    std::string string_value(const std::string& name) const;
    std::string product_version() const { return string_value("ProductVersion"); }

    // The first language and code page as "%04x%04x", such as "040904b0".
    const std::string& translation() const { return m_translation; }
    uint16_t language() const { return m_language; }
    bool has_translation() const { return m_has_translation; }

  private:
    // Windows only: reads the block of the file.
    void load(const std::wstring& path);

    // Windows: the whole version resource. Linux: unused.
    std::vector<unsigned char> m_data;
    std::string m_translation;
    uint16_t m_language = 0;
    bool m_has_translation = false;
};
