// String values of the registry: the machine-wide part (HKEY_LOCAL_MACHINE, 32-bit view, where
// the clinic's other programs keep theirs) and the current user's. The szip search reads the
// paths of the installed tools through it. Linux has no registry: reads come from the INI file
// that KADO_REGISTRY names, one section per key ("[HKEY_LOCAL_MACHINE\SOFTWARE\Vantorel\SZIP]",
// "[HKEY_CURRENT_USER\...]") of "value=data" lines, and writes fail.
#pragma once

#include <string>

enum class RegistryRoot { kLocalMachine, kCurrentUser };

// The value as stored (an expandable string is not expanded); "" when the key or value is
// missing or not a string.
std::string read_registry_string(RegistryRoot root, const std::string& key,
                                 const std::string& value);
bool write_registry_string(RegistryRoot root, const std::string& key, const std::string& value,
                           const std::string& data);
