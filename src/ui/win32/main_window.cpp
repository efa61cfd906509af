#include "ui/main_window.h"

// Placeholder until the application shell lands.
bool open_main_window(MainWindowState) {
    return true;
}
void* main_window_handle() {
    return nullptr;
}
void close_main_window() {}
void run_main_window_loop() {}
