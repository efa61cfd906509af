#include "card_read_back.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <span>

#include "extract/crc16.h"
#include "extract/decoder.h"
#include "extract/recording_time.h"
#include "extract/sector_checksum.h"
#include "extract/sector_types.h"
#include "extract/start_sector.h"
#include "extract/start_sector_reader.h"
#include "extract/uncompressed_sector.h"
#include "support/byte_order.h"

namespace {

constexpr int64_t kRate = 128;

int64_t start_seconds(const Sector& sector) {
    const StartSector s = decode_start_sector(sector);
    return time_to_seconds(time_from_sector_bytes(s.recording_start_time));
}

class WordSink : public TimePointSink {
  public:
    WordSink(ReadBack& out, bool ten_bit, int& window)
        : m_out(out), m_ten_bit(ten_bit), m_window(window) {}
    bool begin_group() override { return true; }
    void time_point(std::span<const uint16_t> values, bool pace_pulse) override {
        uint16_t marks = 0;
        if (pace_pulse) {
            marks = 0x1000;
            m_window = 23;
        }
        if (m_window > 0) {
            marks |= 0x8000;
            --m_window;
        }
        for (size_t ch = 0; ch < values.size(); ++ch) {
            uint16_t value = values[ch] == 0 ? 1 : values[ch];
            if (m_ten_bit) value = static_cast<uint16_t>(value * 4);
            m_out.words[ch].push_back(static_cast<uint16_t>(value | marks));
        }
        ++m_points;
    }
    int64_t points() const { return m_points; }

  private:
    ReadBack& m_out;
    bool m_ten_bit;
    int& m_window;
    int64_t m_points = 0;
};

}  // namespace

std::vector<uint8_t> read_file_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

ReadBack read_back_card(const std::string& card_folder) {
    ReadBack out;
    const std::vector<uint8_t> file = read_file_bytes(card_folder + "/ecg.dat");
    const Crc16Table table;
    EcgDecoder decoder;
    int64_t position = 0;  // time points, the reader's clock since the start
    int64_t start = 0;
    uint16_t recording_num = 0;
    int window = 0;
    for (size_t offset = 0; offset + kSectorSize <= file.size(); offset += kSectorSize) {
        Sector sector;
        std::copy_n(file.begin() + static_cast<std::ptrdiff_t>(offset), kSectorSize,
                    sector.begin());
        const SectorType type = sector_type_of(sector[0]);
        if (out.channels != 0 && sector_recording_num(sector) != recording_num) break;
        if (!check_sector(table, sector, type.checksum)) {
            out.failure = "checksum of sector " + std::to_string(out.sectors);
            return out;
        }
        ++out.sectors;
        switch (type.kind) {
            case SectorKind::start: {
                if (out.channels == 0) {
                    out.channels = channels_of_format(decode_start_sector(sector).recording_format);
                    out.words.resize(out.channels == 12 ? 8 : static_cast<size_t>(out.channels));
                    recording_num = sector_recording_num(sector);
                    start = start_seconds(sector);
                } else {
                    const int64_t gap = start_seconds(sector) - start - position / kRate;
                    for (auto& words : out.words) {
                        words.insert(words.end(), static_cast<size_t>(gap * kRate),
                                     out.channels == 12 ? 0x8000 : 0);
                    }
                    position += gap * kRate;
                }
                decoder.reset_decoder();
                window = 0;
                break;
            }
            case SectorKind::packed:
            case SectorKind::delta: {
                if (has_patient_event(sector))
                    out.events.push_back(static_cast<double>(position) / kRate);
                WordSink sink(out, type.kind == SectorKind::packed, window);
                unpack_uncompressed_sector(sector, sink);
                position += sink.points();
                break;
            }
            case SectorKind::compressed: {
                for (DecodeResult r{}; !r.sector_done;) {
                    r = decoder.decode_sector(sector);
                    if (!r.ok) {
                        out.failure = "decoding sector " + std::to_string(out.sectors);
                        return out;
                    }
                    if (!r.block_done) continue;
                    const DecodedBlock& block = decoder.block();
                    for (size_t ch = 0; ch < out.words.size(); ++ch) {
                        for (size_t i = 0; i < kSamplesPerBlock; ++i) {
                            out.words[ch].push_back(
                                static_cast<uint16_t>(block.channels[ch][i] | block.marks[i]));
                        }
                    }
                    position += kRate;
                }
                break;
            }
            case SectorKind::twelve_lead: {
                const int pace = std::min<int>(sector[7], 6);
                for (int i = 0; i < pace; ++i)
                    out.pace_indices.push_back(
                        static_cast<uint32_t>(position + (sector[8 + i] >> 3)));
                for (size_t t = 0; t < 30; ++t) {
                    for (size_t lead = 0; lead < 8; ++lead)
                        out.words[lead].push_back(get_u16le(&sector[32 + 2 * (8 * t + lead)]));
                }
                position += 30;
                break;
            }
            case SectorKind::twelve_lead_aux:
            case SectorKind::event:
                break;
            case SectorKind::end:
                out.ok = true;
                return out;
        }
    }
    out.ok = true;
    return out;
}

ReadBack read_intended(const std::string& folder, int channels) {
    ReadBack out;
    out.channels = channels;
    const bool twelve = channels == 12;
    for (int i = 1; i <= (twelve ? 8 : channels); ++i) {
        const auto bytes =
            read_file_bytes(folder + (twelve ? "/lead" : "/channel") + std::to_string(i) + ".dat");
        std::vector<uint16_t> words(bytes.size() / 2);
        for (size_t k = 0; k < words.size(); ++k)
            words[k] = get_u16le(&bytes[2 * k]);
        out.words.push_back(std::move(words));
    }
    if (twelve) {
        const auto bytes = read_file_bytes(folder + "/pace.dat");
        for (size_t k = 0; k + 4 <= bytes.size(); k += 4)
            out.pace_indices.push_back(get_u32le(&bytes[k]));
    }
    std::ifstream events(folder + "/events.txt");
    for (double t = 0; events >> t;)
        out.events.push_back(t);
    out.ok = true;
    return out;
}

int64_t recording_start_seconds(const std::string& card_folder) {
    const Crc16Table table;
    Sector sector{};
    if (!read_first_start_sector(table, card_folder, sector).found) return -1;
    return start_seconds(sector);
}
