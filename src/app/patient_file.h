// Run mode 14 (/setpat=): the patient's name and identifier from an INI file that another
// application wrote, into the configuration record of the card. The main flow calls it.
#pragma once

#include "app/run_request.h"

class CCFDisk;

// Sets m_exit_code: 118 when the file is missing or cannot be loaded, 119 without a PatientName,
// 120 without a PatientId (section "Patient Details"), 102 without a card, 117 with more than one,
// 103 when the record cannot be read or written, 0 when the card holds the new texts.
void apply_patient_file(RunRequest& request, CCFDisk& disk);
