// The recording clock of a read: the start sectors that begin and resume it, the seek to the end
// of the skip period, and the patient events measured on it.
#include <cmath>
#include <limits>

#include "extract/ecg_extractor.h"
#include "format/recording_constants.h"
#include "format/start_sector.h"
#include "support/file_seek.h"
#include "support/trace.h"

namespace {

constexpr int64_t kSecondsPerHour = 3600;

RecordingTime start_time_of(std::span<const uint8_t, kSectorSize> sector) {
    return time_from_sector_bytes(sector.subspan<kStartSectorTimeOffset, 6>());
}

}  // namespace

int64_t CEcgExtractor::running_from_start() const {
    return time_to_seconds(m_running_time) - m_start_seconds;
}

bool CEcgExtractor::output_begun(int64_t seconds_from_start) const {
    if (!m_recording_format) return false;
    const int64_t skip = m_disk.m_read_settings.skip_hours;
    return skip == 0 || seconds_from_start >= skip * kSecondsPerHour;
}

void CEcgExtractor::advance_clock(int whole_seconds, unsigned hundredths, double seconds) {
    for (int i = 0; i < whole_seconds; ++i)
        time_add_second(m_running_time);
    if (hundredths != 0) time_add_hundredths(m_running_time, hundredths);
    m_seconds_counter += seconds;
}

void CEcgExtractor::advance_clock_by_sector(int64_t time_points) {
    if (time_points == kTwelveLeadTimePoints) {
        // 0.234375 s, which the hundredths of the clock can only approximate.
        advance_clock(0, 23, 0.234375);
    } else if (time_points == kTwoChannelSectorTimePoints) {
        advance_clock(1, 50, 1.5);
    } else {
        advance_clock(1, 0, 1.0);
    }
}

bool CEcgExtractor::start_sector_step() {
    if (m_recording_format) {
        if (!settle_decoder()) return false;
        const bool ok = resume_start_sector();
        // A compressed recording begins a new bit stream in every segment.
        if (is_compressed_format(*m_recording_format)) m_decoder.reset_decoder();
        return ok;
    }
    if (!read_start_sector()) return false;
    if (!is_event_table_format(*m_recording_format)) return true;
    m_decoder.reset_decoder();
    if (m_disk.m_read_settings.skip_hours > 0) seek_to_skip_target();
    write_table_events();
    start_span_decoding();
    return true;
}

bool CEcgExtractor::read_start_sector() {
    const uint8_t format = recording_format_of(m_sector[kStartSectorFormatOffset]);
    const int channels = channels_of_format(format);
    if (channels == 0) {
        trace("CCFDisk::read_start_sector s->recording_format invalid\n");
        return false;
    }
    if (!m_samples.takes_recording(channels)) {
        trace("recording of %d channels in a read whose output cannot take it\n", channels);
        return false;
    }
    m_recording_format = format;
    m_channels = channels;
    m_running_time = start_time_of(m_sector);
    m_start_seconds = time_to_seconds(m_running_time);
    m_seconds_counter = static_cast<double>(m_start_seconds);
    m_preamble_seconds = m_disk.m_read_settings.preamble_seconds(m_running_time.second);

    const int64_t output_start =
        m_start_seconds - m_preamble_seconds + m_disk.m_read_settings.skip_hours * kSecondsPerHour;
    m_samples.begin_recording({channels, output_start});
    // The settings bound the calibration, so the preamble fits the writers' int.
    m_samples.write_calibration(static_cast<int>(m_preamble_seconds));
    m_pacing_window = 0;
    m_other.put_bytes(m_sector);
    return true;
}

bool CEcgExtractor::resume_start_sector() {
    const uint8_t format = recording_format_of(m_sector[kStartSectorFormatOffset]);
    if (channels_of_format(format) == 0) {
        trace("CCFDisk::read_start_sector s->recording_format invalid\n");
        return false;
    }
    if (format != *m_recording_format) {
        trace("CCFDisk::read_start_sector s->recording_format different\n");
        return false;
    }
    const int64_t resume_seconds = time_to_seconds(start_time_of(m_sector));
    const int64_t running_seconds = time_to_seconds(m_running_time);
    // A salvage read that priced a damaged stretch too high is only late, not inconsistent.
    const bool earlier = resume_seconds < running_seconds && !salvaging();
    if (earlier || resume_seconds - running_seconds > kMaxPauseSeconds) {
        trace("CCFDisk::read_start_sector recording times inconsistent\n");
        return false;
    }
    // The pause counts whole seconds from the clock as the sectors left it.
    const int64_t gap = resume_seconds - static_cast<int64_t>(std::trunc(m_seconds_counter));
    for (int64_t i = 0; i < gap; ++i) {
        if (output_begun(running_from_start())) m_samples.write_gap_second();
        advance_clock(1, 0, 1.0);
    }
    m_pacing_window = 0;
    m_other.put_bytes(m_sector);
    return true;
}

// Continues at the seek point nearest before the end of the skip period; the skip test then
// drops the seconds between it and the target.
void CEcgExtractor::seek_to_skip_target() {
    const int64_t target = m_start_seconds + m_disk.m_read_settings.skip_hours * kSecondsPerHour;
    const EventRecord* best = nullptr;
    int64_t best_distance = std::numeric_limits<int64_t>::max();
    for (const EventRecord& record : m_event_table) {
        if (!record.is_seek_point() || !time_is_valid(record.time())) continue;
        const int64_t distance = target - time_to_seconds(record.time());
        if (distance >= 0 && distance < best_distance) {
            best = &record;
            best_distance = distance;
        }
    }
    if (best == nullptr) return;
    // A seek point outside ecg.dat is damaged: the read goes on from where it is, as without one.
    const uint64_t offset = uint64_t{best->sector} * kSectorSize;
    const std::optional<uint64_t> size = stream_size(m_source.get());
    if (!size || offset + kSectorSize > *size || !seek_file(m_source.get(), offset)) {
        trace("seek to sector %u failed\n", static_cast<unsigned>(best->sector));
        return;
    }
    m_running_time = best->time();
    m_seconds_counter = static_cast<double>(time_to_seconds(m_running_time));
    m_decoder.set_decompression_index(best->resume_bit());
    m_sector_counter = best->sector;
    m_next_sector_index = best->sector;
}

void CEcgExtractor::write_table_events() {
    const int64_t skip_seconds = m_disk.m_read_settings.skip_hours * kSecondsPerHour;
    const int64_t window = int64_t{m_disk.m_read_settings.record_length_hours} * kSecondsPerHour;
    for (const EventRecord& record : m_event_table) {
        if (record.type != kEventPatient) continue;
        const int64_t t = time_to_seconds(record.time()) - skip_seconds - m_start_seconds;
        if (t < 0 || t >= window) continue;
        if (!add_patient_event(static_cast<int32_t>(t + m_preamble_seconds))) break;
    }
}

// A full list fails the sector: the event would otherwise be lost without a word. A start time
// with fields out of range puts the running clock behind it once the clock carries; an event
// before the output's first sample has no place on its time axis and is left out, as the
// table's are.
bool CEcgExtractor::add_sector_event() {
    const int64_t skip_seconds = m_disk.m_read_settings.skip_hours * kSecondsPerHour;
    const int64_t seconds = running_from_start() + m_preamble_seconds - skip_seconds;
    if (seconds < 0 || seconds > std::numeric_limits<int32_t>::max()) return true;
    return add_patient_event(static_cast<int32_t>(seconds));
}

bool CEcgExtractor::add_patient_event(int32_t seconds) {
    if (!m_events.add(seconds)) return false;
    m_samples.patient_event(seconds);
    return true;
}
