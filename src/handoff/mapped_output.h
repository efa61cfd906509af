// The card road of the memory-mapped hand-off: the extraction pipeline's output for formats 1
// (path), 3 (cnav) and 4 (mmf). Samples go straight into the named channel sections while the
// control block's counts follow them; at the end the channels are padded for the receiver, every
// channel is marked finished (also when the read failed) and the sections are closed.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <utility>

#include "extract/sample_output.h"
#include "format/recording_constants.h"
#include "handoff/section_layout.h"
#include "support/mapped_section.h"

class MappedOutput final : public SampleOutput {
  public:
    // limit_time_points: the duration limit (hours x kTimePointsPerHour). path_padding: the output
    // of format 1, which ends with ten further minutes of zeros for its receiver.
    MappedOutput(int64_t limit_time_points, bool path_padding, SectionNames names)
        : m_limit(limit_time_points), m_path_padding(path_padding), m_names(std::move(names)) {}
    // Marks the channels finished and closes, on every road out of a read.
    ~MappedOutput() override { tear_down(); }
    MappedOutput(const MappedOutput&) = delete;
    MappedOutput& operator=(const MappedOutput&) = delete;

    // Creates the sections, or opens those a receiver made first, and starts every channel at
    // count 0, not finished. When any cannot be had, tells the user the receiver must be
    // restarted and returns false; the sections that exist are still marked finished at the end.
    bool open_mapped_outputs();
    bool open() override { return open_mapped_outputs(); }
    // The "Patient Events" list; present after a successful set-up.
    std::optional<std::span<uint8_t, kEventListSize>> event_list() const override;

    void begin_recording(const RecordingLayout& layout) override;
    void write_calibration(int seconds) override;
    bool below_limit() const override;
    void write_time_point(std::span<const uint16_t> values, uint16_t marks,
                          SampleScale scale) override;
    void write_time_points(const TimePointBlock& block) override;
    void write_second(const DecodedBlock& block) override;
    void write_gap_second() override;
    int64_t time_points() const override { return m_counts[0]; }
    // Pads when asked, then marks finished and closes. Memory cannot fail to take a write.
    bool finish(bool pad) override;
    bool failed() const override { return false; }

  private:
    // Appends words to a channel at its count, never past the end of its section.
    void put(int channel, uint16_t word);
    void put_repeated(int channel, uint16_t word, int64_t count);
    // Stores the counts after the samples they cover.
    void publish();
    void pad_all_channels(int64_t count);
    void tear_down();

    int64_t m_limit;
    bool m_path_padding;
    SectionNames m_names;
    MappedSection m_control;
    std::array<MappedSection, kMappedChannels> m_sections;
    MappedSection m_events;
    // Kept here, not read back from shared memory that the receiver could change.
    std::array<int64_t, kMappedChannels> m_counts{};
    std::array<int64_t, kMappedChannels> m_capacity{};
    // Channels 1 and 2 always carry samples; channel 3 only in 3-channel recordings.
    int m_written_channels = 2;
};
