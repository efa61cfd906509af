#include "extract/salvage_report.h"

#include <cinttypes>
#include <cstdio>

#include "extract/output_file.h"
#include "format/recording_constants.h"
#include "support/file_utils.h"

namespace {

const char* reason_text(DamageReason reason) {
    switch (reason) {
        case DamageReason::checksum:
            return "checksum does not match";
        case DamageReason::foreign:
            return "not a sector of this recording";
        case DamageReason::unknown_type:
            return "unknown sector type";
        case DamageReason::undecodable:
            return "compressed data cannot be decoded";
        case DamageReason::truncated:
            return "file ends inside the sector";
    }
    return "damaged";
}

// Seconds with two decimals, computed in integers so that no locale changes the text.
std::string seconds_text(int64_t time_points) {
    const int64_t hundredths = (time_points * 100 + kSamplesPerSecond / 2) / kSamplesPerSecond;
    char text[32];
    std::snprintf(text, sizeof text, "%" PRId64 ".%02d", hundredths / 100,
                  static_cast<int>(hundredths % 100));
    return text;
}

}  // namespace

int64_t SalvageReport::lost_time_points() const {
    int64_t lost = 0;
    for (const DamagedRange& range : m_ranges)
        lost += range.lost_time_points;
    return lost;
}

std::string SalvageReport::text() const {
    std::string text = "salvage report\n";
    if (m_ranges.empty()) text += "no damaged sectors\n";
    for (const DamagedRange& range : m_ranges) {
        char line[160];
        std::snprintf(line, sizeof line, "damaged sectors %" PRIu64 "-%" PRIu64 ": %s s lost, %s\n",
                      range.first_sector, range.last_sector,
                      seconds_text(range.lost_time_points).c_str(), reason_text(range.reason));
        text += line;
    }
    text += "seconds delivered: " + seconds_text(m_delivered) + "\n";
    text += "seconds lost: " + seconds_text(lost_time_points()) + "\n";
    return text;
}

bool write_salvage_report(const SalvageReport& report, const std::string& folder) {
    OutputFile file;
    if (!file.create(join_path(folder, "salvage.txt"))) return false;
    const std::string text = report.text();
    file.put_bytes(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    return file.close();
}
