#include <windows.h>

#include "support/analysis_window.h"

namespace {

// Long enough for a busy but live window; a hung one is given up at once (SMTO_ABORTIFHUNG).
constexpr UINT kNotifyTimeoutMilliseconds = 10000;

}  // namespace

// FindWindow compares the whole title without regard to letter case. The asynchronous show
// returns at once even when the window's thread is hung.
void minimise_window_titled(const std::string& title) {
    if (HWND window = FindWindowA(nullptr, title.c_str())) ShowWindowAsync(window, SW_MINIMIZE);
}

void send_to_window_titled(const std::string& title, const std::string& registered_message) {
    HWND window = FindWindowA(nullptr, title.c_str());
    if (window == nullptr) return;
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(window, RegisterWindowMessageA(registered_message.c_str()), 0, 0,
                        SMTO_ABORTIFHUNG, kNotifyTimeoutMilliseconds, &ignored);
}
