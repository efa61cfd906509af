// Resource and control ids of the dialog templates (resources/dialogs.rc), shared by the templates
// and the window code. Plain defines, because the resource compiler reads this file too.
#pragma once

// The application icon, of the program file, the main window and the dialogs.
#define IDI_KADO 128

#define IDD_INIT_DIALOG 131
#define IDD_CONDITION_PROGRESS 132
#define IDD_READ_DIALOG 133
#define IDD_READ_PROGRESS 134

#define IDC_PATIENT_NAME 1000
#define IDC_PATIENT_ID 1001
#define IDC_INITIALISE_CARD 1004
#define IDC_PATIENT_NAME_LABEL 1005
#define IDC_PATIENT_ID_LABEL 1006
#define IDC_DRIVE_LETTER_LABEL 1007
#define IDC_LOAD_FIR 1008
#define IDC_READ_ECG 1009
#define IDC_READ_PATIENT 1015
// The labels that no handler needs still carry ids, so that their text can come from the string
// table of the chosen language.
#define IDC_PROGRESS_LABEL 1018
#define IDC_PROGRESS 1019
#define IDC_PLAY_SOUND 1020
#define IDC_DEFAULT_DRIVE_LABEL 1021
#define IDC_DRIVE_LETTER 1022
#define IDC_DEFAULT_DRIVE 1023
#define IDC_START_SECTOR_INFO 1024
#define IDC_RECOVER_START_SECTOR 1025
