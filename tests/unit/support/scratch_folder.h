// Test helpers for the file utilities: a fresh folder per test, removed with everything in it
// afterwards, and small file writers and readers. Paths use the platform's separator.
#pragma once

#include <string>

#include "support/file_utils.h"

class ScratchFolder {
  public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& path() const { return m_path; }
    std::string operator/(const std::string& name) const { return join_path(m_path, name); }

  private:
    std::string m_path;
};

// Path text written with backslashes, as the recorder's documents write it, in the platform's form.
std::string with_separators(std::string text);

void write_file(const std::string& path, const std::string& bytes);
std::string read_file(const std::string& path);
