// The platform's profile-file calls, as IniSectionStore reads an INI file through them. Windows
// asks GetPrivateProfileSectionNames and GetPrivateProfileSection; Linux parses the file itself
// and delivers what those calls deliver: one string per entry ("key=value", or the line when it
// has no equals sign), each ended by a NUL, lines trimmed at both ends, blank lines and comment
// lines (first character ';') left out, entries before the first section header in an unnamed
// section that the names list leaves out. Around the equals sign nothing is trimmed, so
// "PatientName = Smith" keeps the blank after its key (Wine trims there, Windows does not).
#pragma once

#include <cstddef>
#include <string>

// The section names of the file, each followed by a NUL, cut to what a buffer of `capacity`
// bytes holds; empty when the file cannot be read or has no section.
std::string ini_section_names(const std::string& path, size_t capacity);

// The entries of the first section of that name (compared without regard to case), each followed
// by a NUL, cut to what a buffer of `capacity` bytes holds; the size is the platform's count.
std::string ini_section_entries(const std::string& path, const std::string& section,
                                size_t capacity);

// Equality without regard to letter case, in the system's ANSI code page on Windows and for
// ASCII letters on Linux.
bool equal_ignoring_case(const std::string& a, const std::string& b);
