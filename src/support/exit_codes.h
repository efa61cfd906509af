// The process exit codes: the contract with the analysis application that starts the program.
// Card storage reports its outcomes with codes from the same table, which the main flow passes on
// unchanged. Mode 13 alone also exits with a drive letter's character code (65 to 90).
#pragma once

#include <array>
#include <cstdint>

enum ExitCode : int32_t {
    kExitSuccess = 0,
    kExitBadCommandLine = 100,
    kExitNoOutputFolder = 101,
    kExitNoCard = 102,
    kExitNotCompleted = 103,
    kExitInitialiseFailed = 104,
    kExitWriteFailed = 105,
    kExitPatientDataFailed = 106,
    kExitEcgOutputFailed = 108,
    kExitNoValidEcg = 109,
    kExitTwoChannels = 110,
    kExitThreeChannels = 111,
    kExitNoInputFolder = 112,
    kExitCleaningDeclined = 113,
    kExitUnread = 114,
    kExitOneChannel = 115,
    kExitPatientAlreadyAttached = 116,
    kExitTwoCards = 117,
    kExitNoPatientFile = 118,
    kExitNoPatientName = 119,
    kExitNoPatientId = 120,
    kExitCefUnpackFailed = 121,
    kExitNoCefOutput = 122,
    kExitTwelveLeads = 123,
    kExitNoLoader = 124,
    kExitNoLoaderSource = 125,
};

struct ExitCodeInfo {
    ExitCode code;
    const char* name;
    const char* meaning;
};

inline constexpr std::array<ExitCodeInfo, 26> kExitCodes{{
    {kExitSuccess, "success", "the mode did what was asked"},
    {kExitBadCommandLine, "bad command line",
     "the command line was rejected, or a loader source was found in a mode without a loader"},
    {kExitNoOutputFolder, "no output folder", "the output folder does not exist"},
    {kExitNoCard, "no card", "no conditioned card was found"},
    {kExitNotCompleted, "not completed",
     "card storage could not complete the operation, or the card's file set is invalid"},
    {kExitInitialiseFailed, "initialise failed", "initialising the card did not succeed"},
    {kExitWriteFailed, "write failed", "writing the configuration record or the CEF output failed"},
    {kExitPatientDataFailed, "patient data failed",
     "patsumm.dat cannot be opened, or reading the patient data failed"},
    {kExitEcgOutputFailed, "ECG output failed",
     "the ECG output failed, there is no start sector, or a channel count is out of range"},
    {kExitNoValidEcg, "no valid ECG", "the card holds no valid ECG for its patient data"},
    {kExitTwoChannels, "two channels", "a valid recording of 2 channels"},
    {kExitThreeChannels, "three channels", "a valid recording of 3 channels"},
    {kExitNoInputFolder, "no input folder", "the input folder does not exist"},
    {kExitCleaningDeclined, "cleaning declined", "the user declined to clean the card"},
    {kExitUnread, "unread recording", "the card is usable and holds an unread recording"},
    {kExitOneChannel, "one channel", "a valid recording of 1 channel"},
    {kExitPatientAlreadyAttached, "patient already attached",
     "the patient data already belongs to the recording and the change was not confirmed"},
    {kExitTwoCards, "two cards", "more than one card was found and none was chosen"},
    {kExitNoPatientFile, "no patient file",
     "the /setpat= file does not exist or cannot be read as an INI file"},
    {kExitNoPatientName, "no patient name", "the /setpat= file has no PatientName"},
    {kExitNoPatientId, "no patient id", "the /setpat= file has no PatientId"},
    {kExitCefUnpackFailed, "CEF unpack failed", "unpacking the CEF input failed"},
    {kExitNoCefOutput, "no CEF output", "CEF input in a mode without CEF output"},
    {kExitTwelveLeads, "twelve leads", "a valid recording of 12 channels"},
    {kExitNoLoader, "no loader", "the loader program was not found"},
    {kExitNoLoaderSource, "no loader source", "the input folder holds no .LDSC file"},
}};

// The code that reports a valid recording of this many channels; kExitNoValidEcg for a count
// no recording has.
constexpr ExitCode channel_exit_code(int channels) {
    switch (channels) {
        case 1:
            return kExitOneChannel;
        case 2:
            return kExitTwoChannels;
        case 3:
            return kExitThreeChannels;
        case 12:
            return kExitTwelveLeads;
        default:
            return kExitNoValidEcg;
    }
}
