// What card storage needs to know about the system it runs on, and a plain wait. Windows 2000's
// card reader drivers kept writes in their cache for a while after the files were closed; on that
// system alone, card storage waits after writing a card before it reports success.
#pragma once

#include <cstdint>

// True only on Windows 2000 (Windows NT 5.0).
bool is_windows_2000();

void sleep_milliseconds(uint32_t milliseconds);
