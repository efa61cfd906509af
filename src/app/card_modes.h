// The card modes besides reading: initialising a card (modes 1 to 5), changing the patient of a
// recording (12) and asking whether the card's speech recording belongs to its ECG (13).
#pragma once

#include "app/run_request.h"

class CCFDisk;
class CKadoInitDlg;

void run_initialise_mode(RunRequest& request, CCFDisk& disk, CKadoInitDlg& init_dialog);
void run_change_patient(RunRequest& request, CCFDisk& disk);
void run_speech_probe(RunRequest& request, CCFDisk& disk);
