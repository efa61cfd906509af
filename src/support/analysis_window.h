// Coordination with the analysis application's window (top-level, whole title "Stratus"): moved
// aside before an error or question box of a read, told afterwards that the box has gone. Linux
// has no such window; both operations do nothing there.
#pragma once

void minimise_analysis_window();
void notify_analysis_window();
