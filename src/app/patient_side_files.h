// The patient texts that the analysis application leaves in the output folder for the card
// modes: the name and identifier in patsumm.dat, the event text in cnavop.dat.
#pragma once

#include "app/run_request.h"

// Reads the first two lines of patsumm.dat into the name and identifier; false when the file
// cannot be opened.
bool read_patsumm_lines(RunRequest& request);

// In the modes that hand the event text to the card (1, 5 and 12), reads the first line of
// cnavop.dat into it; false when the file cannot be opened there. Other modes leave the text and
// succeed.
bool read_cnavop_line(RunRequest& request);
