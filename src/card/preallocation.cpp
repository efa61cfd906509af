// Preallocating ecg.dat over all the free space of a card being conditioned. The recorder never
// creates or extends files; it records into the sectors that are already there, so the file must
// really own every free cluster, which rules out sparse files and size-setting calls.
//
// The file is written in pieces of up to 1 MiB from one zero buffer. Each piece ends at a 1 MiB
// boundary of the file or just after the sector where a progress mark falls, so the flushes and
// progress positions come exactly where a sector-by-sector loop would put them, and the bytes are
// the same. The window thread's messages are handled after every piece.
#include <algorithm>
#include <array>
#include <cstdint>

#include "card/ccf_disk.h"
#include "format/card_files.h"
#include "format/sector_types.h"
#include "support/card_stream.h"
#include "support/file_utils.h"
#include "support/trace.h"

namespace {

constexpr int64_t kPieceSectors = 2048;  // 1 MiB
// About 400 flushes and progress steps for the whole file, whatever the card's size.
constexpr int64_t kProgressSteps = 400;
constexpr int64_t kSmallestProgressStep = 2;
constexpr uint8_t kEmptyStartSectorType = 0x81;

alignas(4096) const std::array<uint8_t, kPieceSectors * kSectorSize> zero_piece{};

// The first sector: an empty start sector of recording 1, which a freshly conditioned card's
// counters (recording_num 3) read as nothing recorded.
Sector empty_start_sector() {
    Sector sector{};
    sector[kSectorTypeOffset] = kEmptyStartSectorType;
    sector[kSectorRecordingNumOffset] = 1;
    return sector;
}

class ProgressScope {
  public:
    ProgressScope(ConditionProgress* progress, bool shown, int64_t sectors)
        : m_progress(progress), m_shown(shown && progress != nullptr) {
        if (m_shown) m_progress->open(static_cast<int32_t>(sectors));
    }
    ~ProgressScope() {
        if (m_shown) m_progress->close();
    }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

    void set_position(int64_t sector) {
        if (m_shown) m_progress->set_position(static_cast<int32_t>(sector));
    }
    void pump() {
        if (m_progress != nullptr) m_progress->pump_messages();
    }

  private:
    ConditionProgress* m_progress;
    bool m_shown;
};

}  // namespace

bool CCFDisk::preallocate_ecg(bool show_progress) {
    // The free space is taken after the side files were written, so they are already excluded.
    const int64_t sectors = free_space(m_card_path) / static_cast<int64_t>(kSectorSize);
    if (sectors < 1) return false;
    CardStream file;
    if (!file.create(card_file_path(m_card_path, kEcgFileName))) return false;
    const int64_t step = std::max(sectors / kProgressSteps, kSmallestProgressStep);
    int64_t next_mark = step;
    ProgressScope progress(m_condition_progress, show_progress, sectors);

    if (file.write(empty_start_sector()) != StreamWrite::written) return false;
    int64_t sector = 1;  // the next sector to write
    while (sector < sectors) {
        const int64_t boundary = (sector / kPieceSectors + 1) * kPieceSectors;
        const int64_t end = std::min({sectors, next_mark + 1, boundary});
        const StreamWrite written = file.write(
            std::span(zero_piece.data(), static_cast<size_t>(end - sector) * kSectorSize));
        if (written == StreamWrite::failed) return false;
        if (written == StreamWrite::disk_full) {
            // The card is full earlier than its free space said: the file ends at its last whole
            // sector.
            trace("CCFDisk::preallocate_ecg card full after %lld bytes\n",
                  static_cast<long long>(file.position()));
            if (!file.cut_to(file.position() / kSectorSize * kSectorSize)) return false;
            break;
        }
        sector = end;
        if (sector - 1 == next_mark) {
            if (!file.flush()) return false;
            progress.set_position(next_mark);
            next_mark += step;
        }
        progress.pump();
    }
    if (!file.flush() || !file.close()) return false;
    settle_pause();
    return true;
}
