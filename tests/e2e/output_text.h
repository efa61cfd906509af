// Text files that the program writes in text mode (patevent.dat) end their lines the platform's
// way: LF from kado, CR LF from kado.exe.
#pragma once

#include <string>

#include "harness.h"

inline std::string platform_text(const std::string& text) {
    if (!under_wine()) return text;
    std::string windows;
    for (const char c : text) {
        if (c == '\n') windows += '\r';
        windows += c;
    }
    return windows;
}
