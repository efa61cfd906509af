// What the command line asks for: the run mode, folders, output format and the values later
// steps fill in. m_exit_code is the process exit code.
#pragma once

#include <cstdint>
#include <string>

#include "support/run_mode.h"

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
