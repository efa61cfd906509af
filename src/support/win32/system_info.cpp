#include <windows.h>

#include "support/system_info.h"

bool is_windows_2000() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
    // Without a manifest, later systems report 6.2 here, which is all this test needs.
    if (!GetVersionExA(&info)) return false;
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    return info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion == 5 &&
           info.dwMinorVersion == 0;
}

void sleep_milliseconds(uint32_t milliseconds) {
    Sleep(milliseconds);
}
