// The sample output a card read writes in each output format: the raw files of an archive read,
// the 12-lead files, or the named sections of a running analysis application. The Read dialog's
// read operation chooses with it and hands the result to the extraction.
#pragma once

#include <memory>
#include <string>

#include "card/read_settings.h"
#include "extract/output_settings.h"
#include "extract/recording_summary.h"
#include "extract/sample_output.h"
#include "support/run_mode.h"

// folder receives the files; procedure_id goes into the 12-lead headers, details into the EDF+
// header.
std::unique_ptr<SampleOutput> choose_sample_output(OutputFormat format,
                                                   const OutputSettings& output,
                                                   const ReadSettings& read,
                                                   const std::string& folder,
                                                   const std::string& procedure_id,
                                                   const RecordingDetails& details = {});
