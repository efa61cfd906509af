// String values of the registry: the machine-wide part (HKEY_LOCAL_MACHINE, 32-bit view, where
// the clinic's other programs keep theirs) and the current user's. The szip search reads the
// paths of the installed tools through it. Linux has no registry: reads come from the INI file
// that KADO_REGISTRY names, one section per key ("[HKEY_LOCAL_MACHINE\SOFTWARE\Vantorel\SZIP]",
// "[HKEY_CURRENT_USER\...]") of "value=data" lines, a 32-bit number written as regedit exports it
// ("value=dword:00000007"), and writes fail.
#pragma once

#include <cstdint>
#include <string>

enum class RegistryRoot { kLocalMachine, kCurrentUser };

// The value as stored (an expandable string is not expanded); "" when the key or value is
// missing or not a string.
std::string read_registry_string(RegistryRoot root, const std::string& key,
                                 const std::string& value);
bool write_registry_string(RegistryRoot root, const std::string& key, const std::string& value,
                           const std::string& data);

// The value when it is stored as a 32-bit number; the default otherwise (missing, or a string).
int32_t read_registry_dword(RegistryRoot root, const std::string& key, const std::string& value,
                            int32_t default_value);
