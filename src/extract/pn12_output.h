// The 12-lead output: one file per stored lead (pn12ecg1.dat to pn12ecg8.dat) and the pacing
// file pn12pac.dat, each behind a header that is reserved at creation and filled in at the end
// with the output's start time and each lead's smallest and largest sample.
#pragma once

#include <array>
#include <string>

#include "extract/output_file.h"
#include "extract/pn12_header.h"
#include "extract/sample_output.h"
#include "format/twelve_lead_sector.h"

class Pn12Output final : public SampleOutput {
  public:
    Pn12Output(std::string procedure_id, std::string folder)
        : m_procedure_id(std::move(procedure_id)), m_folder(std::move(folder)) {}

    bool open() override { return open_pn12_outputs(); }
    // Creates the eight lead files and the pacing file with zeroed headers and resets the
    // per-lead statistics.
    bool open_pn12_outputs();

    void begin_recording(const RecordingLayout& layout) override;
    void write_calibration(int seconds) override;
    // The 12-lead files are not limited by the duration.
    bool below_limit() const override { return true; }
    // A 12-lead read of a recording without 12-lead sectors is refused before any sample, so
    // these two are never given samples of other recordings; the only time points are the gaps
    // of damaged sectors, no data on every lead.
    void write_time_point(std::span<const uint16_t>, uint16_t, SampleScale) override;
    void write_second(const DecodedBlock&) override {}
    void write_gap_second() override;
    bool takes_recording(int channels) const override { return channels == 12; }
    void unpack_pn12_sector(std::span<const uint8_t, kSectorSize> sector) override;
    int64_t time_points() const override { return m_time_points; }
    bool finish(bool pad) override;
    bool failed() const override;

    // The headers' figures, for the tests of the finished files.
    uint16_t smallest(int lead) const { return m_smallest[static_cast<size_t>(lead)]; }
    uint16_t largest(int lead) const { return m_largest[static_cast<size_t>(lead)]; }

  private:
    void put_all_leads(uint16_t word, int64_t count);
    bool write_pn12_ecg_header_data();
    bool write_pn12_pacing_header_data();

    std::string m_procedure_id;
    std::string m_folder;
    HeaderTime m_start_time{};
    std::array<OutputFile, kStoredLeads> m_leads;
    OutputFile m_pacing;
    std::array<uint16_t, kStoredLeads> m_smallest{};
    std::array<uint16_t, kStoredLeads> m_largest{};
    // Time points of the lead files: preamble, gaps and sectors. Pacing indices count on it.
    int64_t m_lead_position = 0;
    int64_t m_time_points = 0;
};
