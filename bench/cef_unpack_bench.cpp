// Unpacking a 24-hour three-channel CEF archive with packed members (extract_all through the szip
// tool), against gzip -d of the same members in the same run. The floor is the plainest way to
// unpack the same bytes; the ratio shows what the archive reader adds around the tool.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "cef/cef_archive.h"
#include "cefpack/cef_writer.h"
#include "support/file_utils.h"
#include "szip/gzip_codec.h"

namespace {

namespace fs = std::filesystem;

constexpr size_t kDayWords = 24 * 3600 * 128;

template <typename Work>
double seconds_of(Work work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// An ECG-like channel: a slow wave with a beat every 100 samples and a few bits of noise, 12 bits.
std::string channel(int n) {
    std::string bytes(2 * kDayWords, '\0');
    uint32_t noise = static_cast<uint32_t>(n);
    for (size_t i = 0; i < kDayWords; ++i) {
        noise = noise * 1664525u + 1013904223u;
        const unsigned beat = i % 100 < 6 ? 600 : 0;
        const unsigned word =
            (2048 + (i / 7 + static_cast<size_t>(n) * 31) % 200 + beat + (noise >> 28)) & 0x0FFF;
        bytes[2 * i] = static_cast<char>(word & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(word >> 8);
    }
    return bytes;
}

void write(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace

int main(int, char** argv) {
    const fs::path root = fs::temp_directory_path() / "kado-cef-unpack-bench";
    fs::remove_all(root);
    fs::create_directories(root / "gz");
    const std::string szip = (fs::path(argv[0]).parent_path().parent_path() / "szip").string();
    cefpack::Archive archive;
    archive.patient_text = "Name=Bench\r\n";
    archive.pack = true;
    std::string gunzip = "gzip -d -f";
    for (int n = 1; n <= 3; ++n) {
        archive.channels.push_back({channel(n), 0, 0});
        const fs::path packed = root / "gz" / ("RAWECG" + std::to_string(n) + ".DAT.gz");
        write(packed, szip::pack_bytes(archive.channels.back().bytes));
        gunzip += " " + packed.string();
    }
    write(root / "day.cef", cefpack::build_archive(archive));
    bool ok = true;
    double reader = 1e9, floor = 1e9;
    for (int run = 0; run < 3; ++run) {
        fs::remove_all(root / "target");
        reader = std::min(reader, seconds_of([&] {
                              CCefArchive cef;
                              ok = cef.open(szip, (root / "day.cef").string(),
                                            (root / "target").string()) &&
                                   cef.extract_all() && ok;
                          }));
        for (int n = 1; n <= 3; ++n) {
            const fs::path gz = root / "gz" / ("RAWECG" + std::to_string(n) + ".DAT.gz");
            write(gz, szip::pack_bytes(archive.channels[static_cast<size_t>(n) - 1].bytes));
        }
        floor = std::min(floor, seconds_of([&] { ok = std::system(gunzip.c_str()) == 0 && ok; }));
    }
    for (int n = 1; n <= 3; ++n)
        ok = fs::file_size(root / "target" / ("RAWECG" + std::to_string(n) + ".DAT")) ==
                 2 * kDayWords &&
             ok;
    std::printf("archive of %.1f MiB, %.1f MiB unpacked\n",
                static_cast<double>(fs::file_size(root / "day.cef")) / 1048576.0,
                6.0 * kDayWords / 1048576.0);
    std::printf("extract_all with szip: %.3f s\ngzip -d of the members: %.3f s\nratio: %.2f\n",
                reader, floor, reader / floor);
    fs::remove_all(root);
    return ok ? 0 : 1;
}
