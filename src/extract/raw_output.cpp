#include "extract/raw_output.h"

#include <algorithm>

#include "format/recording_constants.h"
#include "support/byte_order.h"
#include "support/file_utils.h"

namespace {

constexpr std::array<const char*, 3> kRawFileNames = {"rawecg1.dat", "rawecg2.dat", "rawecg3.dat"};

}  // namespace

bool RawOutput::open_raw_outputs() {
    static_assert(kRawFileNames.size() == std::tuple_size_v<decltype(m_files)>);
    for (size_t i = 0; i < kRawFileNames.size(); ++i)
        if (!m_files[i].create(join_path(m_folder, kRawFileNames[i]))) return false;
    return true;
}

void RawOutput::begin_recording(const RecordingLayout& layout) {
    m_channels = std::clamp(layout.channels, 0, 3);
}

void RawOutput::put_all_channels(uint32_t value, int64_t count) {
    for (int c = 0; c < m_channels; ++c) {
        const uint16_t word = raw_sample_word(value, 0, SampleScale::twelve_bit, m_settings);
        m_files[static_cast<size_t>(c)].put_repeated_u16(word, count);
    }
    m_time_points += count;
}

void RawOutput::write_calibration(int seconds) {
    for (int64_t cycle = 0; cycle < 2 * static_cast<int64_t>(seconds); ++cycle) {
        put_all_channels(kCalibrationLow, kCalibrationHalfCycle);
        put_all_channels(kCalibrationHigh, kCalibrationHalfCycle);
    }
}

void RawOutput::write_time_point(std::span<const uint16_t> values, uint16_t marks,
                                 SampleScale scale) {
    for (int c = 0; c < m_channels; ++c) {
        const size_t i = static_cast<size_t>(c);
        put(c, i < values.size() ? values[i] : kNoDataValue, marks, scale);
    }
    ++m_time_points;
}

void RawOutput::write_time_points(const TimePointBlock& block) {
    const int count = block.points_within(m_time_points, m_limit);
    const RawWordTable& table = m_point_words[static_cast<size_t>(block.scale)];
    const auto n = static_cast<size_t>(count);
    for (int c = 0; c < m_channels; ++c) {
        uint8_t* at = m_files[static_cast<size_t>(c)].append_u16(n);
        if (at == nullptr) continue;
        // A channel the sector lacks is no data: the marks alone.
        TimePointBlock::Run words = block.marks;
        if (c < block.channels) {
            const TimePointBlock::Run& values = block.values[static_cast<size_t>(c)];
            for (size_t t = 0; t < n; ++t)
                words[t] = static_cast<uint16_t>(table[values[t] & 0xFFFu] | block.marks[t]);
        }
        put_u16le_words(at, std::span(words).first(n));
    }
    m_time_points += count;
}

void RawOutput::write_second(const DecodedBlock& block) {
    if (!below_limit()) return;
    for (int c = 0; c < m_channels; ++c) {
        uint8_t* at = m_files[static_cast<size_t>(c)].append_u16(kSamplesPerBlock);
        if (at == nullptr) continue;
        const BlockSamples& samples = block.channels[static_cast<size_t>(c)];
        // The pacing marks apply to every channel and lie outside the 12 value bits.
        BlockSamples words;
        for (size_t t = 0; t < kSamplesPerBlock; ++t)
            words[t] = static_cast<uint16_t>(m_second_words[samples[t] & 0xFFFu] | block.marks[t]);
        put_u16le_words(at, words);
    }
    m_time_points += kSamplesPerBlock;
}

// Tested against the limit like a decoded second: a pause of days must not run past it.
void RawOutput::write_gap_second() {
    if (below_limit()) put_all_channels(kNoDataValue, kSamplesPerBlock);
}

bool RawOutput::finish(bool pad) {
    if (pad && m_time_points < kShortestOutputTimePoints) {
        // Without a start sector the channel count is unknown; every recording has channel 1.
        m_channels = std::max(m_channels, 1);
        put_all_channels(kNoDataValue, kShortestOutputTimePoints - m_time_points);
    }
    bool good = true;
    for (OutputFile& file : m_files)
        good = file.close() && good;
    return good;
}

bool RawOutput::failed() const {
    return std::any_of(m_files.begin(), m_files.end(),
                       [](const OutputFile& file) { return file.failed(); });
}
