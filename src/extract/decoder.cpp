#include "extract/decoder.h"

#include <algorithm>
#include <cassert>

#include "extract/sample_codes.h"
#include "format/recording_constants.h"
#include "format/sector_types.h"
#include "support/trace.h"

namespace {

constexpr uint8_t kOneChannelSector = 0x21;
constexpr uint8_t kTwoChannelSector = 0x22;

}  // namespace

void EcgDecoder::reset_decoder() {
    m_reader.reset();
    m_phase = DecoderPhase::kBlockStart;
    m_channel = 0;
    m_resync_pending = true;
    m_pace.window_carry = 0;
}

bool EcgDecoder::set_decompression_index(uint16_t index) {
    m_channel = 0;
    if (!is_body_bit(index)) {
        // From the first body bit with the resync armed, the sector's own index places the reader.
        m_reader.reset();
        m_phase = DecoderPhase::kBlockStart;
        m_resync_pending = true;
        return false;
    }
    m_reader.set_position(index);
    m_phase = DecoderPhase::kPrime;
    m_resync_pending = false;
    return true;
}

void EcgDecoder::preset_square_wave() {
    BlockSamples& wave = m_block.channels[1];
    for (int i = 0; i < kSamplesPerBlock; ++i) {
        wave[i] = (i / kCalibrationHalfCycle) % 2 == 0 ? kCalibrationLow : kCalibrationHigh;
    }
}

DecodeResult EcgDecoder::decode_sector(std::span<const uint8_t, kCompressedSectorSize> sector) {
    DecodeResult result;
    m_reader.begin_sector(sector.data() + kStreamBodyOffset);
    if (m_phase == DecoderPhase::kPrime) {
        // Only loads the byte that holds the seek position; decoding starts with the next call.
        m_reader.prime();
        m_phase = DecoderPhase::kBlockStart;
    } else {
        while (!m_reader.sector_end() && !result.block_done) {
            if (!step(sector, result)) {
                result.ok = false;
                return result;
            }
        }
    }
    if (m_reader.sector_end()) {
        m_reader.finish_sector();
        m_resync_pending = true;
        result.sector_done = true;
    }
    return result;
}

bool EcgDecoder::step(std::span<const uint8_t, kCompressedSectorSize> sector,
                      DecodeResult& result) {
    switch (m_phase) {
        case DecoderPhase::kBlockStart:
            start_block(sector);
            break;
        case DecoderPhase::kNextPaceList:
            read_pace_list_step();
            break;
        case DecoderPhase::kChannelStart:
            start_channel();
            break;
        case DecoderPhase::kNibbleType:
            m_nibble_type = static_cast<int>(m_reader.read(3));
            m_phase = DecoderPhase::kSamples;
            m_sample_index = 1;
            break;
        case DecoderPhase::kSamples:
            if (!decode_samples()) return false;
            break;
        case DecoderPhase::kPrime:
            assert(false && "a primed decoder starts with a new sector");
            break;
    }
    if (m_phase == DecoderPhase::kSamples && m_sample_index == kSamplesPerBlock)
        complete_channel(sector[0], result);
    return true;
}

void EcgDecoder::start_block(std::span<const uint8_t, kCompressedSectorSize> sector) {
    // A block start among the previous sector's bytes is not the one this sector's index names;
    // the check waits for the next block start.
    const bool in_this_sector = m_reader.bit_position() >= kFirstBodyBit;
    if (m_resync_pending && in_this_sector) {
        m_resync_pending = false;
        resynchronise(sector_decompression_index(sector));
        // A block that now begins in the sector's last bytes has its pace list read after the
        // sector change, from the carried bytes and the next body, never past this sector.
        if (m_reader.sector_end()) return;
    }
    m_channel_present.fill(true);
    // Once per block: a channel-absent command and the pace list read after it share these marks,
    // so the window of a pulse late in the previous block survives the command.
    prefill_marks(m_pace, m_block.marks);
    read_pace_list_step();
}

void EcgDecoder::resynchronise(int index) {
    const int position = m_reader.bit_position();
    if (position == index) return;
    if (!is_body_bit(index)) {
        trace("Ignoring decompression index %d outside the sector body\n", index);
        return;
    }
    trace("Resetting decompression index, should be: %d, but it is: %d, cecg_index : %d\n", index,
          position, m_reader.byte_index());
    m_reader.set_position(index);
    m_reader.prime();
}

void EcgDecoder::read_pace_list_step() {
    const PaceListKind kind = read_pace_list(m_reader, m_pace, m_channel_present, m_block.marks);
    m_phase =
        kind == PaceListKind::kPulses ? DecoderPhase::kChannelStart : DecoderPhase::kNextPaceList;
}

void EcgDecoder::start_channel() {
    BlockSamples& samples = m_block.channels[m_channel];
    if (!m_channel_present[m_channel]) {
        samples.fill(0);
        m_phase = DecoderPhase::kSamples;
        m_sample_index = kSamplesPerBlock;
        return;
    }
    const int high = static_cast<int>(m_reader.read(5));
    m_channel_level.level = high * 32 + static_cast<int>(m_reader.read(5));
    m_channel_level.previous_magnitude = 0;
    samples[0] = sample_of_level(m_channel_level.level);
    m_phase = DecoderPhase::kNibbleType;
}

bool EcgDecoder::decode_samples() {
    const int next = decode_sample_run(m_reader, m_nibble_type, m_channel_level,
                                       m_block.channels[m_channel], m_sample_index);
    if (next < 0) {
        trace("decompression used a non-valid nibble-type\n");
        return false;
    }
    m_sample_index = next;
    return true;
}

void EcgDecoder::complete_channel(uint8_t sector_type, DecodeResult& result) {
    // The type of the sector in which the channel ends decides how many channels a block has.
    const bool last = m_channel == kMaxStreamChannels - 1 ||
                      (m_channel == 0 && sector_type == kOneChannelSector) ||
                      (m_channel == 1 && sector_type == kTwoChannelSector);
    if (last) {
        m_channel = 0;
        m_phase = DecoderPhase::kBlockStart;
        result.block_done = true;
    } else {
        ++m_channel;
        m_phase = DecoderPhase::kChannelStart;
    }
}

bool same_stream_state(const EcgDecoder& a, const EcgDecoder& b) {
    return a.m_reader.same_stream_state(b.m_reader) && a.m_phase == b.m_phase &&
           a.m_sample_index == b.m_sample_index && a.m_nibble_type == b.m_nibble_type &&
           a.m_channel_level == b.m_channel_level && a.m_channel == b.m_channel &&
           a.m_channel_present == b.m_channel_present && a.m_resync_pending == b.m_resync_pending &&
           a.m_pace.window_carry == b.m_pace.window_carry && a.m_block == b.m_block;
}
