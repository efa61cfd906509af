#include "support/system_info.h"

#include <chrono>
#include <thread>

bool is_windows_2000() {
    return false;
}

void sleep_milliseconds(uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
