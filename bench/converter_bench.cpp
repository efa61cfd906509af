// The archive read of a 24-hour three-channel compressed recording (a simulator card) against a
// general ECG converter doing the same job on an open format: BioSig's save2gdf turning an EDF+
// file of the same samples into per-channel binary files. The EDF+ file is the program's own export
// of the card, so that both programs emit the same samples. Needs save2gdf (Debian
// biosig-tools) on the path; times are medians of several runs in one process.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_common.h"
#include "extract/card_read.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRuns = 5;

double seconds_of(const std::chrono::steady_clock::time_point& start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
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
    CCFDisk exporter;
    exporter.set_card_path(card.string());
    exporter.m_read_settings = ReadSettings{0, 192, 60};
    const fs::path edf = root / "export" / "recording.edf";
    fs::create_directories(edf.parent_path());
    if (!ok || !read_card(exporter, kFormatEdf, edf.parent_path().string())) {
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
