// What an unpacked recording folder delivers in each run mode instead of a card read: the patient
// files for the patient read modes, the ECG through the named sections for the ECG read mode, and
// the exit code that tells the caller how many channels it received. Start-up calls it on the CEF
// road.
#pragma once

#include <string>

#include "app/run_request.h"
#include "card/read_settings.h"

// Sets request.m_exit_code: the channel code (115, 110, 111; 109 for none) in modes 6, 7 and 9,
// 105 when the ECG output of mode 10 fails, 122 in every mode without a CEF output.
void dispatch_cef_output(RunRequest& request, const ReadSettings& settings,
                         const std::string& folder, int channels);
