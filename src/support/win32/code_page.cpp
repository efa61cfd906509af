#include <windows.h>

#include "support/code_page.h"

std::optional<unsigned> system_ansi_code_page() {
    return GetACP();
}
