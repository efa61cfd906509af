#include <windows.h>

#include "support/process_args.h"

std::string command_line_text(int, char**) {
    // Skip the program name the way the system's own start-up code does: a quoted name ends at
    // the next quote, an unquoted one at the first blank or tab.
    const char* p = GetCommandLineA();
    if (*p == '"') {
        ++p;
        while (*p != '\0' && *p != '"')
            ++p;
        if (*p == '"') ++p;
    } else {
        while (*p != '\0' && *p != ' ' && *p != '\t')
            ++p;
    }
    while (*p == ' ' || *p == '\t')
        ++p;
    return p;
}
