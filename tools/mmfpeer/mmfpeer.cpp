// mmfpeer: receives a read through the named memory-mapped sections as the analysis application
// does, checking the protocol on the way, and writes what it received to files. See --help.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "handoff/section_layout.h"
#include "support/byte_order.h"
#include "support/mapped_section.h"

namespace {

constexpr const char* kHelp =
    "usage: mmfpeer [options]\n"
    "\n"
    "Stands in for the analysis application that receives kado's memory-mapped output. It\n"
    "polls the control block while kado writes, checks that every sample count only grows and\n"
    "stays inside its section and that no sample below a count changes afterwards, waits until\n"
    "every channel's finished flag is set, and writes what it received.\n"
    "\n"
    "Sections: <base>ECGCTRL.MMF (48 bytes), <base>RAWECG1.MMF to <base>RAWECG3.MMF and\n"
    "<base>Patient Events (16388 bytes).\n"
    "\n"
    "options:\n"
    "  --base=TEXT       put TEXT in front of every section name (kado's /basemmfname=)\n"
    "  --channels=N      sample sections to receive, 1 to 3 (default 3); the CEF road makes one\n"
    "                    per channel of the recording\n"
    "  --create=BYTES    make the sections first, the sample sections BYTES long, as a receiver\n"
    "                    that prepares them does; without it, wait until kado has made them and\n"
    "                    open them (kado must then still be writing when they appear)\n"
    "  --ready=FILE      create FILE (empty) once the sections are made, or, without --create,\n"
    "                    once it has begun to wait for them\n"
    "  --out=FOLDER      write channel1.dat to channelN.dat (the 16-bit little-endian samples\n"
    "                    below each final count) and events.txt (one event time per line, LF)\n"
    "  --timeout=SECONDS give up after this long (default 120)\n"
    "  --help            this text\n"
    "\n"
    "exit codes: 0 received and every check passed; 1 a check failed, a section could not be\n"
    "made or opened, or the timeout passed; 2 bad command line.\n";

struct Options {
    std::string base;
    int channels = kMappedChannels;
    uint32_t create_bytes = 0;
    std::string ready_file;
    std::string out_folder;
    int timeout_seconds = 120;
};

bool parse_options(int argc, char** argv, Options& options, bool& help) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&](const char* name) -> const char* {
            const size_t length = std::strlen(name);
            return arg.compare(0, length, name) == 0 ? arg.c_str() + length : nullptr;
        };
        if (arg == "--help") {
            help = true;
        } else if (const char* base = value("--base=")) {
            options.base = base;
        } else if (const char* channels = value("--channels=")) {
            options.channels = std::atoi(channels);
            if (options.channels < 1 || options.channels > kMappedChannels) return false;
        } else if (const char* bytes = value("--create=")) {
            const long long size = std::atoll(bytes);
            if (size < 2 || size > 0xFFFFFFFFLL) return false;
            options.create_bytes = static_cast<uint32_t>(size);
        } else if (const char* ready = value("--ready=")) {
            options.ready_file = ready;
        } else if (const char* out = value("--out=")) {
            options.out_folder = out;
        } else if (const char* timeout = value("--timeout=")) {
            options.timeout_seconds = std::atoi(timeout);
            if (options.timeout_seconds < 1) return false;
        } else {
            return false;
        }
    }
    return true;
}

// One channel as the receiver sees it: what it has copied so far, checked again on every poll.
class ChannelWatch {
  public:
    ChannelWatch(int channel, MappedSection& section, uint8_t* record)
        : m_channel(channel), m_section(section), m_record(record) {}

    // Copies the samples that a grown count covers and checks those copied on the poll before.
    bool poll() {
        const uint32_t count = load_u32le_acquire(m_record + kSampleCountOffset);
        if (count < m_copied.size())
            return fail("count went down from %zu to %u", m_copied.size(), count);
        if (count > m_section.size() / 2)
            return fail("count %u passes the section's %zu samples", count, m_section.size() / 2);
        if (!unchanged(m_checked_from, m_copied.size())) return false;
        m_checked_from = m_copied.size();
        for (size_t i = m_copied.size(); i < count; ++i)
            m_copied.push_back(get_u16le(m_section.view() + 2 * i));
        return true;
    }
    bool finished() const { return load_u32le_acquire(m_record + kFinishedOffset) == 1; }
    bool unchanged_from_start() const { return unchanged(0, m_copied.size()); }
    const std::vector<uint16_t>& samples() const { return m_copied; }

  private:
    bool unchanged(size_t from, size_t to) const {
        for (size_t i = from; i < to; ++i)
            if (get_u16le(m_section.view() + 2 * i) != m_copied[i])
                return fail("sample %zu changed below the count", i);
        return true;
    }
    template <typename... Args>
    bool fail(const char* format, Args... args) const {
        std::fprintf(stderr, "mmfpeer: channel %d: ", m_channel + 1);
        std::fprintf(stderr, format, args...);
        std::fputc('\n', stderr);
        return false;
    }

    int m_channel;
    MappedSection& m_section;
    uint8_t* m_record;
    std::vector<uint16_t> m_copied;
    size_t m_checked_from = 0;
};

struct Sections {
    MappedSection control;
    std::vector<MappedSection> samples = std::vector<MappedSection>(kMappedChannels);
    MappedSection events;
};

bool make_sections(const Options& options, const SectionNames& names, Sections& sections) {
    bool ok = sections.control.create(names.control, kControlBlockSize, true) &&
              sections.events.create(names.events, kEventSectionSize, true);
    for (int n = 0; ok && n < options.channels; ++n)
        ok = sections.samples[static_cast<size_t>(n)].create(names.samples[static_cast<size_t>(n)],
                                                             options.create_bytes, true);
    return ok && sections.control.created_here();
}

// Waits until kado has made every section; false at the deadline.
template <typename Clock>
bool open_sections(const Options& options, const SectionNames& names, Sections& sections,
                   typename Clock::time_point deadline) {
    while (Clock::now() < deadline) {
        bool ok = sections.control.open_existing(names.control, false) &&
                  sections.control.size() >= kControlBlockSize &&
                  sections.events.open_existing(names.events, false);
        for (int n = 0; ok && n < options.channels; ++n)
            ok = sections.samples[static_cast<size_t>(n)].open_existing(
                names.samples[static_cast<size_t>(n)], false);
        if (ok) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

bool write_outputs(const std::string& folder, const std::vector<ChannelWatch>& channels,
                   const MappedSection& events) {
    for (size_t n = 0; n < channels.size(); ++n) {
        std::ofstream file(folder + "/channel" + std::to_string(n + 1) + ".dat", std::ios::binary);
        for (const uint16_t word : channels[n].samples()) {
            const char bytes[2] = {static_cast<char>(word & 0xFF), static_cast<char>(word >> 8)};
            file.write(bytes, 2);
        }
        if (!file) return false;
    }
    std::ofstream list(folder + "/events.txt", std::ios::binary);
    const uint32_t count = std::min(get_u32le(events.view()), kMaxListedEvents);
    for (uint32_t i = 0; i < count; ++i)
        list << static_cast<int32_t>(get_u32le(events.view() + 4 + 4 * size_t{i})) << '\n';
    return static_cast<bool>(list);
}

int receive(const Options& options) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::seconds(options.timeout_seconds);
    const SectionNames names = card_road_names(options.base);
    Sections sections;
    const bool creating = options.create_bytes > 0;
    const auto signal_ready = [&] {
        if (!options.ready_file.empty()) std::ofstream(options.ready_file, std::ios::binary);
    };
    if (!creating) signal_ready();
    const bool have = creating ? make_sections(options, names, sections)
                               : open_sections<Clock>(options, names, sections, deadline);
    if (!have) {
        std::fprintf(stderr, "mmfpeer: the sections %sECGCTRL.MMF... cannot be %s\n",
                     options.base.c_str(), creating ? "made" : "opened");
        return 1;
    }
    if (creating) signal_ready();

    std::vector<ChannelWatch> channels;
    channels.reserve(static_cast<size_t>(options.channels));
    for (int n = 0; n < options.channels; ++n)
        channels.emplace_back(n, sections.samples[static_cast<size_t>(n)],
                              control_record(sections.control.view(), n));
    for (;;) {
        // The flags are read before the counts, so the last poll sees every final count.
        bool all_finished = true;
        for (const ChannelWatch& channel : channels)
            all_finished = channel.finished() && all_finished;
        for (ChannelWatch& channel : channels)
            if (!channel.poll()) return 1;
        if (all_finished) break;
        if (Clock::now() > deadline) {
            std::fprintf(stderr, "mmfpeer: not finished within %d s\n", options.timeout_seconds);
            return 1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    for (const ChannelWatch& channel : channels)
        if (!channel.unchanged_from_start()) return 1;
    if (!options.out_folder.empty() &&
        !write_outputs(options.out_folder, channels, sections.events)) {
        std::fprintf(stderr, "mmfpeer: cannot write into %s\n", options.out_folder.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    bool help = false;
    if (!parse_options(argc, argv, options, help)) {
        std::fputs("mmfpeer: bad command line (mmfpeer --help lists the options)\n", stderr);
        return 2;
    }
    if (help) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    return receive(options);
}
