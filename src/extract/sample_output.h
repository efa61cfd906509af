// Where a read's samples go: the raw files, the 12-lead files or the memory-mapped channel
// sections. The caller of a read chooses one; the extraction pipeline opens it, drives it with the
// calibration preamble, the time points of uncompressed sectors, the decoded seconds of compressed
// sectors, the gap seconds between segments and the 12-lead sectors, and finishes it at the end.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "extract/decoded_block.h"
#include "extract/patient_events.h"
#include "extract/sample_word.h"
#include "extract/time_point_block.h"
#include "format/sector_types.h"

struct RecordingLayout {
    int channels = 0;
    // Seconds since 2000-01-01 of the output's first time point (the preamble's start).
    int64_t output_start_seconds = 0;
};

class SampleOutput {
  public:
    virtual ~SampleOutput() = default;

    // Creates the output's files or sections; false when any cannot be had. Called once, before
    // any sample.
    virtual bool open() = 0;
    // The list the output's receiver reads patient events from, when it has one.
    virtual std::optional<std::span<uint8_t, kEventListSize>> event_list() const {
        return std::nullopt;
    }
    // Called once, when the first start sector has been applied.
    virtual void begin_recording(const RecordingLayout& layout) = 0;
    // `seconds` of the calibration signal; not limited by the duration.
    virtual void write_calibration(int seconds) = 0;
    // Whether the duration limit still allows another packed group of time points.
    virtual bool below_limit() const = 0;
    // One time point of an uncompressed sector: one value per channel of the sector, kNoDataValue
    // where the sector has no value for a channel of the recording.
    virtual void write_time_point(std::span<const uint16_t> values, uint16_t marks,
                                  SampleScale scale) = 0;
    // The time points of an uncompressed sector, group by group while below the limit. The
    // raw and mapped outputs write them as whole runs; the others take them one by one.
    virtual void write_time_points(const TimePointBlock& block) {
        std::array<uint16_t, kMaxStreamChannels> point{};
        const auto channels = static_cast<size_t>(block.channels);
        for (size_t t = 0; t < static_cast<size_t>(block.count); ++t) {
            if (t % static_cast<size_t>(block.group) == 0 && !below_limit()) return;
            for (size_t c = 0; c < channels; ++c)
                point[c] = block.values[c][t];
            write_time_point(std::span(point).first(channels), block.marks[t], block.scale);
        }
    }
    // A decoded second; written only while below the limit at its start. A channel the block
    // declares absent (all 0) is written as no data.
    virtual void write_second(const DecodedBlock& block) = 0;
    // A second of the pause between two segments.
    virtual void write_gap_second() = 0;
    // A patient event at `seconds` on the output's time axis, as patevent.dat receives it.
    virtual void patient_event(int32_t /*seconds*/) {}
    // Whether the output writes a recording of this many channels: the 12-lead files only
    // 12-lead recordings, the EDF+ file every kind, the others all but 12-lead recordings, whose
    // reads they refuse.
    virtual bool takes_recording(int channels) const { return channels != 12; }
    virtual void unpack_pn12_sector(std::span<const uint8_t, kSectorSize> /*sector*/) {}
    // Time points counted towards the duration limit.
    virtual int64_t time_points() const = 0;
    // Ends the output: pads when asked, fills in headers, closes. False when any write of the
    // output failed.
    virtual bool finish(bool pad) = 0;
    // A write has failed; the read stops as for a file error.
    virtual bool failed() const = 0;
};
