// The Linux program's own folder of settings: $XDG_CONFIG_HOME/kado, else ~/.config/kado. The
// profile, the user's registry file and the default drive map live there.
#pragma once

#include <cstdlib>
#include <string>

inline std::string kado_config_folder() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && *xdg != '\0') return std::string(xdg) + "/kado";
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.config/kado";
}
