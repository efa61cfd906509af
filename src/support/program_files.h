// Where the program and its helper tools live: the running program's folder, the platform's
// search path and program-files folder, the registered paths of this program and of the maker's
// report manager, and the binary resources the Windows program carries. The szip installation
// uses them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The full path of the running program file; "" when unknown.
std::string module_path();
// Its folder, without a trailing separator; "" when unknown.
std::string module_folder();

// The first file of that name along the platform's standard search path (PATH; on Windows the
// system's own order), or "".
std::string find_on_search_path(const std::string& name);

// Windows: the ProgramFiles folder of the process environment. Linux: KADO_PROGRAM_FILES, else
// /opt. "" when neither names anything.
std::string program_files_folder();

// This program's registered install path (machine registry), only when it names an existing
// file; else "".
std::string install_path();

// The maker's report manager program: the paths the machine's and the user's registry name, then
// VEDODAD.EXE or VURIRI.EXE beside this program, then its fixed install path; the first existing
// file, else "".
std::string report_manager_path();

// The bytes of resource type "BINARY" with this id in the program file; nothing when the program
// carries no such resource (the Linux program carries none).
std::optional<std::vector<uint8_t>> load_binary_resource(int id);
