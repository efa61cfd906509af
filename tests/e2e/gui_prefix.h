// A Wine prefix in which programs get real windows: Wine's null display driver
// (HKCU\Software\Wine\Drivers Graphics=null) creates windows and message boxes without a screen.
// The main prefix stays without it, so that its message boxes fail at once and take their safe
// answer. Window tests run kado.exe and the window tools in this prefix by adding its environment
// to the run; in the native build they skip.
#pragma once

#include "harness.h"

// The environment that runs a program in the window prefix (made on first use, beside the main
// prefix, with a server of its own that stays for the test run).
EnvList gui_prefix_env();

// Ends every program still running in the window prefix (a Windows program outlives the killed
// Wine runner that started it) and starts the prefix's server afresh.
void end_gui_prefix_programs();
