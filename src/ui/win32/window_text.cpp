#include "ui/win32/window_text.h"

#include "support/string_ids.h"
#include "support/string_table.h"
#include "support/text_format.h"
#include "support/version_info.h"
#include "support/win32/wide_text.h"
#include "ui/win32/dialog_resources.h"

void set_dialog_caption_and_icon(HWND window) {
    const std::string caption =
        format_resource(kStringAppTitleVersion, VersionInfo().product_version().c_str());
    SetWindowTextW(window, wide_of_utf8(caption).c_str());
    // The icon belongs to the application shell; without it the windows keep the default one.
    if (const HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_KADO))) {
        SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
}

void set_control_texts(HWND window, const std::vector<std::pair<int, int>>& texts) {
    for (const auto& [control, string_id] : texts)
        set_control_utf8_text(window, control, load_string(string_id));
}

void set_control_utf8_text(HWND window, int control, const std::string& text) {
    SetDlgItemTextW(window, control, wide_of_utf8(text).c_str());
}

void set_control_system_text(HWND window, int control, const std::string& text) {
    SetDlgItemTextW(window, control, wide_of_system_text(text).c_str());
}

std::string control_system_text(HWND window, int control) {
    const HWND item = GetDlgItem(window, control);
    std::wstring wide(static_cast<size_t>(GetWindowTextLengthW(item)) + 1, L'\0');
    wide.resize(
        static_cast<size_t>(GetWindowTextW(item, wide.data(), static_cast<int>(wide.size()))));
    return system_text_of_wide(wide);
}

void show_control(HWND window, int control, bool visible) {
    ShowWindow(GetDlgItem(window, control), visible ? SW_SHOW : SW_HIDE);
}

void enable_control(HWND window, int control, bool enabled) {
    EnableWindow(GetDlgItem(window, control), enabled ? TRUE : FALSE);
}
