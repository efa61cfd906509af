// The archive read of a 24-hour three-channel compressed recording (a simulator card) against a
// general ECG converter doing the same job on an open format: BioSig's save2gdf turning an EDF+
// file of the same samples into per-channel binary files. The EDF+ file is written here from the
// read's own raw files, so that both programs emit the same samples. Needs save2gdf (Debian
// biosig-tools) on the path; times are medians of several runs in one process.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench_common.h"
#include "extract/card_read.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRuns = 5;
constexpr int kChannels = 3;

double seconds_of(const std::chrono::steady_clock::time_point& start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::vector<char> contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// An EDF header field: ASCII, left-aligned, padded with spaces.
void field(std::string& header, const std::string& text, size_t width) {
    header += text.substr(0, width) + std::string(width - std::min(width, text.size()), ' ');
}

// A continuous EDF+ recording of one-second records: the three channels' words as 16-bit
// integers and the annotation signal with each record's time-keeping entry.
bool write_edf(const fs::path& raw_folder, const fs::path& edf) {
    std::vector<std::vector<char>> channels;
    for (int c = 1; c <= kChannels; ++c)
        channels.push_back(contents(raw_folder / ("rawecg" + std::to_string(c) + ".dat")));
    const size_t records = channels[0].size() / (2 * 128);
    constexpr size_t kAnnotationBytes = 24;
    const int signals = kChannels + 1;
    std::string header;
    field(header, "0", 8);
    field(header, "X X X X", 80);
    field(header, "Startdate 14-MAY-2013 X X X", 80);
    field(header, "14.05.13", 8);
    field(header, "10.15.20", 8);
    field(header, std::to_string(256 * (signals + 1)), 8);
    field(header, "EDF+C", 44);
    field(header, std::to_string(records), 8);
    field(header, "1", 8);
    field(header, std::to_string(signals), 4);
    const auto per_signal = [&](auto value_of, size_t width) {
        for (int s = 0; s < signals; ++s)
            field(header, value_of(s, s == kChannels), width);
    };
    per_signal([](int s, bool a) { return a ? "EDF Annotations" : "ECG" + std::to_string(s + 1); },
               16);
    per_signal([](int, bool) { return std::string(); }, 80);
    per_signal([](int, bool a) { return std::string(a ? "" : "uV"); }, 8);
    per_signal([](int, bool) { return std::string("-32768"); }, 8);
    per_signal([](int, bool) { return std::string("32767"); }, 8);
    per_signal([](int, bool) { return std::string("-32768"); }, 8);
    per_signal([](int, bool) { return std::string("32767"); }, 8);
    per_signal([](int, bool) { return std::string(); }, 80);
    per_signal([](int, bool a) { return std::to_string(a ? kAnnotationBytes / 2 : 128); }, 8);
    per_signal([](int, bool) { return std::string(); }, 32);

    std::ofstream out(edf, std::ios::binary);
    out.write(header.data(), static_cast<std::streamsize>(header.size()));
    for (size_t r = 0; r < records; ++r) {
        for (const std::vector<char>& channel : channels)
            out.write(channel.data() + r * 256, 256);
        char annotation[kAnnotationBytes] = {};
        std::snprintf(annotation, sizeof annotation, "+%zu\x14\x14", r);
        out.write(annotation, sizeof annotation);
    }
    return static_cast<bool>(out);
}

}  // namespace

int main() {
    const fs::path root = fs::temp_directory_path() / "kado-converter-bench";
    fs::remove_all(root);
    const fs::path card = root / "card", out = root / "out", converted = root / "converted";
    fs::create_directories(out);
    fs::create_directories(converted);

    cardsim::RecordingResult result;
    if (!write_day_card(card.string(), result)) return 1;

    std::vector<double> reads;
    bool ok = true;
    for (int run = 0; run < kRuns; ++run) {
        CCFDisk disk;
        disk.set_card_path(card.string());
        disk.m_read_settings = ReadSettings{0, 192, 60};
        const auto start = std::chrono::steady_clock::now();
        ok = read_card(disk, kFormatArchive, out.string()) && ok;
        reads.push_back(seconds_of(start));
    }
    const fs::path edf = root / "recording.edf";
    if (!ok || !write_edf(out, edf)) {
        std::printf("the read or the EDF+ file failed\n");
        return 1;
    }
    const std::string command = "save2gdf -f=BIN \"" + edf.string() + "\" \"" +
                                (converted / "recording").string() + "\" > /dev/null 2>&1";
    std::vector<double> conversions;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = std::chrono::steady_clock::now();
        if (std::system(command.c_str()) != 0) {
            std::printf("save2gdf failed or is missing (Debian package biosig-tools)\n");
            return 1;
        }
        conversions.push_back(seconds_of(start));
    }
    const double read = median(reads), conversion = median(conversions);
    std::printf(
        "24 h, 3 channels: kado archive read %.3f s (ecg.dat %.1f MB); save2gdf EDF+ to BIN "
        "%.3f s (EDF+ %.1f MB); save2gdf / kado %.2f\n",
        read, static_cast<double>(fs::file_size(card / "ecg.dat")) / 1e6, conversion,
        static_cast<double>(fs::file_size(edf)) / 1e6, conversion / read);
    fs::remove_all(root);
    return 0;
}
