// Copying a card's recording into a folder (the cnav output of a read): the three small files
// whole, and of ecg.dat only the leading run of sectors that belong to the current recording, not
// the rest of the preallocated space. A copy never destroys its source, and a copy that did not
// complete is neither left behind as a partial file nor marked as read.
#include <cstdio>
#include <string>
#include <vector>

#include "card/ccf_disk.h"
#include "format/card_files.h"
#include "format/sector_types.h"
#include "support/card_stream.h"
#include "support/file_utils.h"
#include "support/trace.h"

namespace {

constexpr size_t kCopySectors = 2048;  // 1 MiB per read and write

// The destination is the card folder itself or lies inside it: the delete-first rule would
// erase the card's own files.
bool destination_on_card(const std::string& card_path, const std::string& destination) {
    const std::string card = real_path(card_path);
    const std::string target = real_path(destination);
    if (card.empty() || target.empty()) return false;
    if (target == card) return true;
    const std::string prefix = card.back() == kPathSeparator ? card : card + kPathSeparator;
    return target.compare(0, prefix.size(), prefix) == 0;
}

// Copies the sectors from the first up to the first that carries another recording number.
bool copy_leading_run(const std::string& card_path, const std::string& target) {
    const CardFile source = open_card_file_for_reading(card_path, kEcgFileName);
    if (!source) return false;
    CardStream out;
    if (!out.create(target)) return false;
    std::vector<uint8_t> buffer(kCopySectors * kSectorSize);
    bool first = true;
    uint16_t recording_num = 0;
    bool ok = true;
    for (bool more = true; more && ok;) {
        const size_t got = std::fread(buffer.data(), 1, buffer.size(), source.get());
        if (std::ferror(source.get())) {
            ok = false;
            break;
        }
        const size_t whole = got / kSectorSize;
        if (first) {
            // A recording starts with its first sector; without one there is nothing to copy.
            if (whole == 0) {
                ok = false;
                break;
            }
            recording_num = sector_recording_num(
                std::span<const uint8_t, kSectorSize>(buffer.data(), kSectorSize));
            first = false;
        }
        size_t run = 0;
        while (run < whole && sector_recording_num(std::span<const uint8_t, kSectorSize>(
                                  buffer.data() + run * kSectorSize, kSectorSize)) == recording_num)
            ++run;
        ok = run == 0 ||
             out.write(std::span(buffer.data(), run * kSectorSize)) == StreamWrite::written;
        more = run == kCopySectors;
    }
    ok = ok && out.flush();
    ok = out.close() && ok;
    if (!ok) delete_file(target);
    return ok;
}

}  // namespace

bool CCFDisk::copy_all_files(const std::string& destination) {
    trace("\nCCFDisk::copy_all_files\n");
    if (destination_on_card(m_card_path, destination)) {
        trace("CCFDisk::copy_all_files refuses %s on the card %s\n", destination.c_str(),
              m_card_path.c_str());
        return false;
    }
    delete_all_files(destination, true);
    bool ok = true;
    for (const char* name : {"config.dat", "patient.wav", "cnav.dat"}) {
        const std::string source = card_file_path(m_card_path, name);
        const std::string target = join_path(destination, name);
        delete_file(target);
        trace("from %s to %s\n", source.c_str(), target.c_str());
        if (!file_exists(source)) {
            ok = false;
            continue;
        }
        if (copy_file_plain(source, target)) touch_file(target);
        if (!file_exists(target)) ok = false;
    }

    const std::string ecg_source = card_file_path(m_card_path, kEcgFileName);
    const std::string ecg_target = join_path(destination, kEcgFileName);
    delete_file(ecg_target);
    trace("from %s to %s\n", ecg_source.c_str(), ecg_target.c_str());
    if (!file_exists(ecg_source) || !copy_leading_run(m_card_path, ecg_target)) ok = false;
    if (!ok) return false;

    mark_as_read(true);
    const std::string card_path = m_card_path;
    m_card_path = destination;
    mark_as_read(false);
    m_card_path = card_path;

    if (m_run_mode == kModeReadEcgHide && m_output_format == kFormatCnav) {
        set_read_only(join_path(destination, "patient.wav"));
        set_read_only(join_path(destination, kConfigFileName));
    }
    return true;
}
