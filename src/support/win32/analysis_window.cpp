#include <windows.h>

#include "support/analysis_window.h"

namespace {

constexpr const char* kAnalysisWindowTitle = "Stratus";
constexpr const char* kClosedMessage = "MSG_VURIRI_CLOSED";

}  // namespace

void minimise_analysis_window() {
    if (HWND window = FindWindowA(nullptr, kAnalysisWindowTitle)) ShowWindow(window, SW_MINIMIZE);
}

void notify_analysis_window() {
    if (HWND window = FindWindowA(nullptr, kAnalysisWindowTitle))
        SendMessageA(window, RegisterWindowMessageA(kClosedMessage), 0, 0);
}
