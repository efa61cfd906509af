#include "extract/pn12_output.h"

#include <algorithm>
#include <cstdio>

#include "format/recording_constants.h"
#include "support/analysis_window.h"
#include "support/byte_order.h"
#include "support/code_page.h"
#include "support/file_utils.h"
#include "support/message_box.h"
#include "support/string_ids.h"
#include "support/string_table.h"

namespace {

constexpr const char* kLeadLabels[kStoredLeads] = {"Lead I", "Lead II", "V1", "V2",
                                                   "V3",     "V4",      "V5", "V6"};
constexpr const char kPacingFileName[] = "pn12pac.dat";

// Ten minutes of no data close every lead file.
constexpr int64_t kClosingWords = 10 * 60 * kSamplesPerSecond;

std::string lead_file_name(int lead) {
    return "pn12ecg" + std::to_string(lead + 1) + ".dat";
}

void report_header_failure(const char* writer, const std::string& file) {
    std::string text = std::string("File exception in ") + writer + "()\n" + file;
    const AnalysisWindowAside aside;
    show_message_box(utf8_of_system_text(text), load_string(kStringAppTitle), MessageButtons::kOk,
                     MessageIcon::kNone);
}

}  // namespace

bool Pn12Output::open_pn12_outputs() {
    const std::array<uint8_t, kLeadHeaderSize> lead_header{};
    for (int lead = 0; lead < kStoredLeads; ++lead) {
        OutputFile& file = m_leads[static_cast<size_t>(lead)];
        if (!file.create(join_path(m_folder, lead_file_name(lead)))) return false;
        file.put_bytes(lead_header);
    }
    if (!m_pacing.create(join_path(m_folder, kPacingFileName))) return false;
    m_pacing.put_bytes(std::array<uint8_t, kPacingHeaderSize>{});
    m_smallest.fill(65535);
    m_largest.fill(0);
    return true;
}

void Pn12Output::begin_recording(const RecordingLayout& layout) {
    m_start_time = header_time_of(layout.output_start_seconds);
}

void Pn12Output::put_all_leads(uint16_t word, int64_t count) {
    for (OutputFile& file : m_leads)
        file.put_repeated_u16(word, count);
    m_lead_position += count;
}

void Pn12Output::write_calibration(int seconds) {
    for (int64_t cycle = 0; cycle < 2 * static_cast<int64_t>(seconds); ++cycle) {
        put_all_leads(kLeadCalibrationLow, kCalibrationHalfCycle);
        put_all_leads(kLeadCalibrationHigh, kCalibrationHalfCycle);
    }
}

void Pn12Output::write_time_point(std::span<const uint16_t>, uint16_t, SampleScale) {
    put_all_leads(kLeadNoData, 1);
}

void Pn12Output::write_gap_second() {
    put_all_leads(kLeadNoData, kSamplesPerBlock);
}

void Pn12Output::unpack_pn12_sector(std::span<const uint8_t, kSectorSize> sector) {
    for (int t = 0; t < kTimePointsPerTwelveLeadSector; ++t) {
        for (int lead = 0; lead < kStoredLeads; ++lead) {
            const size_t i = static_cast<size_t>(lead);
            const uint16_t value = twelve_lead_sample(sector, t, lead);
            m_leads[i].put_u16(value);
            m_smallest[i] = std::min(m_smallest[i], value);
            m_largest[i] = std::max(m_largest[i], value);
        }
    }
    for (int i = 0; i < twelve_lead_pace_count(sector); ++i) {
        uint8_t index[4];
        put_u32le(index,
                  static_cast<uint32_t>(m_lead_position + twelve_lead_pace_time_point(sector, i)));
        m_pacing.put_bytes(index);
    }
    m_lead_position += kTimePointsPerTwelveLeadSector;
    m_time_points += kTimePointsPerTwelveLeadSector;
}

bool Pn12Output::write_pn12_ecg_header_data() {
    for (int lead = 0; lead < kStoredLeads; ++lead) {
        const size_t i = static_cast<size_t>(lead);
        const LeadHeader header{m_procedure_id, m_start_time, kLeadLabels[i], m_smallest[i],
                                m_largest[i]};
        if (!m_leads[i].overwrite_start(encode_lead_header(header)) || !m_leads[i].close()) {
            report_header_failure("write_pn12_ecg_header_data", lead_file_name(lead));
            return false;
        }
    }
    return true;
}

bool Pn12Output::write_pn12_pacing_header_data() {
    if (!m_pacing.overwrite_start(encode_pacing_header(m_procedure_id, m_start_time)) ||
        !m_pacing.close()) {
        report_header_failure("write_pn12_pacing_header_data", kPacingFileName);
        return false;
    }
    return true;
}

bool Pn12Output::finish(bool /*pad*/) {
    for (OutputFile& file : m_leads)
        file.put_repeated_u16(kLeadNoData, kClosingWords);
    const bool good = write_pn12_ecg_header_data() && write_pn12_pacing_header_data();
    for (OutputFile& file : m_leads)
        file.close();
    m_pacing.close();
    return good;
}

bool Pn12Output::failed() const {
    return m_pacing.failed() || std::any_of(m_leads.begin(), m_leads.end(),
                                            [](const OutputFile& f) { return f.failed(); });
}
