// Texts of the dialog windows through the wide-character calls, so that every language shows right
// whatever the system code page: interface texts from the string table (UTF-8), patient texts in
// the system's ANSI code page as card storage keeps them.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

// The caption "<application title> <product version>" (string 156) and the application icon.
void set_dialog_caption_and_icon(HWND window);
// Each control's text from the string table of the chosen language: pairs of control id and
// string id.
void set_control_texts(HWND window, const std::vector<std::pair<int, int>>& texts);
void set_control_utf8_text(HWND window, int control, const std::string& text);
void set_control_system_text(HWND window, int control, const std::string& text);
std::string control_system_text(HWND window, int control);
void show_control(HWND window, int control, bool visible);
void enable_control(HWND window, int control, bool enabled);
