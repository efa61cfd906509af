// Fuzzes the whole read of a card folder: extract_ecg on an ecg.dat made of the input's sectors
// (sector_stream_input.h), into the output the input chooses, as the Read dialog runs it. The
// card folder and the output folder live in a scratch folder of this process, the mapped sections
// carry names of this process alone. After every read: the card is no worse than before, nothing
// was written outside the output folder, and the outputs are padded and finished as a receiver
// expects.
#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "card/ccf_disk.h"
#include "extract/ecg_extractor.h"
#include "extract/output_settings.h"
#include "format/card_files.h"
#include "format/sector_checksum.h"
#include "format/start_sector.h"
#include "fuzz_scratch.h"
#include "handoff/sample_output_choice.h"
#include "handoff/section_layout.h"
#include "sector_stream_input.h"
#include "support/byte_order.h"
#include "support/mapped_section.h"
#include "support/shared_word.h"

namespace {

constexpr uint16_t kDefaultRecording = 4;
constexpr int64_t kPaddedBytes = 2 * kShortestOutputTimePoints;
// Room for the padding and the path format's trailer, small enough to map in no time.
constexpr uint32_t kChannelSectionSize = 512 * 1024;

// The receiver's side of the mapped hand-off: sections made before the read, which the read then
// uses whole, as it uses those of a running analysis application.
struct Receiver {
    std::string base = "kado-fuzz-" + fuzz::process_token() + ".";
    SectionNames names = card_road_names(base);
    MappedSection control{names.control, kControlBlockSize, true};
    MappedSection channels[kMappedChannels] = {{names.samples[0], kChannelSectionSize, true},
                                               {names.samples[1], kChannelSectionSize, true},
                                               {names.samples[2], kChannelSectionSize, true}};
    MappedSection events{names.events, kEventSectionSize, true};
};

struct Process {
    fuzz::ScratchFolder scratch{"sector-stream"};
    std::string card = scratch.folder("card");
    std::string out = scratch.folder("out");
    Receiver receiver;
    Crc16Table crc;

    Process() {
        fuzz::silence_message_boxes();
        fuzz::require(receiver.control.view() != nullptr && receiver.events.view() != nullptr,
                      "the receiver's sections cannot be made");
    }
};

int record_length_hours(const fuzz::StreamChoice& choice) {
    if (choice.duration_hours > 0) return choice.duration_hours;
    return choice.output == kFormatMmf ? 192 : 28;
}

// The bytes of ecg.dat: the input's sectors, sealed by their types unless told otherwise, the
// first start sector with the chosen format; a short last sector stays short.
std::vector<uint8_t> ecg_bytes(const Process& process, const fuzz::StreamChoice& choice,
                               const uint8_t* data, size_t size, uint16_t& recording) {
    std::vector<uint8_t> ecg(data, data + size);
    recording = kDefaultRecording;
    bool start_seen = false;
    for (size_t at = 0; at + kSectorSize <= ecg.size(); at += kSectorSize) {
        const std::span<uint8_t, kSectorSize> sector(ecg.data() + at, kSectorSize);
        if (!start_seen && is_start_sector_type(sector[0])) {
            start_seen = true;
            recording = sector_recording_num(sector);
            if (choice.format != 0) sector[kStartSectorFormatOffset] = choice.format;
        }
        if (choice.seal) seal_sector(process.crc, sector, sector_type_of(sector[0]).checksum);
    }
    return ecg;
}

// The recording format of the first start sector; 0 without one.
uint8_t first_recording_format(const std::vector<uint8_t>& ecg) {
    for (size_t at = 0; at + kSectorSize <= ecg.size(); at += kSectorSize)
        if (is_start_sector_type(ecg[at]))
            return recording_format_of(ecg[at + kStartSectorFormatOffset]);
    return 0;
}

ConfigRecord config_for(fuzz::CardState state, uint16_t recording) {
    ConfigRecord config;
    config.byte_0 = 1;
    config.recording_num = recording;
    config.patient_data_num = recording;
    config.wav_recording_num = recording;
    if (state == fuzz::CardState::already_read) config.recording_num = recording + 1;
    if (state == fuzz::CardState::record_behind) config.recording_num = recording - 1;
    if (state == fuzz::CardState::speech_older) config.wav_recording_num = recording - 1;
    return config;
}

void check_card(const Process& process, const std::vector<uint8_t>& config_before,
                const std::vector<uint8_t>& ecg, bool read_ok) {
    const fuzz::FileSet files = fuzz::file_set(process.scratch.path(), "out");
    for (const auto& [path, bytes] : files)
        fuzz::require(path == "out" || path == "card" || path == "card/config.dat" ||
                          path == "card/ecg.dat" || (path == "card/patient.wav" && bytes == 65536),
                      "a read wrote outside its output folder", path);
    fuzz::require(fuzz::read_bytes(card_file_path(process.card, kEcgFileName)) == ecg,
                  "a read changed ecg.dat");
    // Marking as read counts config.dat's recording number on; nothing else may change.
    std::vector<uint8_t> config = fuzz::read_bytes(card_file_path(process.card, kConfigFileName));
    fuzz::require(config.size() == config_before.size(), "config.dat changed its size");
    if (config != config_before) {
        fuzz::require(read_ok, "a failed read changed config.dat");
        put_u16le(config.data() + 1, static_cast<uint16_t>(get_u16le(config.data() + 1) - 1));
        fuzz::require(config == config_before, "config.dat changed beyond the read mark");
    }
}

void check_raw_files(const std::string& out) {
    const auto size = [&](int n) {
        std::error_code error;
        const auto bytes = fuzz::fs::file_size(out + "/rawecg" + std::to_string(n) + ".dat", error);
        return error ? -1 : static_cast<int64_t>(bytes);
    };
    const int64_t first = size(1);
    fuzz::require(first >= kPaddedBytes && first % 2 == 0, "rawecg1.dat is not padded",
                  std::to_string(first));
    for (int n = 2; n <= 3; ++n)
        fuzz::require(size(n) == 0 || size(n) == first, "raw channels of different lengths");
}

// Padding brings channel 1 to twenty minutes and adds as many samples to every channel at its own
// count, so a channel the recording does not fill may stay shorter.
void check_sections(const Receiver& receiver) {
    uint8_t* const control = receiver.control.view();
    for (int n = 0; n < kMappedChannels; ++n) {
        uint8_t* record = control_record(control, n);
        fuzz::require(load_u32le_acquire(record + kFinishedOffset) == 1, "a channel not finished");
        const uint32_t count = load_u32le_acquire(record + kSampleCountOffset);
        const size_t capacity = receiver.channels[n].size() / 2;
        fuzz::require(count <= capacity, "a count past its section");
        if (n == 0)
            fuzz::require(count >= std::min<size_t>(kShortestOutputTimePoints, capacity),
                          "mapped channel 1 is not padded", std::to_string(count));
    }
    fuzz::require(load_u32le_acquire(receiver.events.view()) <= kMaxListedEvents,
                  "more patient events than the list holds");
}

// The 12-lead files keep their eight leads in step, whatever ended the read.
void check_lead_files(const std::string& out) {
    const auto size = [&](int lead) {
        std::error_code error;
        const auto bytes =
            fuzz::fs::file_size(out + "/pn12ecg" + std::to_string(lead) + ".dat", error);
        return error ? int64_t{-1} : static_cast<int64_t>(bytes);
    };
    for (int lead = 2; lead <= 8; ++lead)
        fuzz::require(size(lead) == size(1), "12-lead files of different lengths");
}

void check_event_lines(const std::string& path) {
    for (const uint8_t c : fuzz::read_bytes(path))
        fuzz::require((c >= '0' && c <= '9') || c == '\n' || c == '\r',
                      "patevent.dat holds other than event seconds");
}

// What a read left its receiver: the output folder's files by name and the mapped sections.
using ReadResults = std::map<std::string, std::vector<uint8_t>>;

ReadResults read_results(const Process& process, bool ok) {
    ReadResults results = {{"result", {static_cast<uint8_t>(ok)}}};
    std::error_code ignored;
    for (const auto& entry : fuzz::fs::directory_iterator(process.out, ignored))
        results[entry.path().filename().string()] = fuzz::read_bytes(entry.path().string());
    const Receiver& receiver = process.receiver;
    const MappedSection* sections[] = {&receiver.control, &receiver.channels[0],
                                       &receiver.channels[1], &receiver.channels[2],
                                       &receiver.events};
    for (size_t n = 0; n < std::size(sections); ++n)
        results["section " + std::to_string(n)].assign(sections[n]->view(),
                                                       sections[n]->view() + sections[n]->size());
    return results;
}

// Each read finds the sections as the receiver made them.
bool read_card(Process& process, const fuzz::StreamChoice& choice, int32_t decode_workers) {
    Receiver& receiver = process.receiver;
    for (MappedSection* section : {&receiver.control, &receiver.channels[0], &receiver.channels[1],
                                   &receiver.channels[2], &receiver.events})
        std::fill(section->view(), section->view() + section->size(), 0);
    std::error_code ignored;
    fuzz::fs::remove(card_file_path(process.card, "patient.wav"), ignored);
    for (const auto& entry : fuzz::fs::directory_iterator(process.out, ignored))
        fuzz::fs::remove(entry.path(), ignored);
    CCFDisk disk;
    disk.set_card_path(process.card);
    disk.m_read_settings.skip_hours = choice.skip_hours;
    disk.m_read_settings.record_length_hours = record_length_hours(choice);
    disk.m_read_settings.calibration_seconds = choice.calibration ? 60 : 0;
    disk.m_read_settings.salvage = choice.salvage;
    disk.m_read_settings.decode_workers = decode_workers;
    OutputSettings settings;
    settings.mmf_base_name = process.receiver.base;
    settings.mmf_instance = process.receiver.base + "read";
    const std::unique_ptr<SampleOutput> samples =
        choose_sample_output(choice.output, settings, disk.m_read_settings, process.out, "FUZZ");
    return extract_ecg(disk, *samples, {choice.output, process.out, settings.mmf_instance});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Process process;
    if (size < fuzz::kStreamHeaderSize) return 0;
    const fuzz::StreamChoice choice = fuzz::decode_stream_choice(data);
    uint16_t recording = 0;
    const std::vector<uint8_t> ecg = ecg_bytes(process, choice, data + fuzz::kStreamHeaderSize,
                                               size - fuzz::kStreamHeaderSize, recording);

    std::array<uint8_t, kConfigRecordSize> config;
    encode_config_record(config_for(choice.state, recording), config);
    const std::vector<uint8_t> config_before(config.begin(), config.end());
    fuzz::write_bytes(card_file_path(process.card, kConfigFileName), config.data(), config.size());
    fuzz::write_bytes(card_file_path(process.card, kEcgFileName), ecg.data(), ecg.size());
    // A compressed recording read without salvage is decoded ahead between seek points; the read
    // that decodes on one thread must leave the same.
    std::optional<ReadResults> sequential;
    if (!choice.salvage && is_compressed_format(first_recording_format(ecg))) {
        const bool sequential_ok = read_card(process, choice, 0);
        sequential = read_results(process, sequential_ok);
        fuzz::write_bytes(card_file_path(process.card, kConfigFileName), config.data(),
                          config.size());
    }
    const bool ok = read_card(process, choice, kAutomaticDecodeWorkers);
    if (sequential)
        fuzz::require(read_results(process, ok) == *sequential,
                      "decoding ahead changed what the read left");

    check_card(process, config_before, ecg, ok);
    check_event_lines(process.out + "/patevent.dat");
    if (choice.output == kFormatArchive) check_raw_files(process.out);
    if (choice.output == kFormatPn12Arch) check_lead_files(process.out);
    if (choice.output == kFormatMmf || choice.output == kFormatPath)
        check_sections(process.receiver);
    return 0;
}
