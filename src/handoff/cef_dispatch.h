// What an unpacked recording folder delivers in each run mode instead of a card read: the patient
// files for the patient read modes, the ECG through the named sections for the ECG read mode, and
// the exit code that tells the caller how many channels it received. Start-up calls it on the CEF
// road.
#pragma once

#include <string>

#include "card/read_settings.h"
#include "support/run_mode.h"

// The exit code: the channel code (115, 110, 111; 109 for none) in modes 6, 7 and 9, 105 when
// the ECG output of mode 10 fails, 122 in every mode without a CEF output; 108 for a channel count
// outside 0 to 3. output_folder receives the patient files.
int dispatch_cef_output(RunMode mode, OutputFormat format, const std::string& output_folder,
                        const ReadSettings& settings, const std::string& folder, int channels);
