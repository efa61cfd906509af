#include "handoff/cef_sections.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

#include "format/card_files.h"
#include "format/recording_constants.h"
#include "handoff/unpacked_folder.h"
#include "support/byte_order.h"
#include "support/file_seek.h"
#include "support/mapped_section.h"
#include "support/trace.h"

namespace {

constexpr int64_t kBytesPerHour = 2 * kTimePointsPerHour;
constexpr int64_t kSecondsPerHour = 3600;
constexpr size_t kPieceSize = 1 << 20;
constexpr size_t kLineChunk = 64;

std::string raw_file_name(int channel) {
    return "RAWECG" + std::to_string(channel + 1) + ".DAT";
}

// The leading decimal number of a line, as atoi reads it but clamped to 32 bits instead of
// overflowing; none when the line holds no number, so that an empty line is no event at 0.
std::optional<int64_t> line_number(const char* text) {
    while (*text == ' ' || *text == '\t')
        ++text;
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    if (*text < '0' || *text > '9') return std::nullopt;
    int64_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        value = std::min<int64_t>(value * 10 + (*text - '0'), std::numeric_limits<int32_t>::max());
    return negative ? -value : value;
}

// PATEVENT.DAT: one event time per line, in seconds from the start of the recording. Times inside
// the window after the skip are published in file order, further ones beyond the list's 4096
// entries are dropped; the count is stored after the times it covers.
void publish_events(const std::string& folder, const ReadSettings& settings, uint8_t* list) {
    store_u32le_release(list, 0);
    const CardFile file = open_card_file_for_reading(folder, "PATEVENT.DAT");
    uint32_t count = 0;
    if (file) {
        const int64_t skip = int64_t{settings.skip_hours} * kSecondsPerHour;
        const int64_t window = int64_t{settings.record_length_hours} * kSecondsPerHour;
        std::array<char, kLineChunk> chunk{};
        bool line_start = true;
        while (count < kMaxListedEvents && std::fgets(chunk.data(), chunk.size(), file.get())) {
            const bool starts_line = line_start;
            line_start = std::strchr(chunk.data(), '\n') != nullptr;
            if (!starts_line) continue;  // the rest of an overlong line
            const std::optional<int64_t> time = line_number(chunk.data());
            if (!time || *time - skip < 0 || *time - skip >= window) continue;
            put_u32le(list + 4 + 4 * size_t{count}, static_cast<uint32_t>(*time - skip));
            ++count;
        }
    }
    store_u32le_release(list, count);
}

struct ChannelCopy {
    CardFile file;
    uint8_t* view = nullptr;
    uint8_t* record = nullptr;
    int64_t bytes = 0;
};

// Pass after pass, one piece per channel; a channel file that ends first ends the copy for all.
bool copy_samples(const std::string& folder, const ReadSettings& settings,
                  std::vector<ChannelCopy>& channels, int64_t limit) {
    const int64_t skip = int64_t{settings.skip_hours} * kBytesPerHour;
    for (size_t n = 0; n < channels.size(); ++n) {
        channels[n].file =
            open_card_file_for_reading(folder, raw_file_name(static_cast<int>(n)).c_str());
        if (!channels[n].file) return false;
    }
    if (static_cast<int64_t>(file_length(join_path(folder, raw_file_name(0)))) <= skip) {
        trace("RAWECG1.DAT ends before the skip of %d hours\n", settings.skip_hours);
        return false;
    }
    for (ChannelCopy& channel : channels)
        if (!seek_file(channel.file.get(), static_cast<uint64_t>(skip))) return false;

    std::vector<uint8_t> piece(kPieceSize, 0);
    for (bool ending = false; !ending;) {
        for (ChannelCopy& channel : channels) {
            int64_t got =
                static_cast<int64_t>(std::fread(piece.data(), 1, piece.size(), channel.file.get()));
            if (got == 0) return true;
            if (channel.bytes + got >= limit) {
                got = limit - channel.bytes;
                ending = true;
            }
            std::memcpy(channel.view + channel.bytes, piece.data(), static_cast<size_t>(got));
            channel.bytes += got;
            store_u32le_release(channel.record + kSampleCountOffset,
                                static_cast<uint32_t>(channel.bytes / 2));
        }
    }
    return true;
}

}  // namespace

bool write_cef_sections(const std::string& folder, const ReadSettings& settings,
                        const SectionNames& names) {
    const int count = folder_channel_count(folder);
    if (count == 0) return false;
    std::array<MappedSection, kMappedChannels> sections;
    // Sections a receiver made smaller than ours end every channel at the smallest one.
    int64_t limit = std::max<int64_t>(int64_t{settings.record_length_hours} * kBytesPerHour, 0);
    for (int n = 0; n < count; ++n) {
        MappedSection& section = sections[static_cast<size_t>(n)];
        if (!section.create(names.samples[static_cast<size_t>(n)], kSampleSectionSize, true))
            return false;
        limit = std::min(limit, static_cast<int64_t>(section.size() & ~size_t{1}));
    }
    MappedSection control(names.control, kControlBlockSize, true);
    if (control.view() == nullptr || control.size() < kControlBlockSize) return false;
    std::vector<ChannelCopy> channels(static_cast<size_t>(count));
    for (int n = 0; n < count; ++n) {
        ChannelCopy& channel = channels[static_cast<size_t>(n)];
        channel.view = sections[static_cast<size_t>(n)].view();
        channel.record = control_record(control.view(), n);
        store_u32le_release(channel.record + kFinishedOffset, 0);
        store_u32le_release(channel.record + kSampleCountOffset, 0);
    }

    MappedSection events(names.events, kEventSectionSize, true);
    bool copied = false;
    if (events.view() != nullptr && events.size() >= kEventSectionSize) {
        publish_events(folder, settings, events.view());
        copied = copy_samples(folder, settings, channels, limit);
    }
    // The receiver learns the end from the flags alone, so they are set on every road.
    for (const ChannelCopy& channel : channels)
        store_u32le_release(channel.record + kFinishedOffset, 1);
    return copied;
}
