// The run modes that work on a card or on a folder copy of one: finds the card, checks that it is
// fit for the mode, and drives the dialogs' logic or card storage, leaving the outcome in the
// request's exit code. Start-up calls it when the input is not a CEF archive.
#pragma once

#include "app/run_request.h"

class CCFDisk;
class CKadoInitDlg;
class CKadoReadDlg;
struct OutputSettings;

struct CardDialogs {
    CKadoReadDlg& read;
    CKadoInitDlg& init;
};

// The output settings name the terminator event and give the duration a loader is handed.
void run_main_flow(RunRequest& request, CCFDisk& disk, const CardDialogs& dialogs,
                   const OutputSettings& output);
