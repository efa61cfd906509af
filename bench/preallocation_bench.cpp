// Preallocating a 2 GiB ecg.dat on a tmpfs card, against dd writing the same bytes from
// /dev/zero in 1 MiB blocks onto the same tmpfs in the same run. The file system is memory, so
// the ratio shows what the preallocation loop itself costs over the plainest possible write.
// Mounting needs root.
#include <sys/mount.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "card/ccf_disk.h"

namespace {

namespace fs = std::filesystem;

// The largest ecg.dat: 2^31 - 1 bytes in whole sectors.
constexpr uint64_t kEcgBytes = 4194303ull * 512;

template <typename Work>
double seconds_of(Work work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main() {
    const fs::path root = fs::temp_directory_path() / "kado-preallocation-bench";
    const fs::path card = root / "card";
    fs::create_directories(card);
    fs::create_directories(root / "drives");
    if (mount("tmpfs", card.c_str(), "tmpfs", 0, "size=2200m") != 0) {
        std::printf("mounting a tmpfs needs root\n");
        fs::remove_all(root);
        return 1;
    }
    fs::create_directory_symlink(card, root / "drives/e:");
    setenv("KADO_DRIVES", (root / "drives").c_str(), 1);

    const std::string dd = "dd if=/dev/zero of=" + (card / "dd.dat").string() +
                           " bs=1M iflag=count_bytes count=" + std::to_string(kEcgBytes) +
                           " status=none";
    bool ok = true;
    double preallocation = 1e9, copy = 1e9;
    for (int run = 0; run < 3; ++run) {
        CCFDisk disk;
        disk.set_card_path("E:");
        preallocation =
            std::min(preallocation, seconds_of([&] { ok = disk.preallocate_ecg(false) && ok; }));
        ok = fs::file_size(card / "ecg.dat") == kEcgBytes && ok;
        fs::remove(card / "ecg.dat");
        copy = std::min(copy, seconds_of([&] { ok = std::system(dd.c_str()) == 0 && ok; }));
        ok = fs::file_size(card / "dd.dat") == kEcgBytes && ok;
        fs::remove(card / "dd.dat");
    }
    std::printf(
        "2 GiB ecg.dat on tmpfs: preallocate_ecg %.3f s (%.0f MB/s), dd bs=1M %.3f s "
        "(%.0f MB/s), preallocation/dd time ratio %.2f%s\n",
        preallocation, kEcgBytes / preallocation / 1e6, copy, kEcgBytes / copy / 1e6,
        preallocation / copy, ok ? "" : "  (a write failed)");
    umount2(card.c_str(), MNT_DETACH);
    fs::remove_all(root);
    return ok ? 0 : 1;
}
