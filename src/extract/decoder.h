// Decoder of the compressed ECG stream of sector types 0x21, 0x22 and 0x23 (one, two or three
// channels). The extraction pipeline owns one decoder per read, feeds it the checked sectors of
// the recording in order and, after every completed block, writes block() as one second.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "extract/bit_reader.h"
#include "extract/decoded_block.h"
#include "extract/pace_list.h"
#include "extract/sample_codes.h"

// Where the decoder stands in the stream: the step the next bits belong to.
enum class DecoderPhase {
    // A seek placed the reader; the byte that holds its bit is loaded with the next sector.
    kPrime,
    kBlockStart,
    // The pace list runs on (it may take several steps).
    kNextPaceList,
    kChannelStart,
    kNibbleType,
    // Samples of the current channel from m_sample_index; at kSamplesPerBlock the channel is done.
    kSamples,
};

struct DecodeResult {
    bool ok = true;
    // The sector's bytes are used up: go on with the next sector.
    bool sector_done = false;
    // block() holds a complete second; use it before the next call overwrites it.
    bool block_done = false;
};

class EcgDecoder {
  public:
    EcgDecoder() { reset_decoder(); }

    // A new bit stream begins: at the start sector of a compressed recording.
    void reset_decoder();
    // Continues at bit `index` (counted from sector byte 0) of the next sector given to
    // decode_sector, where a block begins; used when a read skips to a seek point. An index
    // outside the sector body cannot name a block start: the decoder then takes the block start
    // from that sector's own decompression index instead, and the call returns false.
    bool set_decompression_index(uint16_t index);
    // Decodes from `sector` until a block is complete or the sector is used up (both may happen in
    // one call). Call again with the same sector until sector_done. ok is false only for an
    // undefined nibble type.
    DecodeResult decode_sector(std::span<const uint8_t, kCompressedSectorSize> sector);

    // A one-channel recording hands a square wave out as channel 2 (32 samples low, 32 high),
    // preset once before decoding; the decoder never writes that channel for such sectors.
    void preset_square_wave();

    // Whether the next bits begin a block, and where the reader stands (bit of the current sector,
    // below the first body bit while it is still among the previous sector's carried bytes).
    bool at_block_start() const {
        return m_phase == DecoderPhase::kBlockStart || m_phase == DecoderPhase::kPrime;
    }
    int bit_position() const { return m_reader.bit_position(); }

    const DecodedBlock& block() const { return m_block; }

    // A decoder copied out of another thread's work: see BitReader::detach_sector().
    void detach_sector() { m_reader.detach_sector(); }
    // Whether two decoders that are given the same sectors from here on complete the same blocks
    // and trace the same lines: every field but the reader's body and the last pace list's
    // pulses, which only describe that list (its window carry does count).
    friend bool same_stream_state(const EcgDecoder& a, const EcgDecoder& b);
    const PaceList& pace_list() const { return m_pace; }

  private:
    bool step(std::span<const uint8_t, kCompressedSectorSize> sector, DecodeResult& result);
    void start_block(std::span<const uint8_t, kCompressedSectorSize> sector);
    void resynchronise(int index);
    void read_pace_list_step();
    void start_channel();
    bool decode_samples();
    void complete_channel(uint8_t sector_type, DecodeResult& result);

    BitReader m_reader;
    DecoderPhase m_phase = DecoderPhase::kBlockStart;
    int m_sample_index = 0;
    int m_nibble_type = 0;
    ChannelLevel m_channel_level;
    int m_channel = 0;
    ChannelPresence m_channel_present{};
    // The first block start inside a new sector is checked against its decompression index.
    bool m_resync_pending = true;
    PaceList m_pace;
    DecodedBlock m_block;
};
