// The memory-mapped read of a 24-hour three-channel compressed recording (a simulator card, so
// that the decoder meets a realistic signal), in samples per second, against the archive read of
// the same card in the same run. The receiver's sections are made by the benchmark first, as an
// analysis application makes them, so that both reads write every sample once.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_common.h"
#include "extract/card_read.h"
#include "handoff/section_layout.h"
#include "support/mapped_section.h"

namespace {

namespace fs = std::filesystem;

double timed_read(const fs::path& card, const fs::path& out, OutputFormat format,
                  const OutputSettings& settings, bool& ok) {
    CCFDisk disk;
    disk.set_card_path(card.string());
    disk.m_read_settings = ReadSettings{0, 192, 60};
    const auto start = std::chrono::steady_clock::now();
    ok = read_card(disk, format, out.string(), settings) && ok;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main() {
    const fs::path root = fs::temp_directory_path() / "kado-mapped-read-bench";
    fs::remove_all(root);
    const fs::path card = root / "card", out = root / "out";
    fs::create_directories(out);

    cardsim::RecordingResult result;
    if (!write_day_card(card.string(), result)) return 1;

    OutputSettings settings;
    settings.mmf_base_name = "kado-mapped-read-bench-";
    const SectionNames names = card_road_names(settings.mmf_base_name);
    MappedSection control(names.control, kControlBlockSize, true);
    MappedSection events(names.events, kEventSectionSize, true);
    MappedSection channels[kMappedChannels];
    for (int n = 0; n < kMappedChannels; ++n)
        channels[n].create(names.samples[static_cast<size_t>(n)], kSampleSectionSize, true);

    bool ok = true;
    std::vector<double> mapped_runs, archive_runs;
    for (int run = 0; run < 5; ++run) {
        mapped_runs.push_back(timed_read(card, out, kFormatMmf, settings, ok));
        archive_runs.push_back(timed_read(card, out, kFormatArchive, settings, ok));
    }
    const double mapped = median(mapped_runs), archive = median(archive_runs);
    // Every channel of the mapped read holds the preamble and the day.
    const double samples = 3.0 * static_cast<double>(result.time_points + 80 * 128);
    std::printf(
        "24 h, 3 channels, compressed: mapped %.2f s (%.1f M samples/s), archive %.2f s "
        "(%.1f M samples/s), mapped/archive time ratio %.2f%s\n",
        mapped, samples / mapped / 1e6, archive, samples / archive / 1e6, mapped / archive,
        ok ? "" : "  (a read failed)");
    fs::remove_all(root);
    return ok ? 0 : 1;
}
