// The CEF road of the memory-mapped hand-off: an unpacked recording folder's raw channel files
// and patient events published through the named sections, one section per channel present.
// The CEF output of run mode 10 calls it with the plain section names.
#pragma once

#include <string>

#include "card/read_settings.h"
#include "handoff/section_layout.h"

// Copies the channels after the skip, up to the record-length limit and never past a section's
// end, in 1 MiB pieces per channel per pass so that the receiver sees all channels advance
// together; the events inside that window go to the event section. Every channel present is
// marked finished at the end, also when the copy fails. False without a message on any failure.
bool write_cef_sections(const std::string& folder, const ReadSettings& settings,
                        const SectionNames& names);
