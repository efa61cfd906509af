// Diagnostic trace lines ("m_exit_code : %i\n", ...). They have no visible effect and never decide
// anything. Windows sends them to the debugger output; both builds also append them to the file
// named by the environment variable KADO_TRACE when it is set, which is how tests read them.
#pragma once

#include <string>

void trace(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// Backend hook: hands one formatted trace line to the platform's debugger output.
void debug_output(const std::string& text);
