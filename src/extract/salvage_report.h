// The account of a salvage read: which stretches of ecg.dat were damaged, what each cost and how
// much of the recording reached the output. The extraction fills it and writes it as salvage.txt
// in the output folder, also when nothing was damaged, so that a caller can rely on finding it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class DamageReason {
    checksum,      // the sector's checksum does not match its body
    foreign,       // another recording's number, or an end mark, inside the recording
    unknown_type,  // a type byte the recorder never writes
    undecodable,   // compressed data the decoder cannot read
    truncated,     // ecg.dat ends inside the sector
};

struct DamagedRange {
    uint64_t first_sector = 0;
    uint64_t last_sector = 0;
    // Time points (128 per second) written as no data in place of the range.
    int64_t lost_time_points = 0;
    DamageReason reason = DamageReason::checksum;
};

class SalvageReport {
  public:
    void add_range(const DamagedRange& range) { m_ranges.push_back(range); }
    // Recorded time points that reached the output.
    void add_delivered(int64_t time_points) { m_delivered += time_points; }

    int64_t delivered_time_points() const { return m_delivered; }
    int64_t lost_time_points() const;
    const std::vector<DamagedRange>& ranges() const { return m_ranges; }

    // The report's lines; plain ASCII with LF line ends.
    std::string text() const;

  private:
    std::vector<DamagedRange> m_ranges;
    int64_t m_delivered = 0;
};

// Writes salvage.txt into the folder; false when it cannot be written.
bool write_salvage_report(const SalvageReport& report, const std::string& folder);
