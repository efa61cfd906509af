#include "cardsim/lib/intended_output.h"

#include <cstdio>

#include "format/sector_types.h"
#include "support/byte_order.h"

namespace cardsim {
namespace {

constexpr int kTwelveLeads = 12;
constexpr int kLeadFiles = 8;
// Of a data sector with a checksum a read keeps the descrambled header and side area.
constexpr size_t kKeptHeaderBytes = 32;

// How many leading bytes of a sector of this type a read appends to other.dat.
size_t other_bytes_of(uint8_t type) {
    switch (sector_type_of(type).kind) {
        case SectorKind::start:
        case SectorKind::event:
            return kSectorSize;
        case SectorKind::packed:
        case SectorKind::delta:
        case SectorKind::twelve_lead:
            return kKeptHeaderBytes;
        default:
            return 0;
    }
}

std::unique_ptr<std::ofstream> create_file(const std::string& folder, const std::string& name) {
    auto file =
        std::make_unique<std::ofstream>(folder + "/" + name, std::ios::binary | std::ios::trunc);
    if (!*file) return nullptr;
    return file;
}

}  // namespace

std::unique_ptr<IntendedOutput> IntendedOutput::create(const std::string& folder, int channels) {
    std::unique_ptr<IntendedOutput> out(new IntendedOutput(folder, channels));
    const bool twelve_lead = channels == kTwelveLeads;
    const int files = twelve_lead ? kLeadFiles : channels;
    for (int i = 1; i <= files; ++i) {
        auto file =
            create_file(folder, (twelve_lead ? "lead" : "channel") + std::to_string(i) + ".dat");
        if (!file) return nullptr;
        out->m_files.push_back(std::move(file));
    }
    out->m_other = create_file(folder, "other.dat");
    if (!out->m_other) return nullptr;
    if (twelve_lead) {
        out->m_pace = create_file(folder, "pace.dat");
        if (!out->m_pace) return nullptr;
    }
    return out;
}

void IntendedOutput::put_words(int channel, std::span<const uint16_t> words) {
    m_bytes.resize(2 * words.size());
    for (size_t i = 0; i < words.size(); ++i) {
        put_u16le(reinterpret_cast<uint8_t*>(&m_bytes[2 * i]), words[i]);
    }
    m_files[static_cast<size_t>(channel)]->write(m_bytes.data(),
                                                 static_cast<std::streamsize>(m_bytes.size()));
}

void IntendedOutput::put_gap(int64_t count) {
    const uint16_t word = m_channels == kTwelveLeads ? kTwelveLeadNoData : kNoDataWord;
    const std::vector<uint16_t> second(128, word);
    for (size_t ch = 0; ch < m_files.size(); ++ch) {
        for (int64_t done = 0; done < count;) {
            const int64_t n = std::min<int64_t>(count - done, 128);
            put_words(static_cast<int>(ch), std::span(second).first(static_cast<size_t>(n)));
            done += n;
        }
    }
}

void IntendedOutput::put_pace_index(uint32_t index) {
    uint8_t bytes[4];
    put_u32le(bytes, index);
    m_pace->write(reinterpret_cast<const char*>(bytes), 4);
}

uint64_t IntendedOutput::put_other(std::span<const uint8_t> sector) {
    const uint64_t offset = m_other_size;
    const size_t count = std::min(sector.size(), other_bytes_of(sector[0]));
    m_other->write(reinterpret_cast<const char*>(sector.data()),
                   static_cast<std::streamsize>(count));
    m_other_size += count;
    return offset;
}

void IntendedOutput::rewrite_other(uint64_t offset, std::span<const uint8_t> sector) {
    m_other->seekp(static_cast<std::streamoff>(offset));
    m_other->write(reinterpret_cast<const char*>(sector.data()),
                   static_cast<std::streamsize>(sector.size()));
    m_other->seekp(0, std::ios::end);
}

bool IntendedOutput::write_events(const std::vector<double>& seconds) {
    // Line feeds only, so that both builds write the same bytes.
    std::ofstream out(m_folder + "/events.txt", std::ios::binary | std::ios::trunc);
    for (double s : seconds) {
        char line[32];
        std::snprintf(line, sizeof line, "%.2f\n", s);
        out << line;
    }
    return static_cast<bool>(out);
}

bool IntendedOutput::close() {
    bool good = true;
    for (auto& file : m_files) {
        file->close();
        good = good && !file->fail();
    }
    m_other->close();
    good = good && !m_other->fail();
    if (m_pace) {
        m_pace->close();
        good = good && !m_pace->fail();
    }
    return good;
}

}  // namespace cardsim
