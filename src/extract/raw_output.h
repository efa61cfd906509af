// The raw-file output of an archive read: rawecg1.dat to rawecg3.dat, one sample word per time
// point and channel, at the output resolution. Channels the recording does not have stay empty.
#pragma once

#include <array>
#include <string>
#include <utility>

#include "extract/output_file.h"
#include "extract/sample_output.h"
#include "format/recording_constants.h"

class RawOutput final : public SampleOutput {
  public:
    // limit_time_points: the duration limit in time points (hours x kTimePointsPerHour).
    RawOutput(const OutputSettings& settings, int64_t limit_time_points, std::string folder)
        : m_settings(settings),
          m_second_words(raw_second_words(settings)),
          m_point_words{raw_value_words(SampleScale::ten_bit, settings),
                        raw_value_words(SampleScale::twelve_bit, settings)},
          m_limit(limit_time_points),
          m_folder(std::move(folder)) {}

    bool open() override { return open_raw_outputs(); }
    // Creates (or truncates) the three sample files in the folder.
    bool open_raw_outputs();

    void begin_recording(const RecordingLayout& layout) override;
    void write_calibration(int seconds) override;
    bool below_limit() const override { return m_time_points < m_limit; }
    void write_time_point(std::span<const uint16_t> values, uint16_t marks,
                          SampleScale scale) override;
    void write_time_points(const TimePointBlock& block) override;
    void write_second(const DecodedBlock& block) override;
    void write_gap_second() override;
    int64_t time_points() const override { return m_time_points; }
    bool finish(bool pad) override;
    bool failed() const override;

  private:
    void put(int channel, uint32_t value, uint16_t marks, SampleScale scale) {
        m_files[static_cast<size_t>(channel)].put_u16(
            raw_sample_word(value, marks, scale, m_settings));
    }
    // One word per recording channel for `count` time points.
    void put_all_channels(uint32_t value, int64_t count);

    OutputSettings m_settings;
    RawWordTable m_second_words;
    // Indexed by SampleScale.
    std::array<RawWordTable, 2> m_point_words;
    int64_t m_limit;
    std::string m_folder;
    std::array<OutputFile, 3> m_files;
    int m_channels = 0;
    int64_t m_time_points = 0;
};
