#include <windows.h>

#include <string>

#include "support/trace.h"

void debug_output(const std::string& text) {
    OutputDebugStringA(text.c_str());
}
