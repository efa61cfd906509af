// The per-user profile of the program: integer values by section and key. Windows keeps them in
// the registry under HKEY_CURRENT_USER\Software\<company>\KADO\<section>; Linux in the file
// $XDG_CONFIG_HOME/kado/profile.ini (XDG default ~/.config), one [section] of "key=value" lines.
#pragma once

#include <cstdint>
#include <string>

void set_profile_company(const std::string& company);
int32_t profile_get_int(const std::string& section, const std::string& key, int32_t default_value);
bool profile_write_int(const std::string& section, const std::string& key, int32_t value);
