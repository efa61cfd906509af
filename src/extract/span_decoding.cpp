#include "extract/span_decoding.h"

#include <algorithm>
#include <cassert>
#include <limits>

#include "format/card_files.h"
#include "format/sector_checksum.h"
#include "format/sector_types.h"
#include "support/file_seek.h"

namespace {

// A span keeps at most this many blocks (a little over an hour): a span whose seek points are
// missing ends there, and the read decodes the rest of it.
constexpr size_t kSpanBlocks = 4096;
// A sector's 515 body and carried bytes hold at most this many blocks (a block takes at least
// 17 bits: a channel-absent command and an empty pace list), so that a span never grows its
// reserved room.
constexpr size_t kMostBlocksPerSector = 256;
// The workers read ahead in large pieces, as the read does.
constexpr size_t kWorkerBufferSize = 64 * 1024;

}  // namespace

std::vector<SeekSpan> seek_spans(const EventTable& table, uint64_t next_sector,
                                 uint64_t file_sectors) {
    std::vector<SeekSpan> spans;
    for (const EventRecord& record : table) {
        if (record.is_seek_point() && record.sector >= next_sector &&
            record.sector < file_sectors && is_body_bit(record.resume_bit()))
            spans.push_back({record.sector, file_sectors, record.resume_bit()});
    }
    // The table's first word on a sector stands; a wrong one only costs its span.
    std::stable_sort(spans.begin(), spans.end(), [](const SeekSpan& a, const SeekSpan& b) {
        return a.first_sector < b.first_sector;
    });
    spans.erase(std::unique(spans.begin(), spans.end(),
                            [](const SeekSpan& a, const SeekSpan& b) {
                                return a.first_sector == b.first_sector;
                            }),
                spans.end());
    for (size_t k = 0; k + 1 < spans.size(); ++k)
        spans[k].end_sector = spans[k + 1].first_sector;
    return spans;
}

SpanDecoding::SpanDecoding(SpanSource source, std::vector<SeekSpan> spans, int workers,
                           bool read_waits)
    : m_source(std::move(source)),
      m_spans(std::move(spans)),
      m_window(std::max(workers, 1)),
      m_read_waits(read_waits),
      m_running_workers(static_cast<int>(m_window)),
      m_states(m_spans.size(), SpanState::waiting),
      m_results(m_spans.size()) {
    try {
        for (int64_t i = 0; i < m_window; ++i)
            m_workers.emplace_back([this] {
                work();
                {
                    const std::lock_guard lock(m_mutex);
                    --m_running_workers;
                }
                m_changed.notify_all();
            });
    } catch (...) {
        // The workers that did start are stopped before the failure goes on to the read.
        stop();
        throw;
    }
}

SpanDecoding::~SpanDecoding() {
    stop();
}

void SpanDecoding::stop() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_entered = std::numeric_limits<int64_t>::max();
    }
    m_changed.notify_all();
    for (std::thread& worker : m_workers)
        if (worker.joinable()) worker.join();
}

std::optional<size_t> SpanDecoding::enter(uint64_t sector) {
    if (m_cursor == m_spans.size() || m_spans[m_cursor].first_sector > sector) return std::nullopt;
    while (m_cursor < m_spans.size() && m_spans[m_cursor].first_sector <= sector)
        ++m_cursor;
    const size_t reached = m_cursor - 1;
    const bool begins = m_spans[reached].first_sector == sector;
    {
        std::unique_lock lock(m_mutex);
        if (begins && m_read_waits) {
            // The spans before it stop, and a worker may take this one.
            m_entered = static_cast<int64_t>(reached) - 1;
            m_changed.notify_all();
            m_changed.wait(lock, [&] {
                return m_states[reached] == SpanState::finished || m_running_workers == 0;
            });
        }
        m_entered = static_cast<int64_t>(reached);
        m_next_claim = std::max(m_next_claim, reached + 1);
        // Spans passed without a start of their own will not be replayed.
        for (size_t k = 0; k < reached; ++k)
            m_results[k].reset();
    }
    m_changed.notify_all();
    if (!begins) return std::nullopt;
    return reached;
}

std::unique_ptr<DecodedSpan> SpanDecoding::take(size_t span) {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return m_states[span] != SpanState::running; });
    return std::move(m_results[span]);
}

void SpanDecoding::work() {
    // Declared before the stream it buffers, so that the stream is closed first.
    std::vector<char> buffer(kWorkerBufferSize);
    const CardFile file = open_card_file_for_reading(m_source.card_path, kEcgFileName);
    if (!file) return;
    std::setvbuf(file.get(), buffer.data(), _IOFBF, buffer.size());
    // The lines belong to the read, which sends them out when it replays the sectors.
    HeldTraces held;
    for (;;) {
        size_t span = 0;
        {
            std::unique_lock lock(m_mutex);
            // A worker stays at most m_window spans ahead of the read, which bounds the memory.
            m_changed.wait(lock, [&] {
                return m_stopping || m_next_claim >= m_spans.size() ||
                       static_cast<int64_t>(m_next_claim) - m_window <= m_entered;
            });
            if (m_stopping || m_next_claim >= m_spans.size()) return;
            span = m_next_claim++;
            m_states[span] = SpanState::running;
        }
        auto result = std::make_unique<DecodedSpan>();
        try {
            decode_span(file.get(), span, *result, held);
        } catch (...) {
            // Without room for its blocks the span is the read's to decode.
            result.reset();
        }
        {
            const std::lock_guard lock(m_mutex);
            m_states[span] = SpanState::finished;
            if (m_entered <= static_cast<int64_t>(span)) m_results[span] = std::move(result);
        }
        m_changed.notify_all();
    }
}

// Reads as the read's sector loop does: compressed sectors of the recording whose checksum holds
// are decoded, event and auxiliary sectors passed over; anything else ends the span, and the read
// meets it itself.
void SpanDecoding::decode_span(std::FILE* file, size_t span, DecodedSpan& out, HeldTraces& held) {
    const SeekSpan& place = m_spans[span];
    if (!seek_file(file, place.first_sector * kSectorSize)) return;
    out.blocks.reserve(kSpanBlocks + kMostBlocksPerSector);
    out.leading.reserve(kComparedSectors);
    EcgDecoder decoder;
    if (m_source.recording_format == 33) decoder.preset_square_wave();
    decoder.set_decompression_index(place.resume_bit);
    Sector sector{};
    for (uint64_t index = place.first_sector; index < place.end_sector && !cut(span); ++index) {
        if (out.blocks.size() > kSpanBlocks) break;
        if (std::fread(sector.data(), 1, sector.size(), file) != sector.size()) break;
        if (sector_recording_num(sector) != m_source.recording_num) break;
        const SectorType type = sector_type_of(sector_type_byte(sector));
        if (!check_sector(*m_source.crc_table, sector, type.checksum)) break;
        const bool first = index == place.first_sector;
        const bool passed_over =
            type.kind == SectorKind::event || type.kind == SectorKind::twelve_lead_aux;
        if (passed_over && !first) continue;
        if (type.kind != SectorKind::compressed) break;
        if (!decode_sector(decoder, sector, index, out, held)) break;
        if (out.leading.size() < kComparedSectors) {
            out.leading.push_back(decoder);
            out.leading.back().detach_sector();
        }
    }
    out.at_end = decoder;
    out.at_end.detach_sector();
}

// Decodes one sector into the span; false, with the span and the decoder as they were before
// it, when the stream fails in it: the read then fails there itself.
bool SpanDecoding::decode_sector(EcgDecoder& decoder,
                                 std::span<const uint8_t, kCompressedSectorSize> sector,
                                 uint64_t index, DecodedSpan& out, HeldTraces& held) {
    const EcgDecoder before = decoder;
    const size_t first_block = out.blocks.size();
    const size_t first_trace = out.traces.size();
    for (;;) {
        const DecodeResult result = decoder.decode_sector(sector);
        if (std::string text = held.take(); !text.empty())
            out.traces.push_back({out.sectors.size(), out.blocks.size() - first_block, text});
        if (!result.ok) {
            decoder = before;
            out.blocks.resize(first_block);
            out.traces.resize(first_trace);
            return false;
        }
        if (result.block_done) out.blocks.push_back(decoder.block());
        if (result.sector_done) break;
    }
    assert(out.blocks.size() - first_block <= kMostBlocksPerSector);
    out.sectors.push_back({index, first_block, out.blocks.size() - first_block});
    return true;
}
