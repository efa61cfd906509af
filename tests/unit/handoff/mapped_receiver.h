// A receiving analysis application inside the test process: it makes the named sections first,
// as a receiver that prepares them does, and reads counts, flags, samples and events back.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "handoff/section_layout.h"
#include "support/byte_order.h"
#include "support/mapped_section.h"

// A base name no other test or process uses.
inline std::string unique_base_name() {
    return "kado-unit-" +
           std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + "-";
}

class MappedReceiver {
  public:
    MappedReceiver(const SectionNames& names, int channels, uint32_t sample_bytes,
                   uint32_t event_bytes = kEventSectionSize) {
        m_control.create(names.control, kControlBlockSize, true);
        for (size_t n = 0; n < static_cast<size_t>(channels); ++n)
            m_samples[n].create(names.samples[n], sample_bytes, true);
        m_events.create(names.events, event_bytes, true);
    }

    uint32_t count(int channel) const { return field(channel, kSampleCountOffset); }
    uint32_t finished(int channel) const { return field(channel, kFinishedOffset); }
    std::vector<uint16_t> samples(int channel) const {
        const MappedSection& section = m_samples[static_cast<size_t>(channel)];
        std::vector<uint16_t> words(count(channel));
        for (size_t i = 0; i < words.size(); ++i)
            words[i] = get_u16le(section.view() + 2 * i);
        return words;
    }
    std::vector<int32_t> events() const {
        std::vector<int32_t> times(get_u32le(m_events.view()));
        for (size_t i = 0; i < times.size(); ++i)
            times[i] = static_cast<int32_t>(get_u32le(m_events.view() + 4 + 4 * i));
        return times;
    }
    MappedSection& control() { return m_control; }

  private:
    uint32_t field(int channel, size_t offset) const {
        return get_u32le(m_control.view() + kControlRecordSize * static_cast<size_t>(channel) +
                         offset);
    }

    MappedSection m_control;
    std::array<MappedSection, kMappedChannels> m_samples;
    MappedSection m_events;
};
