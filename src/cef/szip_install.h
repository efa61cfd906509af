// Where the szip tool is looked for and how the program installs the copy it carries. Start-up
// installs it once; every archive read looks it up again with find_szip.
#pragma once

#include <string>

inline constexpr int kSzipResource = 160;
inline constexpr int kSzipReadmeResource = 161;

// The full path of an existing szip program, or "": beside the running program first, then the
// installed copy the machine registry names, then along the platform's search path, then beside
// the maker's report manager, then in this program's registered install folder. A candidate
// whose folder is empty is skipped, so the root of the current drive is never searched.
std::string find_szip();

// True when the tool was found or has been written: into the program-files folder's
// Vantorel/Common when that folder can be made, else beside the program. A program that carries
// no tool writes and makes nothing.
bool install_szip(int tool_id, int readme_id);

// Writes the carried tool (and its read-me when carried) into the folder unless a tool is found
// already; false when the program carries no tool or it cannot be written.
bool write_szip_files(const std::string& folder, int tool_id, int readme_id);
