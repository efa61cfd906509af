#include "extract/overview_output.h"

#include <algorithm>

#include "extract/output_file.h"
#include "support/file_utils.h"

namespace {

// A strip starts this long before its event.
constexpr int64_t kRecentTimePoints = kStripTimePoints / 2;

// Whether the strip draws any of the second that begins at time point t.
bool overlaps_second(const OverviewStrip& strip, int64_t t) {
    return strip.start < t + kSamplesPerSecond && strip.start + kStripTimePoints > t;
}

}  // namespace

void OverviewOutput::begin_recording(const RecordingLayout& layout) {
    m_inner->begin_recording(layout);
    m_content.channels = layout.channels;
    m_content.output_start_seconds = layout.output_start_seconds;
    m_twelve_lead = layout.channels == 12;
    for (std::vector<uint16_t>& row : m_recent)
        row.assign(kRecentTimePoints, 0);
    m_recent_marks.assign(kRecentTimePoints, 0);
}

void OverviewOutput::write_calibration(int seconds) {
    m_inner->write_calibration(seconds);
    const auto [low, high] = calibration_words(m_twelve_lead, m_settings);
    std::array<uint16_t, kStoredLeads> words{};
    for (int64_t t = 0; t < int64_t{seconds} * kSamplesPerSecond; ++t) {
        words.fill((t / kCalibrationHalfCycle) % 2 == 0 ? low : high);
        keep(words, false);
    }
    // The recording's first seconds follow the preamble; added before the table's events fill the
    // page.
    add_strip(m_time_points, -1);
}

void OverviewOutput::write_time_point(std::span<const uint16_t> values, uint16_t marks,
                                      SampleScale scale) {
    m_inner->write_time_point(values, marks, scale);
    // A 12-lead recording's leads come only in whole sectors; a lone time point has none.
    if (m_twelve_lead)
        keep_no_data(1);
    else
        keep(raw_time_point_words(values, scale, m_settings), (marks & kPaceMark) != 0);
}

void OverviewOutput::write_second(const DecodedBlock& block) {
    const bool written = m_inner->below_limit();
    m_inner->write_second(block);
    if (!written) return;
    // Most seconds feed no strip and only pass through the recent seconds.
    if (!m_recent_marks.empty() && m_time_points % kSamplesPerSecond == 0 &&
        std::none_of(m_content.strips.begin(), m_content.strips.end(),
                     [&](const OverviewStrip& s) { return overlaps_second(s, m_time_points); })) {
        // Seconds begin at a multiple of a second in the rows, which hold whole seconds.
        for (size_t c = 0; c < kMaxStreamChannels; ++c)
            std::copy(block.channels[c].begin(), block.channels[c].end(),
                      m_recent[c].begin() + static_cast<std::ptrdiff_t>(m_slot));
        std::copy(block.marks.begin(), block.marks.end(),
                  m_recent_marks.begin() + static_cast<std::ptrdiff_t>(m_slot));
        m_slot = (m_slot + kSamplesPerBlock) % m_recent_marks.size();
        m_time_points += kSamplesPerBlock;
        return;
    }
    // The page draws at full resolution: decoded samples are already 12-bit words.
    for (size_t t = 0; t < kSamplesPerBlock; ++t) {
        const std::array<uint16_t, kMaxStreamChannels> words = {
            block.channels[0][t], block.channels[1][t], block.channels[2][t]};
        keep(words, (block.marks[t] & kPaceMark) != 0);
    }
}

void OverviewOutput::write_gap_second() {
    const bool written = m_inner->below_limit();
    m_inner->write_gap_second();
    if (written) keep_no_data(kSamplesPerSecond);
}

void OverviewOutput::unpack_pn12_sector(std::span<const uint8_t, kSectorSize> sector) {
    m_inner->unpack_pn12_sector(sector);
    std::array<bool, kTimePointsPerTwelveLeadSector> paced{};
    for (int i = 0; i < twelve_lead_pace_count(sector); ++i) {
        // Five bits can name a time point past the sector's thirty; such an entry marks none.
        const auto t = static_cast<size_t>(twelve_lead_pace_time_point(sector, i));
        if (t < paced.size()) paced[t] = true;
    }
    std::array<uint16_t, kStoredLeads> words{};
    for (int t = 0; t < kTimePointsPerTwelveLeadSector; ++t) {
        for (int lead = 0; lead < kStoredLeads; ++lead)
            words[static_cast<size_t>(lead)] = twelve_lead_sample(sector, t, lead);
        keep(words, paced[static_cast<size_t>(t)]);
    }
}

void OverviewOutput::patient_event(int32_t seconds) {
    m_inner->patient_event(seconds);
    m_content.events.push_back(seconds);
    add_strip(std::max<int64_t>(0, int64_t{seconds} * kSamplesPerSecond - kRecentTimePoints),
              seconds);
}

void OverviewOutput::add_strip(int64_t start, int32_t event_seconds) {
    if (m_recent_marks.empty()) return;
    const size_t most = static_cast<size_t>(kMaxStrips / strip_channels(m_content.channels));
    if (m_content.strips.size() >= most) return;
    OverviewStrip strip;
    strip.start = start;
    strip.event_seconds = event_seconds;
    strip.words.assign(kStripTimePoints, {});
    strip.paced.assign(kStripTimePoints, false);
    const int64_t from = std::max(start, m_time_points - kRecentTimePoints);
    for (int64_t t = from; t < m_time_points && t < start + kStripTimePoints; ++t) {
        const auto slot = static_cast<size_t>(t % kRecentTimePoints);
        strip.words[static_cast<size_t>(t - start)] = recent_words(slot);
        strip.paced[static_cast<size_t>(t - start)] = (m_recent_marks[slot] & kPaceMark) != 0;
    }
    m_content.strips.push_back(std::move(strip));
    m_active.push_back(m_content.strips.size() - 1);
}

void OverviewOutput::keep_no_data(int64_t count) {
    std::array<uint16_t, kStoredLeads> none{};
    none.fill(m_twelve_lead ? kLeadNoData : 0);
    for (int64_t i = 0; i < count; ++i)
        keep(none, false);
}

void OverviewOutput::keep(std::span<const uint16_t> words, bool paced) {
    if (m_recent_marks.empty()) return;
    const int64_t t = m_time_points++;
    const size_t slot = m_slot;
    if (++m_slot == m_recent_marks.size()) m_slot = 0;
    // The raw words' top bits are flags; the 12-lead words use all sixteen.
    const uint16_t mask = m_twelve_lead ? 0xFFFFu : 0x0FFFu;
    for (size_t c = 0; c < words.size(); ++c)
        m_recent[c][slot] = static_cast<uint16_t>(words[c] & mask);
    m_recent_marks[slot] = paced ? kPaceMark : 0;
    // The strips are few and short; checking them once a second keeps this loop cheap.
    if (t % kSamplesPerSecond == 0) {
        m_active.clear();
        for (size_t i = 0; i < m_content.strips.size(); ++i)
            if (overlaps_second(m_content.strips[i], t)) m_active.push_back(i);
    }
    for (const size_t i : m_active) {
        OverviewStrip& s = m_content.strips[i];
        if (t < s.start || t >= s.start + kStripTimePoints) continue;
        s.words[static_cast<size_t>(t - s.start)] = recent_words(slot);
        s.paced[static_cast<size_t>(t - s.start)] = paced;
    }
}

std::array<uint16_t, kStoredLeads> OverviewOutput::recent_words(size_t slot) const {
    std::array<uint16_t, kStoredLeads> words{};
    for (size_t c = 0; c < words.size(); ++c)
        words[c] = m_recent[c][slot];
    return words;
}

bool OverviewOutput::finish(bool pad) {
    m_content.time_points = m_time_points;
    bool good = m_inner->finish(pad);
    const std::string page = overview_page(m_details, m_content);
    OutputFile file;
    if (!file.create(join_path(m_folder, "overview.html"))) return false;
    file.put_bytes(std::span(reinterpret_cast<const uint8_t*>(page.data()), page.size()));
    return file.close() && good;
}
