#include "ui/main_window.h"

// A console program has no window to host, hide or close.
bool open_main_window(MainWindowState) {
    return true;
}
void* main_window_handle() {
    return nullptr;
}
void close_main_window() {}
void run_main_window_loop() {}
