#include "cardsim/lib/recording_writer.h"

#include <algorithm>
#include <bitset>
#include <cmath>
#include <memory>

#include "cardsim/lib/compressed_stream.h"
#include "cardsim/lib/ecg_file.h"
#include "cardsim/lib/event_table.h"
#include "cardsim/lib/pace_pattern.h"
#include "cardsim/lib/start_sector_builder.h"
#include "cardsim/lib/twelve_lead_encoder.h"
#include "cardsim/lib/uncompressed_encoder.h"
#include "format/sector_types.h"

namespace cardsim {
namespace {

constexpr int64_t kRate = 128;

int64_t ceil_seconds(int64_t time_points) {
    return (time_points + kRate - 1) / kRate;
}

uint8_t data_sector_type(int format) {
    switch (format) {
        case 1:
            return 0x01;
        case 2:
            return 0x02;
        case 4:
            return 0x04;
        case 5:
            return 0x05;
        case 33:
            return 0x21;
        case 34:
            return 0x22;
        case 35:
            return 0x23;
        case 48:
            return 0x30;
        default:
            return 0x40;
    }
}

uint8_t event_sector_type(int format) {
    if (format == 48) return 0x31;
    if (format >= 64) return 0x42;
    return 0x20;
}

// The signal as the recorder samples it: the source's values and pulses, with the test pattern
// in place of the pulses when asked for.
class Sampler {
  public:
    Sampler(SignalSource& source, int leads, bool pace_pattern)
        : m_source(source), m_values(static_cast<size_t>(leads)), m_pace_pattern(pace_pattern) {}

    // Samples time point `position` of the recording's time axis.
    std::span<const int32_t> next(int64_t position, bool& pulse) {
        m_source.next(m_values, pulse);
        if (m_pace_pattern) {
            const int64_t second = position / kRate;
            if (second != m_pattern_second) {
                m_pattern.reset();
                for (uint8_t p : pace_test_pattern(second))
                    m_pattern.set(p);
                m_pattern_second = second;
            }
            pulse = m_pattern.test(static_cast<size_t>(position % kRate));
        }
        return m_values;
    }

  private:
    SignalSource& m_source;
    std::vector<int32_t> m_values;
    bool m_pace_pattern;
    std::bitset<kRate> m_pattern;
    int64_t m_pattern_second = -1;
};

class RecordingWriter {
  public:
    RecordingWriter(const RecordingSpec& description, SignalSource& source, EcgFile& file,
                    IntendedOutput* intended)
        : m_spec(description),
          m_channels(channels_of_format(static_cast<uint8_t>(description.format))),
          m_type(data_sector_type(description.format)),
          m_event_table(is_event_table_format(static_cast<uint8_t>(description.format))),
          m_sampler(source, m_channels == 12 ? kStoredLeads : m_channels, description.pace_pattern),
          m_file(file),
          m_intended(intended),
          m_block_encoder(description.nibbles) {
        m_pending_events = description.events;
        std::sort(m_pending_events.begin(), m_pending_events.end());
    }

    void write(RecordingResult& result) {
        for (size_t i = 0; i < m_spec.segments.size(); ++i) {
            int64_t clock = 0;
            if (i == 0) {
                put_start_sector(first_start_sector_type(m_spec.format), 0, true);
                if (m_event_table) m_file.reserve_event_slot(0);
            } else {
                // The recorder resumes on a whole second; the reader fills the pause with
                // whole seconds counted from its own clock, which may have run into a fraction.
                clock = ceil_seconds(m_position) + m_spec.segments[i - 1].pause_after;
                const int64_t gap = kRate * (clock - m_position / kRate);
                if (gap > 0) {
                    if (m_intended) m_intended->put_gap(gap);
                    m_position += gap;
                }
                put_start_sector(m_spec.resume_type, clock, false);
            }
            m_window.close();
            m_file.begin_segment(clock);
            write_segment(m_spec.segments[i].seconds);
        }
        result.time_points = m_position;
        result.events = m_recorded_events;
    }

    // Patient events of the event-table formats become type-3 records.
    std::vector<EventRecord> patient_event_records() const {
        std::vector<EventRecord> records;
        for (double seconds : m_recorded_events) {
            records.push_back({kRecordPatientEvent, static_cast<int64_t>(seconds), 0, 0});
        }
        return records;
    }

  private:
    void put_start_sector(uint8_t type, int64_t clock, bool first) {
        SectorBytes sector{};
        build_start_sector(m_spec, type, civil_time_at(seconds_since_2000(m_spec.start) + clock),
                           first, sector);
        m_file.put_sector(sector);
    }

    void write_segment(int64_t seconds) {
        const int64_t end = m_position + seconds * kRate;
        const int64_t segment_start = m_position;
        if (m_type >= 0x21 && m_type <= 0x23) {
            CompressedStream stream(m_type, m_spec.recording_num, m_file);
            while (m_position < end)
                write_block(stream);
            stream.finish();
        } else if (m_type == 0x40) {
            while (m_position < end)
                write_twelve_lead_sector();
        } else {
            while (m_position < end)
                write_uncompressed_sector();
        }
        if (m_event_table) take_table_events(segment_start, m_position);
    }

    // Events the recorder marks in the data sectors: the sector that covers the event's time
    // carries the event bit, and the reader dates it by the sector's start.
    bool take_sector_event(int64_t from, int64_t to) {
        bool marked = false;
        while (!m_pending_events.empty() &&
               m_pending_events.front() * kRate < static_cast<double>(to)) {
            if (m_pending_events.front() * kRate >= static_cast<double>(from)) marked = true;
            m_pending_events.erase(m_pending_events.begin());
        }
        if (marked) m_recorded_events.push_back(static_cast<double>(from) / kRate);
        return marked;
    }

    // Events the event table records, dated to the whole second; events during a pause are
    // not recorded.
    void take_table_events(int64_t from, int64_t to) {
        while (!m_pending_events.empty() &&
               m_pending_events.front() * kRate < static_cast<double>(to)) {
            const double seconds = std::floor(m_pending_events.front());
            if (m_pending_events.front() * kRate >= static_cast<double>(from)) {
                m_recorded_events.push_back(seconds);
            }
            m_pending_events.erase(m_pending_events.begin());
        }
    }

    bool channel_present(int channel, int64_t second) const {
        for (const ChannelAbsence& a : m_spec.absences) {
            if (a.channel == channel && second >= a.from && second < a.to) return false;
        }
        return true;
    }

    void write_block(CompressedStream& stream) {
        BlockInput& input = m_block_input;
        input.channels = m_channels;
        input.pulses.clear();
        for (int t = 0; t < kBlockSamples; ++t) {
            bool pulse = false;
            const auto values = m_sampler.next(m_position + t, pulse);
            for (int ch = 0; ch < m_channels; ++ch) {
                input.targets[static_cast<size_t>(ch)][static_cast<size_t>(t)] =
                    static_cast<uint16_t>(values[static_cast<size_t>(ch)]);
            }
            if (pulse) input.pulses.push_back(static_cast<uint8_t>(t));
        }
        const int64_t second = m_position / kRate;
        for (int ch = 0; ch < m_channels; ++ch)
            input.present[static_cast<size_t>(ch)] = channel_present(ch, second);

        stream.begin_block(m_position);
        m_block_encoder.encode(input, stream.writer(), m_block_result);
        stream.emit_complete_sectors();

        std::bitset<kBlockSamples> kept;
        for (uint8_t p : m_block_result.pulses)
            kept.set(p);
        std::array<uint16_t, kBlockSamples> marks{};
        for (size_t t = 0; t < kBlockSamples; ++t)
            marks[t] = m_window.marks(kept.test(t));
        if (m_intended) {
            for (int ch = 0; ch < m_channels; ++ch) {
                BlockChannel words = m_block_result.samples[static_cast<size_t>(ch)];
                for (size_t t = 0; t < kBlockSamples; ++t)
                    words[t] |= marks[t];
                m_intended->put_words(ch, words);
            }
        }
        m_position += kBlockSamples;
    }

    void write_uncompressed_sector() {
        const UncompressedLayout layout = uncompressed_layout_of(m_type);
        UncompressedInput& input = m_uncompressed_input;
        input.pulses.clear();
        for (int t = 0; t < layout.time_points; ++t) {
            bool pulse = false;
            const auto values = m_sampler.next(m_position + t, pulse);
            for (int ch = 0; ch < layout.channels; ++ch) {
                input.targets[static_cast<size_t>(ch)][static_cast<size_t>(t)] =
                    static_cast<uint16_t>(values[static_cast<size_t>(ch)]);
            }
            if (pulse) input.pulses.push_back(static_cast<uint8_t>(t));
        }
        input.patient_event =
            !m_event_table && take_sector_event(m_position, m_position + layout.time_points);

        SectorBytes sector{};
        encode_uncompressed_sector(m_type, m_spec.recording_num, input, sector,
                                   m_uncompressed_result);
        const uint32_t number = m_file.put_data_sector(sector, m_position);
        m_file.unit_begins(m_position, number, kFirstBodyBit);

        std::bitset<kMaxSectorTimePoints> kept;
        for (uint8_t p : m_uncompressed_result.pulses)
            kept.set(p);
        std::array<uint16_t, kMaxSectorTimePoints> marks{};
        for (size_t t = 0; t < static_cast<size_t>(layout.time_points); ++t)
            marks[t] = m_window.marks(kept.test(t));
        if (m_intended) {
            for (int ch = 0; ch < layout.channels; ++ch) {
                SectorChannel words = m_uncompressed_result.samples[static_cast<size_t>(ch)];
                for (size_t t = 0; t < static_cast<size_t>(layout.time_points); ++t)
                    words[t] |= marks[t];
                m_intended->put_words(
                    ch, std::span(words).first(static_cast<size_t>(layout.time_points)));
            }
        }
        m_position += layout.time_points;
    }

    void write_twelve_lead_sector() {
        TwelveLeadInput& input = m_twelve_lead_input;
        input.pulses.clear();
        for (int t = 0; t < kTwelveLeadTimePoints; ++t) {
            bool pulse = false;
            const auto values = m_sampler.next(m_position + t, pulse);
            for (int lead = 0; lead < kStoredLeads; ++lead) {
                input.samples[static_cast<size_t>(t)][static_cast<size_t>(lead)] =
                    static_cast<int16_t>(values[static_cast<size_t>(lead)]);
            }
            if (pulse) input.pulses.push_back(static_cast<uint8_t>(t));
        }
        SectorBytes sector{};
        const int kept = encode_twelve_lead_sector(m_spec.recording_num, input, sector);
        const uint32_t number = m_file.put_data_sector(sector, m_position);
        m_file.unit_begins(m_position, number, kFirstBodyBit);
        if (m_spec.aux_every > 0 &&
            ++m_twelve_lead_sectors % static_cast<uint64_t>(m_spec.aux_every) == 0) {
            encode_auxiliary_sector(m_spec.recording_num, m_aux_sectors++, sector);
            m_file.put_sector(sector);
        }
        if (m_intended) {
            for (int i = 0; i < kept; ++i) {
                m_intended->put_pace_index(
                    static_cast<uint32_t>(m_position + input.pulses[static_cast<size_t>(i)]));
            }
            std::array<uint16_t, kTwelveLeadTimePoints> words{};
            for (int lead = 0; lead < kStoredLeads; ++lead) {
                for (size_t t = 0; t < kTwelveLeadTimePoints; ++t) {
                    words[t] = static_cast<uint16_t>(input.samples[t][static_cast<size_t>(lead)]);
                }
                m_intended->put_words(lead, words);
            }
        }
        m_position += kTwelveLeadTimePoints;
    }

    const RecordingSpec& m_spec;
    int m_channels;
    uint8_t m_type;
    bool m_event_table;
    Sampler m_sampler;
    EcgFile& m_file;
    IntendedOutput* m_intended;
    BlockEncoder m_block_encoder;
    PacingWindow m_window;
    int64_t m_position = 0;
    std::vector<double> m_pending_events;
    std::vector<double> m_recorded_events;
    uint64_t m_twelve_lead_sectors = 0;
    uint32_t m_aux_sectors = 0;
    BlockInput m_block_input;
    BlockResult m_block_result;
    UncompressedInput m_uncompressed_input;
    UncompressedResult m_uncompressed_result;
    TwelveLeadInput m_twelve_lead_input;
};

}  // namespace

bool write_recording(const RecordingSpec& description, SignalSource& source,
                     const std::string& ecg_path, IntendedOutput* intended,
                     RecordingResult& result) {
    const bool event_table = is_event_table_format(static_cast<uint8_t>(description.format));
    EcgFileSettings settings;
    if (event_table) {
        settings.event_sector_type = event_sector_type(description.format);
        settings.seek_record_type =
            description.format >= 64 ? kRecordTwelveLeadSeekPoint : kRecordSeekPoint;
        settings.seek_interval = description.seek_interval;
        settings.event_sector_interval = description.event_sector_interval;
    }
    EcgFile file(settings, intended);
    if (!file.open(ecg_path)) return false;

    RecordingWriter writer(description, source, file, intended);
    writer.write(result);
    if (event_table)
        file.write_event_table(description.recording_num, description.start,
                               writer.patient_event_records(), description.event_chain_loop);
    result.sectors = file.sector_count();
    file.put_empty_sectors(1);
    return file.close();
}

}  // namespace cardsim
