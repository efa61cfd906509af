// Decoding of a compressed recording ahead of the read, on worker threads, between the seek points
// of its event table. A worker starts a fresh decoder at a seek point as the skip seek does,
// feeds it the sectors the read would feed it up to the next seek point, and keeps every
// completed block. The read decodes a span's first sectors itself and takes the worker's blocks
// for the rest of the span only once its own decoder stands exactly where the worker's stood after
// the same sector: from there on the same bytes give the same blocks. CEcgExtractor drives it; a
// wrong or missing seek point costs speed only.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "extract/decoded_block.h"
#include "extract/decoder.h"
#include "format/crc16.h"
#include "format/event_table.h"
#include "support/trace.h"

// Sectors [first_sector, end_sector) of ecg.dat, whose stream resumes at resume_bit of the first.
struct SeekSpan {
    uint64_t first_sector = 0;
    uint64_t end_sector = 0;
    uint16_t resume_bit = 0;
};

// The spans of the table's seek points at or after `next_sector` inside a file of `file_sectors`
// sectors, in file order. A seek point outside the file or the sector body, or a second one in
// the same sector, is left out; the last span runs to the end of the file.
std::vector<SeekSpan> seek_spans(const EventTable& table, uint64_t next_sector,
                                 uint64_t file_sectors);

// What a worker needs to read ecg.dat as the read does.
struct SpanSource {
    std::string card_path;
    const Crc16Table* crc_table = nullptr;
    uint16_t recording_num = 0;
    uint8_t recording_format = 0;
};

// A decoded sector of a span: its place in ecg.dat and its completed blocks.
struct DecodedSector {
    uint64_t index = 0;
    size_t first_block = 0;
    size_t blocks = 0;
};

// Lines the decoder traced in sector `sector` (a DecodedSpan::sectors index) before its block
// `before_block` completed.
struct SpanTrace {
    size_t sector = 0;
    size_t before_block = 0;
    std::string text;
};

// Sectors at the start of a span after which the read compares its decoder with the worker's.
// The read's decoder may still hold parts of the block before the seek point that the worker
// never saw; a block is shorter than a sector, so after the next sector that is past.
inline constexpr size_t kComparedSectors = 3;

// What a worker left of one span; the reading thread replays it sector by sector.
struct DecodedSpan {
    std::vector<DecodedSector> sectors;
    std::vector<DecodedBlock> blocks;
    std::vector<SpanTrace> traces;
    // The worker's decoder after each of the span's first sectors and after its last one.
    std::vector<EcgDecoder> leading;
    EcgDecoder at_end;
    // The reading thread's place: the next sector to decode or replay, the next trace to send
    // out, and whether the decoders agreed so that the blocks stand for the decoder's.
    size_t next_sector = 0;
    size_t next_trace = 0;
    bool agreed = false;

    bool replayed() const { return next_sector == sectors.size(); }
};

class SpanDecoding {
  public:
    // Starts `workers` threads (at least one) on the spans. With `read_waits` the read waits for
    // the worker of every span it reaches instead of stopping it there.
    SpanDecoding(SpanSource source, std::vector<SeekSpan> spans, int workers, bool read_waits);
    // Stops the workers at their next sector and joins them.
    ~SpanDecoding();
    SpanDecoding(const SpanDecoding&) = delete;
    SpanDecoding& operator=(const SpanDecoding&) = delete;

    // The reading thread is about to decode compressed sector `sector` itself. Spans it has now
    // reached or passed are no longer started, and one being decoded stops at its next sector.
    // Returns the span that begins at this sector.
    std::optional<size_t> enter(uint64_t sector);
    // What the workers decoded of a span that enter() returned, once they have stopped on it;
    // nothing when no worker started it.
    std::unique_ptr<DecodedSpan> take(size_t span);

  private:
    enum class SpanState : uint8_t { waiting, running, finished };

    void stop();
    void work();
    void decode_span(std::FILE* file, size_t span, DecodedSpan& out, HeldTraces& held);
    bool decode_sector(EcgDecoder& decoder, std::span<const uint8_t, kCompressedSectorSize> sector,
                       uint64_t index, DecodedSpan& out, HeldTraces& held);
    // The reading thread has reached the span, or the decoding stops.
    bool cut(size_t span) const {
        return m_entered.load(std::memory_order_relaxed) >= static_cast<int64_t>(span);
    }

    const SpanSource m_source;
    const std::vector<SeekSpan> m_spans;
    const int64_t m_window;
    const bool m_read_waits;
    // The last span the reading thread reached or passed; past every span once stopping.
    std::atomic<int64_t> m_entered{-1};
    // Guarded by m_mutex.
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_stopping = false;
    int m_running_workers = 0;
    size_t m_next_claim = 0;
    std::vector<SpanState> m_states;
    std::vector<std::unique_ptr<DecodedSpan>> m_results;
    // The reading thread's own: the first span it has not reached.
    size_t m_cursor = 0;
    std::vector<std::thread> m_workers;
};
