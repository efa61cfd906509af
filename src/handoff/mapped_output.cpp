#include "handoff/mapped_output.h"

#include <algorithm>

#include "extract/sample_word.h"
#include "format/recording_constants.h"
#include "support/analysis_window.h"
#include "support/byte_order.h"
#include "support/message_box.h"
#include "support/string_ids.h"
#include "support/string_table.h"
#include "support/trace.h"

namespace {

// Format 1 ends with ten minutes of zeros, but never past the 32 hours of a section.
constexpr int64_t kPathTrailerSamples = 10 * 60 * kSamplesPerSecond;

}  // namespace

namespace {

// A section smaller than its layout is as unusable as a missing one.
bool create_section(MappedSection& section, const std::string& name, uint32_t size, size_t least) {
    if (section.create(name, size, true) && section.size() >= least) return true;
    section.close();
    trace("memory-mapped section \"%s\" cannot be opened\n", name.c_str());
    return false;
}

}  // namespace

bool MappedOutput::open_mapped_outputs() {
    bool complete =
        create_section(m_control, m_names.control, kControlBlockSize, kControlBlockSize);
    for (size_t n = 0; n < m_sections.size(); ++n) {
        complete =
            create_section(m_sections[n], m_names.samples[n], kSampleSectionSize, 2) && complete;
        m_capacity[n] = static_cast<int64_t>(m_sections[n].size() / 2);
    }
    complete =
        create_section(m_events, m_names.events, kEventSectionSize, kEventSectionSize) && complete;
    if (m_control.view() != nullptr) {
        for (int n = 0; n < kMappedChannels; ++n) {
            store_u32le_release(control_record(m_control.view(), n) + kFinishedOffset, 0);
            store_u32le_release(control_record(m_control.view(), n) + kSampleCountOffset, 0);
        }
    }
    if (!complete) {
        const AnalysisWindowAside aside;
        show_message_box(load_string(kStringSectionsMissing), load_string(kStringSeriousError),
                         MessageButtons::kOk, MessageIcon::kStop);
    }
    return complete;
}

std::optional<std::span<uint8_t, kEventListSize>> MappedOutput::event_list() const {
    if (m_events.view() == nullptr) return std::nullopt;
    return std::span<uint8_t, kEventListSize>(m_events.view(), kEventListSize);
}

void MappedOutput::begin_recording(const RecordingLayout& layout) {
    m_written_channels = layout.channels == 3 ? 3 : 2;
}

bool MappedOutput::below_limit() const {
    return m_counts[0] < std::min(m_limit, m_capacity[0]);
}

void MappedOutput::put(int channel, uint16_t word) {
    const auto n = static_cast<size_t>(channel);
    if (m_counts[n] >= m_capacity[n]) return;
    put_u16le(m_sections[n].view() + 2 * static_cast<size_t>(m_counts[n]), word);
    ++m_counts[n];
}

void MappedOutput::put_repeated(int channel, uint16_t word, int64_t count) {
    const auto n = static_cast<size_t>(channel);
    const int64_t room = std::min(count, m_capacity[n] - m_counts[n]);
    if (room <= 0) return;
    uint8_t* at = m_sections[n].view() + 2 * static_cast<size_t>(m_counts[n]);
    for (int64_t i = 0; i < room; ++i, at += 2)
        put_u16le(at, word);
    m_counts[n] += room;
}

void MappedOutput::publish() {
    if (m_control.view() == nullptr) return;
    for (int n = 0; n < kMappedChannels; ++n)
        store_u32le_release(control_record(m_control.view(), n) + kSampleCountOffset,
                            static_cast<uint32_t>(m_counts[static_cast<size_t>(n)]));
}

void MappedOutput::write_calibration(int seconds) {
    const uint16_t low = mapped_sample_word(kCalibrationLow, 0, SampleScale::twelve_bit);
    const uint16_t high = mapped_sample_word(kCalibrationHigh, 0, SampleScale::twelve_bit);
    for (int64_t cycle = 0; cycle < 2 * static_cast<int64_t>(seconds); ++cycle) {
        for (int c = 0; c < m_written_channels; ++c) {
            put_repeated(c, low, kCalibrationHalfCycle);
            put_repeated(c, high, kCalibrationHalfCycle);
        }
    }
    publish();
}

void MappedOutput::write_time_point(std::span<const uint16_t> values, uint16_t marks,
                                    SampleScale scale) {
    for (int c = 0; c < m_written_channels; ++c) {
        const auto i = static_cast<size_t>(c);
        put(c, mapped_sample_word(i < values.size() ? values[i] : kNoDataValue, marks, scale));
    }
    publish();
}

void MappedOutput::write_time_points(const TimePointBlock& block) {
    const int count = block.points_within(m_counts[0], std::min(m_limit, m_capacity[0]));
    if (count == 0) return;
    for (int c = 0; c < m_written_channels; ++c) {
        const auto n = static_cast<size_t>(c);
        const auto room =
            static_cast<size_t>(std::clamp<int64_t>(m_capacity[n] - m_counts[n], 0, count));
        TimePointBlock::Run words = block.marks;
        if (c < block.channels) {
            for (size_t t = 0; t < room; ++t)
                words[t] = mapped_sample_word(block.values[n][t], block.marks[t], block.scale);
        }
        put_u16le_words(m_sections[n].view() + 2 * static_cast<size_t>(m_counts[n]),
                        std::span(words).first(room));
        m_counts[n] += static_cast<int64_t>(room);
    }
    publish();
}

void MappedOutput::write_second(const DecodedBlock& block) {
    if (!below_limit()) return;
    for (int c = 0; c < m_written_channels; ++c) {
        const auto n = static_cast<size_t>(c);
        const int64_t room = std::min<int64_t>(kSamplesPerBlock, m_capacity[n] - m_counts[n]);
        if (room <= 0) continue;
        const BlockSamples& samples = block.channels[n];
        uint8_t* at = m_sections[n].view() + 2 * static_cast<size_t>(m_counts[n]);
        // At full resolution a word is the sample itself (0, no data, for an absent channel)
        // with the marks above its 12 bits.
        BlockSamples words;
        for (size_t t = 0; t < kSamplesPerBlock; ++t)
            words[t] = static_cast<uint16_t>(samples[t] | block.marks[t]);
        put_u16le_words(at, std::span(words).first(static_cast<size_t>(room)));
        m_counts[n] += room;
    }
    publish();
}

void MappedOutput::write_gap_second() {
    if (!below_limit()) return;
    for (int c = 0; c < m_written_channels; ++c)
        put_repeated(c, 0, kSamplesPerBlock);
    publish();
}

// Every section gets the padding at its own count, whatever the recording's channel count.
void MappedOutput::pad_all_channels(int64_t count) {
    if (count <= 0) return;
    for (int c = 0; c < kMappedChannels; ++c)
        put_repeated(c, 0, count);
    publish();
}

bool MappedOutput::finish(bool pad) {
    if (pad) {
        if (m_counts[0] < kShortestOutputTimePoints)
            pad_all_channels(kShortestOutputTimePoints - m_counts[0]);
        if (m_path_padding) {
            const int64_t count = m_counts[0];
            const int64_t end = std::min(count + kPathTrailerSamples, kSampleSectionSamples);
            pad_all_channels(end - count - 1);
        }
    }
    tear_down();
    return true;
}

void MappedOutput::tear_down() {
    if (m_control.view() != nullptr) {
        for (int n = 0; n < kMappedChannels; ++n)
            store_u32le_release(control_record(m_control.view(), n) + kFinishedOffset, 1);
    }
    m_control.close();
    for (MappedSection& section : m_sections)
        section.close();
    m_events.close();
    m_capacity = {};
}
