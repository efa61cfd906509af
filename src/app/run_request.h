// What the command line asks for: the run mode, folders, output format and the values later
// steps fill in. m_exit_code is the process exit code.
#pragma once

#include <cstdint>
#include <string>

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

enum OutputFormat : int32_t {
    kFormatNone = 0,
    kFormatPath = 1,
    kFormatArchive = 2,
    kFormatCnav = 3,
    kFormatMmf = 4,
    kFormatPn12File = 5,
    kFormatPn12Arch = 6,
};

inline constexpr size_t kProcedureIdMaxLength = 16;

struct RunRequest {
    RunMode m_mode = kModeNone;
    OutputFormat m_output_format = kFormatNone;
    std::string m_output_dir;
    std::string m_input_dir;
    bool m_fir = false;
    bool m_confirmed = false;
    bool m_read_corrie = false;
    bool m_not_corrie = true;
    std::string m_patient_file;
    std::string m_procedure_id;
    std::string m_patient_name;
    std::string m_patient_id;
    std::string m_event_text;
    int32_t m_exit_code = 0;
};
