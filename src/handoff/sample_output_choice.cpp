#include "handoff/sample_output_choice.h"

#include "extract/edf_output.h"
#include "extract/overview_output.h"
#include "extract/pn12_output.h"
#include "extract/raw_output.h"
#include "handoff/mapped_output.h"

namespace {

std::unique_ptr<SampleOutput> output_of_format(OutputFormat format, const OutputSettings& output,
                                               const ReadSettings& read, const std::string& folder,
                                               const std::string& procedure_id,
                                               const RecordingDetails& details) {
    switch (format) {
        case kFormatArchive:
            return std::make_unique<RawOutput>(output, read.limit_time_points(), folder);
        case kFormatEdf:
            return std::make_unique<EdfOutput>(
                output, read.limit_time_points(), folder,
                EdfIdentity{details.patient_name, details.patient_id, details.recorder_text});
        case kFormatPn12File:
        case kFormatPn12Arch:
            return std::make_unique<Pn12Output>(procedure_id, folder);
        default:
            // Path, cnav and mmf reads feed a running analysis application.
            return std::make_unique<MappedOutput>(read.limit_time_points(), format == kFormatPath,
                                                  card_road_names(output.mmf_base_name));
    }
}

}  // namespace

std::unique_ptr<SampleOutput> choose_sample_output(
    OutputFormat format, const OutputSettings& output, const ReadSettings& read,
    const std::string& folder, const std::string& procedure_id, const RecordingDetails& details) {
    std::unique_ptr<SampleOutput> samples =
        output_of_format(format, output, read, folder, procedure_id, details);
    if (format != kFormatEdf && !output.overview) return samples;
    return std::make_unique<OverviewOutput>(std::move(samples), output, folder, details);
}
