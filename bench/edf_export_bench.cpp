// A 24-hour three-channel recording (with paced beats and patient events) exported to EDF+, with
// its overview page, against the archive read of the same card in the same run: the export's
// records, annotations and strips must cost little more than the raw files (target ratio 1.3).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "cardsim/lib/card_writer.h"
#include "extract/card_read.h"

namespace {

namespace fs = std::filesystem;

double timed_read(const fs::path& card, const fs::path& out, OutputFormat format, bool& ok) {
    CCFDisk disk;
    disk.set_card_path(card.string());
    disk.m_read_settings = ReadSettings{0, 28, 60};
    const auto start = std::chrono::steady_clock::now();
    ok = read_card(disk, format, out.string()) && ok;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main() {
    const fs::path root = fs::temp_directory_path() / "kado-edf-export-bench";
    fs::remove_all(root);
    const fs::path card = root / "card", out = root / "out";
    fs::create_directories(out);

    cardsim::RecordingSpec description;
    description.format = 35;
    description.segments = {cardsim::Segment{24 * 3600, 0}};
    description.synth.pacing_rate = 70;
    for (int hour = 0; hour < 24; ++hour)
        description.events.push_back(hour * 3600.0 + 600);
    cardsim::RecordingResult result;
    std::string error;
    if (!cardsim::write_card(description, card.string(), "", result, error)) {
        std::printf("the card cannot be written: %s\n", error.c_str());
        return 1;
    }

    bool ok = true;
    double edf = 1e9, archive = 1e9;
    for (int run = 0; run < 3; ++run) {
        edf = std::min(edf, timed_read(card, out, kFormatEdf, ok));
        archive = std::min(archive, timed_read(card, out, kFormatArchive, ok));
    }
    std::printf(
        "24 h, 3 channels, compressed, paced: edf with overview %.2f s, archive %.2f s, "
        "edf/archive time ratio %.2f (target at most 1.3)%s\n",
        edf, archive, edf / archive, ok ? "" : "  (a read failed)");
    fs::remove_all(root);
    return ok ? 0 : 1;
}
