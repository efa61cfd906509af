// The run modes and output formats that the command line selects. They travel as values to every
// layer that acts by mode or by format; the numbers are those of the command-line contract.
#pragma once

#include <cstdint>

enum RunMode : int32_t {
    kModeNone = 0,
    kModeWriteCnav = 1,
    kModeWritePath = 2,
    kModeWriteStand = 3,
    kModeWriteScan = 4,
    kModeWriteWestbury = 5,
    kModeReadPatCnav = 6,
    kModeReadPatPath = 7,
    kModeReadPatStand = 8,
    kModeReadPatScan = 9,
    kModeReadEcgHide = 10,
    kModeReadEcgStand = 11,
    kModeChangePat = 12,
    kModeWav = 13,
    kModeSetPat = 14,
    kModeReadPatStatus = 15,
};

// Modes 1 to 5 prepare a card for the next recording.
constexpr bool prepares_card(RunMode mode) {
    return mode >= kModeWriteCnav && mode <= kModeWriteWestbury;
}

// Modes 6 to 11 read the card's recording (its patient files or its ECG).
constexpr bool reads_recording(RunMode mode) {
    return mode >= kModeReadPatCnav && mode <= kModeReadEcgStand;
}

enum OutputFormat : int32_t {
    kFormatNone = 0,
    kFormatPath = 1,
    kFormatArchive = 2,
    kFormatCnav = 3,
    kFormatMmf = 4,
    kFormatPn12File = 5,
    kFormatPn12Arch = 6,
    kFormatEdf = 7,
};
