// Reads a test card as the Read dialog does: into the sample output the format asks for.
#pragma once

#include <memory>
#include <string>

#include "card/ccf_disk.h"
#include "extract/ecg_extractor.h"
#include "extract/output_settings.h"
#include "handoff/sample_output_choice.h"

inline bool read_card(CCFDisk& disk, OutputFormat format, const std::string& out,
                      const OutputSettings& settings = {}, const std::string& procedure_id = {},
                      ProgressControl* progress = nullptr) {
    const std::unique_ptr<SampleOutput> samples =
        choose_sample_output(format, settings, disk.m_read_settings, out, procedure_id);
    return extract_ecg(disk, *samples, {format, out, settings.mmf_instance, progress});
}
