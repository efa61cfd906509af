// The patient summary "patsumm.dat" that a read leaves in the output folder: nine text lines with
// the recording's details. Analysis applications read it, and the program itself reads its first
// two lines back as patient name and identifier when it prepares the next card.
#pragma once

#include <string>

#include "extract/recording_summary.h"

inline constexpr char kPatientSummaryName[] = "patsumm.dat";

// Creates or replaces the file, also a read-only one, and commits it to the medium. 0 on success,
// -1 when the file cannot be written; an empty folder text names no folder and fails.
int write_patient_summary(const std::string& output_folder, const RecordingDetails& details);
