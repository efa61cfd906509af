#include "cardsim/lib/signal_source.h"

#include <iterator>

#include "support/byte_order.h"

namespace cardsim {

std::unique_ptr<SampleFileSource> SampleFileSource::open(const std::vector<std::string>& paths,
                                                         SampleScale scale) {
    std::vector<std::vector<int16_t>> leads;
    for (const std::string& path : paths) {
        std::ifstream in(path, std::ios::binary);
        if (!in) return nullptr;
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                         std::istreambuf_iterator<char>()};
        std::vector<int16_t> samples(bytes.size() / 2);
        for (size_t i = 0; i < samples.size(); ++i) {
            samples[i] = static_cast<int16_t>(get_u16le(&bytes[2 * i]));
        }
        if (samples.empty()) return nullptr;
        leads.push_back(std::move(samples));
    }
    if (leads.empty()) return nullptr;
    return std::unique_ptr<SampleFileSource>(new SampleFileSource(std::move(leads), scale));
}

void SampleFileSource::next(std::span<int32_t> values, bool& pulse) {
    pulse = false;
    for (size_t lead = 0; lead < values.size(); ++lead) {
        // Leads beyond the files given repeat the last file.
        const std::vector<int16_t>& samples =
            m_leads[lead < m_leads.size() ? lead : m_leads.size() - 1];
        const int32_t raw = samples[m_index % samples.size()];
        if (m_scale == SampleScale::twelve_bit) {
            values[lead] = (raw + 32768) >> 4;
        } else {
            values[lead] = raw == -32768 ? -32767 : raw;  // 0x8000 means no data
        }
    }
    ++m_index;
}

}  // namespace cardsim
