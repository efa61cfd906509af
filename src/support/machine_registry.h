// String values of the machine-wide registry (HKEY_LOCAL_MACHINE, 32-bit view, where the
// clinic's other programs keep theirs). The Linux program keeps no machine values: reads give ""
// and writes fail.
#pragma once

#include <string>

// "" when the key or value is missing or not a string.
std::string read_machine_string(const std::string& key, const std::string& value);
bool write_machine_string(const std::string& key, const std::string& value,
                          const std::string& data);
