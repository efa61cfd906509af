#include "extract/edf_output.h"

#include <algorithm>
#include <cstdio>

#include "extract/edf_header.h"
#include "support/byte_order.h"
#include "support/file_utils.h"
#include "support/trace.h"

namespace {

// The recorder's 12-bit scale: 0 is no data, the calibration's 410 steps are 1 mV around 2048.
constexpr int kDigitalMax = 4095;
constexpr double kBaseline = 2048;
constexpr double kStepsPerMillivolt = kCalibrationHigh - kCalibrationLow;
constexpr const char* kPaceText = "Pace";
constexpr const char* kEventText = "Patient event";
constexpr const char* kCalibrationText = "Calibration";
constexpr size_t kMostPendingPaces = 4096;

// One TAL: "+onset[\x15duration]\x14text\x14\0"; false, writing nothing, when it does not fit.
bool append_tal(std::array<uint8_t, kEdfAnnotationBytes>& area, size_t& used, int64_t onset,
                int duration_seconds, const char* text) {
    // A paced beat a second must not cost an allocation: the onset fits a short string.
    const std::string onset_text = edf_onset_text(onset);
    std::array<char, 64> tal{};
    const int length =
        duration_seconds > 0
            ? std::snprintf(tal.data(), tal.size(), "%s\x15%d\x14%s\x14", onset_text.c_str(),
                            duration_seconds, text)
            : std::snprintf(tal.data(), tal.size(), "%s\x14%s\x14", onset_text.c_str(), text);
    // The closing zero byte belongs to the TAL.
    const size_t size = static_cast<size_t>(length) + 1;
    if (length < 0 || size > tal.size() || used + size > area.size()) return false;
    std::copy_n(tal.begin(), size, area.begin() + static_cast<std::ptrdiff_t>(used));
    used += size;
    return true;
}

}  // namespace

bool EdfOutput::open() {
    return m_file.create(join_path(m_folder, "recording.edf"));
}

void EdfOutput::reserve_header(int channels) {
    if (m_header_reserved) return;
    m_twelve_lead = channels == 12;
    m_signals = m_twelve_lead ? kStoredLeads : std::clamp(channels, 1, 3);
    m_no_data = m_twelve_lead ? kLeadNoData : 0;
    m_file.put_bytes(std::vector<uint8_t>(256 * static_cast<size_t>(m_signals + 2), 0));
    m_header_reserved = true;
}

void EdfOutput::begin_recording(const RecordingLayout& layout) {
    m_start_seconds = layout.output_start_seconds;
    reserve_header(layout.channels);
}

void EdfOutput::write_calibration(int seconds) {
    if (seconds > 0) m_events.push_back({m_time_points, kCalibrationText, seconds});
    const auto [low, high] = calibration_words(m_twelve_lead, m_settings);
    std::array<uint16_t, kStoredLeads> words{};
    for (int64_t half = 0; half < 4 * static_cast<int64_t>(seconds); ++half) {
        words.fill(half % 2 == 0 ? low : high);
        for (int t = 0; t < kCalibrationHalfCycle; ++t)
            put_time_point(words, false);
    }
}

void EdfOutput::write_time_point(std::span<const uint16_t> values, uint16_t marks,
                                 SampleScale scale) {
    put_time_point(raw_time_point_words(values, scale, m_settings), (marks & kPaceMark) != 0);
}

void EdfOutput::write_second(const DecodedBlock& block) {
    if (!below_limit()) return;
    // A compressed recording's seconds fill whole records: one pass per channel.
    if (m_fill == 0) {
        const RawWordTable& table = m_second_words;
        for (size_t c = 0; c < kMaxStreamChannels; ++c) {
            // Built in a local block: stores into the record could alias the table's words.
            BlockSamples words;
            for (size_t t = 0; t < kSamplesPerBlock; ++t)
                words[t] = table[block.channels[c][t] & 0x0FFFu];
            std::copy(words.begin(), words.end(), m_record[c].begin());
        }
        for (size_t t = 0; t < kSamplesPerBlock; ++t)
            if ((block.marks[t] & kPaceMark) != 0)
                queue_pace(m_time_points + static_cast<int64_t>(t));
        m_time_points += kSamplesPerBlock;
        write_record();
        return;
    }
    for (size_t t = 0; t < kSamplesPerBlock; ++t) {
        std::array<uint16_t, kMaxStreamChannels> words{};
        for (size_t c = 0; c < words.size(); ++c)
            words[c] = m_second_words[block.channels[c][t] & 0x0FFFu];
        put_time_point(words, (block.marks[t] & kPaceMark) != 0);
    }
}

// Tested against the limit like a decoded second: a pause of days must not run past it.
void EdfOutput::write_gap_second() {
    if (below_limit()) put_no_data(kSamplesPerSecond);
}

void EdfOutput::patient_event(int32_t seconds) {
    const Annotation event{int64_t{seconds} * kSamplesPerSecond, kEventText, 0};
    // The event table's events come before their seconds, and in table order.
    const auto at = std::upper_bound(
        m_events.begin() + static_cast<std::ptrdiff_t>(m_next_event), m_events.end(), event.onset,
        [](int64_t onset, const Annotation& a) { return onset < a.onset; });
    m_events.insert(at, event);
}

void EdfOutput::unpack_pn12_sector(std::span<const uint8_t, kSectorSize> sector) {
    if (!m_twelve_lead) return;
    for (int i = 0; i < twelve_lead_pace_count(sector); ++i)
        queue_pace(m_time_points + twelve_lead_pace_time_point(sector, i));
    std::array<uint16_t, kStoredLeads> words{};
    for (int t = 0; t < kTimePointsPerTwelveLeadSector; ++t) {
        for (int lead = 0; lead < kStoredLeads; ++lead)
            words[static_cast<size_t>(lead)] = twelve_lead_sample(sector, t, lead);
        put_time_point(words, false);
    }
}

void EdfOutput::queue_pace(int64_t time_point) {
    if (m_paces.size() - m_next_pace >= kMostPendingPaces) {
        if (!m_paces_dropped)
            trace("edf: paces beyond %d waiting are left out\n",
                  static_cast<int>(kMostPendingPaces));
        m_paces_dropped = true;
        return;
    }
    m_paces.push_back({time_point, kPaceText, 0});
}

void EdfOutput::put_time_point(std::span<const uint16_t> words, bool paced) {
    if (paced) queue_pace(m_time_points);
    const auto t = static_cast<size_t>(m_fill);
    for (size_t c = 0; c < words.size() && c < m_record.size(); ++c)
        m_record[c][t] = words[c];
    ++m_time_points;
    if (++m_fill == kSamplesPerSecond) write_record();
}

void EdfOutput::put_no_data(int64_t count) {
    std::array<uint16_t, kStoredLeads> none{};
    none.fill(m_no_data);
    while (count > 0 && m_fill > 0) {
        put_time_point(none, false);
        --count;
    }
    const int64_t whole = count / kSamplesPerSecond;
    if (whole > 0) {
        m_discontinuous = true;
        m_record_second += whole;
        m_time_points += whole * kSamplesPerSecond;
    }
    for (int64_t i = 0; i < count % kSamplesPerSecond; ++i)
        put_time_point(none, false);
}

void EdfOutput::put_annotations(std::vector<Annotation>& queue, size_t& next, int64_t record_end,
                                AnnotationArea& area, size_t& used) {
    while (next < queue.size() && queue[next].onset < record_end) {
        const Annotation& a = queue[next];
        if (!append_tal(area, used, a.onset, a.duration_seconds, a.text)) return;
        ++next;
    }
    // Emptied queues start again at the front, so a day of paced beats takes no memory; a queue
    // that never empties gives its written front back now and then.
    if (next == queue.size() || next >= kMostPendingPaces) {
        queue.erase(queue.begin(), queue.begin() + static_cast<std::ptrdiff_t>(next));
        next = 0;
    }
}

void EdfOutput::write_record() {
    reserve_header(m_signals);
    for (int c = 0; c < m_signals; ++c) {
        const auto& words = m_record[static_cast<size_t>(c)];
        if (uint8_t* at = m_file.append_u16(words.size())) put_u16le_words(at, words);
    }
    AnnotationArea area{};
    // Every record begins with its own onset, the time stamp of EDF+.
    std::string stamp = edf_onset_text(m_record_second * kSamplesPerSecond);
    stamp += "\x14\x14";
    std::copy(stamp.begin(), stamp.end(), area.begin());
    size_t used = stamp.size() + 1;
    const int64_t record_end = (m_record_second + 1) * kSamplesPerSecond;
    put_annotations(m_events, m_next_event, record_end, area, used);
    put_annotations(m_paces, m_next_pace, record_end, area, used);
    m_file.put_bytes(area);
    ++m_records;
    ++m_record_second;
    m_fill = 0;
}

bool EdfOutput::finish(bool /*pad*/) {
    if (m_fill > 0) put_no_data(kSamplesPerSecond - m_fill);
    reserve_header(m_signals);
    EdfHeader header;
    header.patient = edf_patient_field(m_identity.patient_id, m_identity.patient_name);
    header.recording = edf_recording_field(m_start_seconds, m_identity.recorder_serial);
    header.start_seconds = m_start_seconds;
    header.discontinuous = m_discontinuous;
    header.records = m_records;
    for (int c = 0; c < m_signals; ++c) {
        if (m_twelve_lead)
            header.signals.push_back(
                {std::string("ECG ") + kStoredLeadNames[c], "mV", -32768 / kLeadStepsPerMillivolt,
                 32767 / kLeadStepsPerMillivolt, -32768, 32767, kSamplesPerSecond});
        else
            header.signals.push_back({"ECG channel " + std::to_string(c + 1), "mV",
                                      -kBaseline / kStepsPerMillivolt,
                                      (kDigitalMax - kBaseline) / kStepsPerMillivolt, 0,
                                      kDigitalMax, kSamplesPerSecond});
    }
    header.signals.push_back({"EDF Annotations", "", -1, 1, -32768, 32767, kEdfAnnotationSamples});
    const bool written = m_file.overwrite_start(encode_edf_header(header));
    return m_file.close() && written;
}
