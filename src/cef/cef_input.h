// Which input takes the CEF road: a folder holding an unpacked recording, a CEF archive in the
// input folder, or a CEF archive named directly. Start-up asks before it chooses the main flow,
// and unpacks an archive into a private temporary folder with unpack_cef_input.
#pragma once

#include <string>

#include "support/named_event.h"
#include "support/run_mode.h"

// The folder or archive to read, with its channel count; "" (channels 0) when the input takes
// the main flow. In a folder without an unpacked recording, the archives larger than a header are
// tried in name order without regard to case (as NTFS lists them), so both programs pick alike.
std::string locate_cef_input(const std::string& input, int& channels);

// A new private temporary folder holding what the mode needs from the archive (the whole ECG set
// in mode 10, the patient files, events and cnav files otherwise); the caller removes it. "" after
// the failure was shown (160 to 163); a run ended by the terminator event shows nothing.
std::string unpack_cef_input(RunMode mode, const std::string& archive,
                             const NamedEvent* terminator);
