#include "cardsim/lib/card_writer.h"

#include <filesystem>
#include <fstream>
#include <memory>

#include "cardsim/lib/card_files.h"
#include "cardsim/lib/ecg_synth.h"
#include "cardsim/lib/sector_sink.h"
#include "format/sector_types.h"

namespace cardsim {
namespace {

constexpr int kStartDamageByte = 511;

std::unique_ptr<SignalSource> make_source(const RecordingSpec& description) {
    const int channels = channels_of_format(static_cast<uint8_t>(description.format));
    const SampleScale scale = channels == 12 ? SampleScale::signed16 : SampleScale::twelve_bit;
    if (!description.sample_files.empty())
        return SampleFileSource::open(description.sample_files, scale);
    return std::make_unique<EcgSynth>(description.synth, channels == 12 ? 8 : channels, scale);
}

// Damage that a recorder or a card can do to ecg.dat after it was written.
bool apply_faults(const RecordingSpec& description, const std::string& path) {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    if (!file) return false;
    auto change = [&file](uint64_t offset, auto edit) {
        file.seekg(static_cast<std::streamoff>(offset));
        char byte = 0;
        file.get(byte);
        file.seekp(static_cast<std::streamoff>(offset));
        file.put(static_cast<char>(edit(static_cast<uint8_t>(byte))));
    };
    for (const BitFlip& flip : description.flips) {
        const uint64_t offset =
            uint64_t{flip.sector} * kSectorBytes + static_cast<uint64_t>(flip.bit / 8);
        change(offset,
               [&flip](uint8_t b) { return static_cast<uint8_t>(b ^ (1 << (flip.bit % 8))); });
    }
    // In variant A the register after the last byte depends only on the last two stored bytes,
    // so the damage goes there to be seen by either variant.
    if (description.start_damage == StartDamage::checksum) {
        change(kStartDamageByte, [](uint8_t b) { return static_cast<uint8_t>(b ^ 0x01); });
    }
    for (uint32_t sector : description.foreign_sectors) {
        // A sector left by the previous recording on the card.
        const uint16_t other = static_cast<uint16_t>(description.recording_num - 1);
        const uint64_t offset = uint64_t{sector} * kSectorBytes + kRecordingNumOffset;
        change(offset, [other](uint8_t) { return static_cast<uint8_t>(other); });
        change(offset + 1, [other](uint8_t) { return static_cast<uint8_t>(other >> 8); });
    }
    file.close();
    if (file.fail()) return false;

    std::error_code ec;
    const uint64_t size = std::filesystem::file_size(path, ec);
    if (ec) return false;
    if (description.ecg_size > size)
        std::filesystem::resize_file(path, description.ecg_size / kSectorBytes * kSectorBytes, ec);
    if (description.truncate_bytes)
        std::filesystem::resize_file(path, *description.truncate_bytes, ec);
    return !ec;
}

}  // namespace

bool write_card(const RecordingSpec& description, const std::string& folder,
                const std::string& intended_folder, RecordingResult& result, std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (description.conditioned) {
        if (!write_config_file(folder, conditioned_config_record(description)) ||
            !write_conditioned_ecg_file(folder, description) ||
            !write_cnav_file(folder, description) || !write_wav_file(folder, false)) {
            error = "cannot write the card files in " + folder;
            return false;
        }
        return true;
    }

    std::unique_ptr<SignalSource> source = make_source(description);
    if (!source) {
        error = "cannot read the sample files";
        return false;
    }
    std::unique_ptr<IntendedOutput> intended;
    if (!intended_folder.empty()) {
        std::filesystem::create_directories(intended_folder, ec);
        intended = IntendedOutput::create(
            intended_folder, channels_of_format(static_cast<uint8_t>(description.format)));
        if (!intended) {
            error = "cannot create the intended output in " + intended_folder;
            return false;
        }
    }
    const std::string ecg_path = card_path(folder, "ecg.dat");
    if (!write_recording(description, *source, ecg_path, intended.get(), result) ||
        !apply_faults(description, ecg_path)) {
        error = "cannot write " + ecg_path;
        return false;
    }
    if (intended && (!intended->write_events(result.events) || !intended->close())) {
        error = "cannot write the intended output in " + intended_folder;
        return false;
    }
    if (!write_config_file(folder, recorded_config_record(description)) ||
        !write_cnav_file(folder, description) ||
        !write_wav_file(folder, description.speech != Speech::none)) {
        error = "cannot write the card files in " + folder;
        return false;
    }
    return true;
}

}  // namespace cardsim
