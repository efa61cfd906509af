// The window tests' Wine prefix: its null graphics driver creates real windows without a display,
// so dialogs and message boxes wait for the UI driver. The other end-to-end tests keep a prefix of
// their own without it, where every message box fails at once and takes its safe answer.
#pragma once

// Gives the prefix of WINEPREFIX the null graphics driver and restarts its server for the run.
void make_gui_prefix();
