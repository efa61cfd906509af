// A salvage read: a damaged sector inside the recording becomes a gap of the seconds it held, the
// clock runs on by them, and the read goes on at the next sector it can use. What was lost is
// accounted for in salvage.txt.
#include <cmath>

#include "extract/ecg_extractor.h"
#include "extract/salvage_policy.h"
#include "format/recording_constants.h"
#include "support/file_seek.h"
#include "support/trace.h"

namespace {

// A seek point's time can be damaged too: a loss before the clock or longer than any pause is
// not believed.
bool plausible_loss(int64_t seconds) {
    return seconds >= 0 && seconds <= kMaxPauseSeconds;
}

}  // namespace

uint64_t CEcgExtractor::current_sector_index() const {
    const std::optional<uint64_t> position = stream_position(m_source.get());
    return position && *position >= kSectorSize ? *position / kSectorSize - 1 : 0;
}

bool CEcgExtractor::salvage_damaged_sector() {
    const std::optional<DamageReason> reason =
        sector_damage(m_disk.m_crc_table, m_sector, sector_recording_num(m_first_start_sector));
    if (!reason) return false;
    recover_from_damage(*reason);
    return true;
}

void CEcgExtractor::recover_from_damage(DamageReason reason) {
    m_undecodable = false;
    const uint64_t first = current_sector_index();
    const uint8_t format = *m_recording_format;
    const DamageScan scan = scan_damaged_stretch(m_source.get(), m_disk.m_crc_table,
                                                 sector_recording_num(m_first_start_sector));
    if (!scan.found) {
        // Nothing of the recording follows: an end mark or another recording's sector is its
        // end, and damaged last sectors cost their own seconds.
        if (reason != DamageReason::foreign) {
            const uint64_t damaged = scan.own + 1;
            int64_t lost = data_sector_time_points(format) * static_cast<int64_t>(damaged);
            if (lost == 0) lost = estimated_stream_seconds(damaged) * kSamplesPerSecond;
            write_gap(lost);
            m_salvage_report.add_range({first, first + scan.own, lost, reason});
        }
        m_end = true;
        return;
    }
    const uint64_t damaged = scan.skipped + 1;
    const uint64_t resume_index = first + damaged;
    trace("salvage: sectors %llu to %llu damaged\n", static_cast<unsigned long long>(first),
          static_cast<unsigned long long>(resume_index - 1));
    int64_t lost = 0;
    const EventRecord* anchor = seek_point_at_or_after(resume_index, 0);
    if (is_compressed_format(format)) {
        const int64_t seconds = lost_seconds_of_stream(damaged, resume_index, scan.sector);
        lost = seconds * kSamplesPerSecond;
        write_gap(lost);
        advance_clock(static_cast<int>(seconds), 0, static_cast<double>(seconds));
        m_restart_stream = true;
    } else if (anchor != nullptr && anchor->sector == resume_index &&
               plausible_loss(time_to_seconds(anchor->time()) - time_to_seconds(m_running_time))) {
        // The event table knows when the recording goes on at this sector.
        const int64_t seconds = time_to_seconds(anchor->time()) - time_to_seconds(m_running_time);
        lost = seconds * kSamplesPerSecond;
        write_gap(lost);
        advance_clock(static_cast<int>(seconds), 0, static_cast<double>(seconds));
    } else {
        const int64_t span = data_sector_time_points(format);
        for (uint64_t i = 0; i < damaged; ++i) {
            write_gap(span);
            advance_clock_by_sector(span);
        }
        lost = span * static_cast<int64_t>(damaged);
    }
    // The damaged sectors' pace pulses are unknown; a window must not run on into the gap.
    m_pacing_window = 0;
    m_salvage_report.add_range({first, resume_index - 1, lost, reason});
    m_sector = scan.sector;
    m_sector_index = resume_index;
    m_next_sector_index = resume_index + 1;
}

void CEcgExtractor::salvage_truncated_end() {
    const std::optional<uint64_t> position = stream_position(m_source.get());
    if (!position || *position % kSectorSize < kSectorBodyOffset) return;
    // Only a sector of this recording that the cut shortened counts as lost.
    const SectorKind kind = sector_type_of(sector_type_byte(m_sector)).kind;
    const bool recorded =
        kind != SectorKind::end && kind != SectorKind::event &&
        sector_recording_num(m_sector) == sector_recording_num(m_first_start_sector);
    if (!recorded) return;
    const uint64_t index = *position / kSectorSize;
    int64_t lost = data_sector_time_points(*m_recording_format);
    if (lost == 0) lost = estimated_stream_seconds(1) * kSamplesPerSecond;
    write_gap(lost);
    m_salvage_report.add_range({index, index, lost, DamageReason::truncated});
}

int64_t CEcgExtractor::lost_seconds_of_stream(uint64_t damaged, uint64_t resume_index,
                                              const Sector& resume) {
    // Where a seek point lies ahead, its time less the blocks decoded up to it is exact.
    const bool compressed = sector_type_of(sector_type_byte(resume)).kind == SectorKind::compressed;
    const int bit = compressed ? sector_decompression_index(resume) : kFirstBodyBit;
    if (const EventRecord* anchor = seek_point_at_or_after(resume_index, bit);
        compressed && anchor) {
        if (const std::optional<int64_t> blocks =
                blocks_until(*anchor, anchor->resume_bit(), resume_index, resume)) {
            const int64_t seconds =
                time_to_seconds(anchor->time()) - *blocks - time_to_seconds(m_running_time);
            if (plausible_loss(seconds)) return seconds;
        }
    }
    return estimated_stream_seconds(damaged);
}

std::optional<int64_t> CEcgExtractor::blocks_until(const EventRecord& anchor, int anchor_bit,
                                                   uint64_t resume_index, const Sector& resume) {
    const std::optional<uint64_t> saved = stream_position(m_source.get());
    if (!saved) return std::nullopt;
    const auto reached = [&](uint64_t sector, int bit) {
        return sector > anchor.sector || (sector == anchor.sector && bit >= anchor_bit);
    };
    // A copy decodes ahead, so that the read's own decoder starts the stretch afresh.
    EcgDecoder probe = m_decoder;
    probe.reset_decoder();
    probe.set_decompression_index(sector_decompression_index(resume));
    const uint16_t recording_num = sector_recording_num(m_first_start_sector);
    Sector sector = resume;
    uint64_t index = resume_index;
    int64_t blocks = 0;
    std::optional<int64_t> result;
    for (uint64_t n = 0; n < kMaxDamagedSectors && !result; ++n, ++index) {
        const SectorKind kind = sector_type_of(sector_type_byte(sector)).kind;
        if (sector_recording_num(sector) != recording_num) break;
        if (kind == SectorKind::compressed) {
            if (probe.at_block_start() && reached(index, probe.bit_position())) {
                result = blocks;
                break;
            }
            DecodeResult step;
            do {
                step = probe.decode_sector(sector);
                if (step.block_done) ++blocks;
                if (step.block_done && !step.sector_done && reached(index, probe.bit_position()))
                    result = blocks;
            } while (step.ok && !step.sector_done && !result);
            if (!step.ok) break;
        } else if (kind != SectorKind::event) {
            break;
        }
        if (!result && std::fread(sector.data(), 1, kSectorSize, m_source.get()) != kSectorSize)
            break;
    }
    if (!seek_file(m_source.get(), *saved)) return std::nullopt;
    return result;
}

const EventRecord* CEcgExtractor::seek_point_at_or_after(uint64_t sector, int bit) const {
    for (const EventRecord& record : m_event_table) {
        if (!record.is_seek_point() || !time_is_valid(record.time())) continue;
        if (record.sector > sector || (record.sector == sector && record.resume_bit() >= bit))
            return &record;
    }
    return nullptr;
}

// The stream's own rate so far: seconds per compressed sector.
int64_t CEcgExtractor::estimated_stream_seconds(uint64_t sectors) const {
    if (m_stream_sectors == 0) return 0;
    return std::llround(static_cast<double>(sectors) * static_cast<double>(m_stream_blocks) /
                        static_cast<double>(m_stream_sectors));
}

void CEcgExtractor::write_gap(int64_t time_points) {
    if (time_points <= 0 || !output_begun(running_from_start())) return;
    for (; time_points >= kSamplesPerBlock; time_points -= kSamplesPerBlock)
        m_samples.write_gap_second();
    for (; time_points > 0 && m_samples.below_limit(); --time_points)
        m_samples.write_time_point({}, 0, SampleScale::twelve_bit);
}

bool CEcgExtractor::finish_salvage(bool ok) {
    if (!write_salvage_report(m_salvage_report, m_request.target_folder)) {
        trace("salvage.txt cannot be written\n");
        return false;
    }
    return ok && m_salvage_report.delivered_time_points() > 0;
}
