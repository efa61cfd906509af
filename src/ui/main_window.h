// The program's main window: created at start-up in the modes that run, never shown normally
// (hidden or minimised by run mode), titled with the application title and carrying the Exit
// menu command. It owns the dialogs and progress windows; its closing ends the program. The Linux
// program has none: every operation does nothing there.
#pragma once

enum class MainWindowState { kHidden, kMinimised };

// Creates the window in the state; false when it cannot be created.
bool open_main_window(MainWindowState state);
// The window as the platform's handle (an HWND on Windows), for owning dialogs; null when none.
void* main_window_handle();
// Posts the close request that ends the program after the running mode has finished.
void close_main_window();
// Handles the window messages until the posted close request has been handled.
void run_main_window_loop();
