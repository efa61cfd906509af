// Values of the registry: the machine-wide part (HKEY_LOCAL_MACHINE, 32-bit view, where the
// clinic's other programs keep theirs) and the current user's. The szip search and the language
// choice read through it. Linux has no registry: each root has an INI file of its own, the
// machine's named by KADO_REGISTRY (default /etc/kado/registry.ini), the user's
// $XDG_CONFIG_HOME/kado/registry.ini (XDG default ~/.config). Sections are the keys as regedit
// exports them ("[HKEY_LOCAL_MACHINE\SOFTWARE\Vantorel\SZIP]" in the machine's file,
// "[HKEY_CURRENT_USER\...]" in the user's), of "value=data" lines, a 32-bit number written as
// "value=dword:00000007"; a section holds up to 8 KB. Writes fail there.
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
