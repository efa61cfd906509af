// The read's side of decoding ahead (span_decoding.h): which reads decode ahead, and the replay of
// a worker's blocks in place of the decoder's.
#include <algorithm>
#include <system_error>
#include <thread>

#include "extract/ecg_extractor.h"
#include "format/sector_types.h"
#include "support/file_seek.h"
#include "support/trace.h"

namespace {

// More spans in flight would hold more memory without a core to decode them.
constexpr int kMostDecodeWorkers = 3;

int decode_workers(int32_t setting) {
    if (setting >= 0) return std::min(setting, kMostDecodeWorkers);
    const int cores = static_cast<int>(std::thread::hardware_concurrency());
    return std::clamp(cores - 1, 1, kMostDecodeWorkers);
}

}  // namespace

// A salvage read moves on by its own rules and decodes alone.
void CEcgExtractor::start_span_decoding() {
    const uint8_t format = *m_recording_format;
    const int workers = decode_workers(m_disk.m_read_settings.decode_workers);
    if (workers == 0 || m_disk.m_read_settings.salvage || !is_compressed_format(format)) return;
    const std::optional<uint64_t> size = stream_size(m_source.get());
    if (!size) return;
    std::vector<SeekSpan> spans =
        seek_spans(m_event_table, m_next_sector_index, *size / kSectorSize);
    if (spans.empty()) return;
    SpanSource source{m_disk.m_card_path, &m_disk.m_crc_table,
                      sector_recording_num(m_first_start_sector), format};
    try {
        m_spans = std::make_unique<SpanDecoding>(std::move(source), std::move(spans), workers,
                                                 m_disk.m_read_settings.decode_ahead_waits);
    } catch (const std::system_error&) {
        trace("no thread to decode ahead: the read decodes alone\n");
    }
}

// How many spans a read replays depends on the workers' pace, except when it waits for them.
void CEcgExtractor::stop_span_decoding() {
    if (!m_spans) return;
    m_spans.reset();
    m_replay.reset();
    if (m_disk.m_read_settings.decode_ahead_waits)
        trace("spans decoded ahead and replayed: %d\n", m_replayed_spans);
}

// The decoder has decoded one of the span's first sectors itself. Once it stands exactly where the
// worker's decoder stood after the same sector, the worker's blocks of the following sectors are
// the ones it would decode.
void CEcgExtractor::compare_with_span() {
    DecodedSpan& span = *m_replay;
    const size_t decoded = span.next_sector;
    if (decoded >= span.leading.size() || span.sectors[decoded].index != m_sector_index) {
        m_replay.reset();
        return;
    }
    ++span.next_sector;
    if (!same_stream_state(m_decoder, span.leading[decoded])) {
        if (span.next_sector == span.leading.size()) m_replay.reset();
        return;
    }
    span.agreed = true;
    ++m_replayed_spans;
    // The lines of the sectors decoded here were traced by the decoder itself.
    while (span.next_trace < span.traces.size() &&
           span.traces[span.next_trace].sector < span.next_sector)
        ++span.next_trace;
}

// Delivers a worker's blocks of this sector, with the lines its decoder traced between them.
bool CEcgExtractor::replay_sector() {
    DecodedSpan& span = *m_replay;
    const DecodedSector& sector = span.sectors[span.next_sector];
    if (sector.index != m_sector_index) return settle_decoder();
    for (size_t block = 0; block <= sector.blocks; ++block) {
        for (; span.next_trace < span.traces.size(); ++span.next_trace) {
            const SpanTrace& line = span.traces[span.next_trace];
            if (line.sector != span.next_sector || line.before_block != block) break;
            trace("%s", line.text.c_str());
        }
        if (block < sector.blocks) deliver_block(span.blocks[sector.first_block + block]);
    }
    ++span.next_sector;
    return true;
}

// Before the decoder is used again, it takes the state of the last replayed sector; a span still
// being compared leaves it as it is. A replay that has not reached its end cannot hand over, and
// ends the read: the worker and the read took different sectors for the stream, which the same
// bytes cannot do.
bool CEcgExtractor::settle_decoder() {
    if (!m_replay) return true;
    const bool replayed = !m_replay->agreed || m_replay->replayed();
    if (m_replay->agreed && replayed) m_decoder = m_replay->at_end;
    m_replay.reset();
    if (!replayed) {
        trace("decoding ahead lost its place in sector %i\n", static_cast<int>(m_sector_counter));
        report_read_error();
    }
    return replayed;
}
