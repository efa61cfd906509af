#include <windows.h>

#include "support/string_ids.h"
#include "support/string_table.h"
#include "support/win32/wide_text.h"
#include "ui/main_window.h"
#include "ui/win32/dialog_resources.h"

namespace {

constexpr const wchar_t* kFrameClass = L"KadoMainFrame";
// The application icon in the program's resources.
constexpr UINT kExitCommand = 1;

HWND g_main_window = nullptr;

LRESULT CALLBACK frame_procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(w) == kExitCommand) {
                PostMessageW(window, WM_CLOSE, 0, 0);
                return 0;
            }
            break;
        case WM_DESTROY:
            g_main_window = nullptr;
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(window, message, w, l);
}

bool register_frame_class(HINSTANCE instance) {
    WNDCLASSEXW frame{};
    frame.cbSize = sizeof frame;
    frame.lpfnWndProc = frame_procedure;
    frame.hInstance = instance;
    frame.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_KADO));
    frame.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    frame.lpszClassName = kFrameClass;
    return RegisterClassExW(&frame) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// The menu's text follows the chosen language, so the bar is built here rather than taken from a
// template.
HMENU make_menu_bar() {
    HMENU bar = CreateMenu();
    if (bar != nullptr)
        AppendMenuW(bar, MF_STRING, kExitCommand, wide_of_utf8(load_string(kTextMenuExit)).c_str());
    return bar;
}

}  // namespace

bool open_main_window(MainWindowState state) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (g_main_window != nullptr || !register_frame_class(instance)) return false;
    // Created hidden, then shown in the run mode's state: never in its normal state.
    HMENU menu = make_menu_bar();
    g_main_window =
        CreateWindowExW(0, kFrameClass, L"", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, nullptr, menu, instance, nullptr);
    if (g_main_window == nullptr) {
        if (menu != nullptr) DestroyMenu(menu);
        return false;
    }
    SetWindowTextW(g_main_window, wide_of_utf8(load_string(kStringAppTitle)).c_str());
    ShowWindow(g_main_window, state == MainWindowState::kHidden ? SW_HIDE : SW_SHOWMINIMIZED);
    return true;
}

void* main_window_handle() {
    return g_main_window;
}

void close_main_window() {
    if (g_main_window != nullptr) PostMessageW(g_main_window, WM_CLOSE, 0, 0);
}

void run_main_window_loop() {
    if (g_main_window == nullptr) return;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}
