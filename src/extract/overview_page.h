// The overview page: one self-contained XHTML file (no scripts, no outside files) with the
// recording's details, its patient events and 10-second ECG strips drawn as inline SVG at
// 25 mm/s and 10 mm/mV on a millimetre grid, laid out for A4 paper.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "extract/recording_summary.h"
#include "format/recording_constants.h"
#include "format/twelve_lead_sector.h"

inline constexpr int kStripSeconds = 10;
inline constexpr int64_t kStripTimePoints = int64_t{kStripSeconds} * kSamplesPerSecond;
// Strips count once per channel; a page of more no longer prints in reasonable time.
inline constexpr int kMaxStrips = 50;

// The channels a strip draws: a 12-lead recording stores eight leads.
inline constexpr int strip_channels(int channels) {
    return channels == 12 ? kStoredLeads : channels;
}

struct OverviewStrip {
    int64_t start = 0;           // time points on the output's time axis
    int32_t event_seconds = -1;  // the patient event it shows; -1 for the opening seconds
    // kStripTimePoints words per channel, then pace flags. The words are 12-bit, 0 where there is
    // no data; a 12-lead recording's are signed 16-bit, kLeadNoData where there is none.
    std::vector<std::array<uint16_t, kStoredLeads>> words;
    std::vector<bool> paced;
};

struct OverviewContent {
    int channels = 0;
    int64_t output_start_seconds = 0;  // seconds since 2000-01-01 of the first time point
    int64_t time_points = 0;
    std::vector<int32_t> events;  // seconds on the output's time axis, as patevent.dat
    std::vector<OverviewStrip> strips;
};

// The page, complete; details give the patient and the recorder.
std::string overview_page(const RecordingDetails& details, const OverviewContent& content);
