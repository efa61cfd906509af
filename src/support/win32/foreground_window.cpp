#include <windows.h>

#include "support/foreground_window.h"

ForegroundWindowKeeper::ForegroundWindowKeeper() : m_window(GetForegroundWindow()) {}

ForegroundWindowKeeper::~ForegroundWindowKeeper() {
    if (m_window != nullptr) SetForegroundWindow(static_cast<HWND>(m_window));
}
