// The overview page of a read: a sample output that passes everything on to the output the read
// writes and keeps, on the way, the few seconds the page draws (the first recorded seconds and
// those around each patient event), then writes overview.html beside the read's files.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "extract/overview_page.h"
#include "extract/recording_summary.h"
#include "extract/sample_output.h"

class OverviewOutput final : public SampleOutput {
  public:
    OverviewOutput(std::unique_ptr<SampleOutput> inner, OutputSettings settings, std::string folder,
                   RecordingDetails details)
        : m_inner(std::move(inner)),
          m_settings(std::move(settings)),
          m_folder(std::move(folder)),
          m_details(std::move(details)) {}

    bool open() override { return m_inner->open(); }
    std::optional<std::span<uint8_t, kEventListSize>> event_list() const override {
        return m_inner->event_list();
    }
    void begin_recording(const RecordingLayout& layout) override;
    void write_calibration(int seconds) override;
    bool below_limit() const override { return m_inner->below_limit(); }
    void write_time_point(std::span<const uint16_t> values, uint16_t marks,
                          SampleScale scale) override;
    void write_second(const DecodedBlock& block) override;
    void write_gap_second() override;
    void patient_event(int32_t seconds) override;
    bool takes_recording(int channels) const override { return m_inner->takes_recording(channels); }
    void unpack_pn12_sector(std::span<const uint8_t, kSectorSize> sector) override;
    int64_t time_points() const override { return m_inner->time_points(); }
    bool finish(bool pad) override;
    bool failed() const override { return m_inner->failed(); }

  private:
    void keep(std::span<const uint16_t> words, bool paced);
    void keep_no_data(int64_t count);
    // A strip of the seconds from `start` on, filled from the seconds still remembered.
    void add_strip(int64_t start, int32_t event_seconds);

    std::unique_ptr<SampleOutput> m_inner;
    OutputSettings m_settings;
    std::string m_folder;
    RecordingDetails m_details;
    OverviewContent m_content;
    bool m_twelve_lead = false;
    int64_t m_time_points = 0;
    // The last seconds, so that a strip can begin before the event that asks for it: one row of
    // words per channel, so that a decoded second goes in as whole runs, and the pace marks.
    std::array<std::vector<uint16_t>, kStoredLeads> m_recent;
    std::vector<uint16_t> m_recent_marks;
    // Where the next time point goes in them: m_time_points modulo their length, kept by counting.
    size_t m_slot = 0;
    // The kept time point at the slot, as a strip stores it.
    std::array<uint16_t, kStoredLeads> recent_words(size_t slot) const;
    // The strips that the current second may fill.
    std::vector<size_t> m_active;
};
